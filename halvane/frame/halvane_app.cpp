#include "halvane_app.h"

#include "message_box.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHostAddress>
#include <QScreen>

#include <cstdio>

namespace {

bool parsePort(const QString& text, quint16& port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

} // namespace

bool CHalvaneApp::ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Access point SNMP manager"));
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringLiteral("version"),
                                        QStringLiteral("Displays version information.")));
    const QCommandLineOption agentPort(QStringLiteral("agent-port"),
                                       QStringLiteral("UDP port of the access points (161)."),
                                       QStringLiteral("N"), QStringLiteral("161"));
    const QCommandLineOption trapPort(QStringLiteral("trap-port"),
                                      QStringLiteral("Local UDP port for traps (162)."),
                                      QStringLiteral("N"), QStringLiteral("162"));
    const QCommandLineOption broadcast(
        QStringLiteral("broadcast"),
        QStringLiteral("Address Find Access Point sends to (255.255.255.255)."),
        QStringLiteral("ADDR"), QStringLiteral("255.255.255.255"));
    parser.addOption(agentPort);
    parser.addOption(trapPort);
    parser.addOption(broadcast);
    if (!parser.parse(arguments)) {
        m_commandLineError = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        m_commandLineError = parser.helpText();
        return false;
    }
    if (!parsePort(parser.value(agentPort), m_options.agentPort)) {
        m_commandLineError = QStringLiteral("--agent-port needs a port number from 1 to 65535");
        return false;
    }
    if (!parsePort(parser.value(trapPort), m_options.trapPort)) {
        m_commandLineError = QStringLiteral("--trap-port needs a port number from 1 to 65535");
        return false;
    }
    if (QHostAddress(parser.value(broadcast)).protocol() != QAbstractSocket::IPv4Protocol) {
        m_commandLineError = QStringLiteral("--broadcast needs an IPv4 address");
        return false;
    }
    m_options.broadcast = parser.value(broadcast);
    return true;
}

bool CHalvaneApp::InitInstance(const QStringList& arguments)
{
    if (!ParseCommandLine(arguments))
        return false;
    // Per-user profile and "Halvane.ini" live under the XDG configuration
    // directory; see CHalvaneSettings.
    m_settings = CHalvaneSettings::Read();

    m_mainFrame = std::make_unique<CMainFrame>(m_settings, m_options);
    if (m_mainFrame->OnCreate() != 0) {
        m_mainFrame.reset();
        return false;
    }
    // Maximized; the geometry also covers a display without a window manager.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_mainFrame->setGeometry(screen->availableGeometry());
    m_mainFrame->showMaximized();
    m_mainFrame->repaint();
    return true;
}

int CHalvaneApp::Run(int& argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QApplication::setOrganizationName(QStringLiteral("ZELCORA"));
    return Main(QApplication::arguments());
}

int CHalvaneApp::Main(const QStringList& arguments)
{
    CHalvaneApp app;
    if (!app.InitInstance(arguments)) {
        if (!app.CommandLineError().isEmpty()) {
            fprintf(stderr, "%s\n", qPrintable(app.CommandLineError()));
            return app.CommandLineError().startsWith(QLatin1String("Usage")) ? 0 : 2;
        }
        return 1;
    }
    QApplication::exec();
    return 1;
}
