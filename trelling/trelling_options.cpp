#include "trelling_options.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace
{

bool readPort(const QString& text, quint16& port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

} // namespace

TrellingCommandLine parseTrellingCommandLine(const QStringList& arguments)
{
    TrellingCommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the access points that answer an SNMP broadcast and measures "
                       "a ping run to one of them."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringLiteral("version"),
                                        QStringLiteral("Displays version information.")));
    const QCommandLineOption trapPort(QStringLiteral("trap-port"),
                                      QStringLiteral("Local UDP port of the SNMP manager (162)."),
                                      QStringLiteral("N"));
    const QCommandLineOption agentPort(QStringLiteral("agent-port"),
                                       QStringLiteral("UDP port the agents answer on (161)."),
                                       QStringLiteral("N"));
    const QCommandLineOption broadcast(
        QStringLiteral("broadcast"),
        QStringLiteral("Address the survey request is sent to (255.255.255.255)."),
        QStringLiteral("ADDR"));
    parser.addOption(trapPort);
    parser.addOption(agentPort);
    parser.addOption(broadcast);
    result.helpText = parser.helpText();

    if (!parser.parse(arguments)) {
        result.errorText = parser.errorText();
        return result;
    }
    if (parser.isSet(helpOption)) {
        result.helpRequested = true;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.errorText = QStringLiteral("Unexpected argument: %1")
                               .arg(parser.positionalArguments().constFirst());
        return result;
    }
    if (parser.isSet(trapPort) && !readPort(parser.value(trapPort), result.options.trapPort)) {
        result.errorText = QStringLiteral("Invalid --trap-port: %1").arg(parser.value(trapPort));
        return result;
    }
    if (parser.isSet(agentPort) && !readPort(parser.value(agentPort), result.options.agentPort)) {
        result.errorText = QStringLiteral("Invalid --agent-port: %1").arg(parser.value(agentPort));
        return result;
    }
    if (parser.isSet(broadcast)) {
        const QString text = parser.value(broadcast).trimmed();
        QHostAddress address;
        if (!address.setAddress(text) || address.protocol() != QAbstractSocket::IPv4Protocol) {
            result.errorText = QStringLiteral("Invalid --broadcast: %1").arg(text);
            return result;
        }
        result.options.broadcast = address.toString();
    }
    return result;
}
