#include "ap_emulator.h"

#include "ap_agent.h"
#include "ap_control.h"
#include "ap_device.h"
#include "ap_dfu.h"
#include "ap_profile.h"
#include "ap_store.h"

#include "snmp_mib.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include <cstdio>

namespace
{

bool parsePort(const QString& text, quint16* out)
{
    bool ok = false;
    const uint v = text.toUInt(&ok);
    if (!ok || v > 65535)
        return false;
    *out = quint16(v);
    return true;
}

bool parseCount(const QString& text, int minimum, int maximum, int* out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < minimum || v > maximum)
        return false;
    *out = v;
    return true;
}

QSet<QString> names(const QStringList& values)
{
    QSet<QString> out;
    for (const QString& v : values) {
        for (const QString& name : v.split(QLatin1Char(','), Qt::SkipEmptyParts))
            out.insert(name.trimmed());
    }
    return out;
}

} // namespace

ApEmulator::ApEmulator(QObject* parent) : QObject(parent), m_mib(std::make_unique<SnmpMib>())
{
}

ApEmulator::~ApEmulator() = default;

void ApEmulator::log(const QString& text) const
{
    const QByteArray line = "apsim: " + text.toUtf8() + '\n';
    fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

bool ApEmulator::start(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Emulates one QX9304 access point: an SNMP agent over the device's private MIB with "
        "the device's semantics, traps, a state file and the DFU driver endpoint."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption bind(QStringLiteral("bind"),
                                  QStringLiteral("Address the agent binds to (default 0.0.0.0)."),
                                  QStringLiteral("ADDR"), QStringLiteral("0.0.0.0"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("UDP port of the agent (default 161)."),
                                  QStringLiteral("N"), QStringLiteral("161"));
    const QCommandLineOption broadcast(
        QStringLiteral("broadcast"),
        QStringLiteral("Broadcast address also listened on (default: that of the bound address's "
                       "subnet, 127.255.255.255 on loopback; \"none\" for none)."),
        QStringLiteral("ADDR"));
    const QCommandLineOption trapHost(QStringLiteral("trap-host"),
                                      QStringLiteral("Where traps are sent (default: no traps)."),
                                      QStringLiteral("ADDR"));
    const QCommandLineOption trapPort(QStringLiteral("trap-port"),
                                      QStringLiteral("UDP port traps are sent to (default 162)."),
                                      QStringLiteral("N"), QStringLiteral("162"));
    const QCommandLineOption state(
        QStringLiteral("state"),
        QStringLiteral(
            "State file holding the saved configuration (default: kept in memory only)."),
        QStringLiteral("FILE"));
    const QCommandLineOption dfu(
        QStringLiteral("dfu"),
        QStringLiteral("Serve the DFU driver endpoint on this local socket path."),
        QStringLiteral("PATH"));
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Profile file (JSON): sysDescr, factory configuration, stations, neighbour "
                       "BSSs, domain."),
        QStringLiteral("FILE"));
    const QCommandLineOption mib(
        QStringLiteral("mib"),
        QStringLiteral("MIB file (default QX9304.mib, looked for by bare name)."),
        QStringLiteral("FILE"), QStringLiteral("QX9304.mib"));
    const QCommandLineOption resetTime(
        QStringLiteral("reset-time"),
        QStringLiteral("How long a reset keeps the device silent, in ms (default 2000)."),
        QStringLiteral("MS"), QStringLiteral("2000"));
    const QCommandLineOption scanDelay(
        QStringLiteral("scan-delay"),
        QStringLiteral("How long a site survey takes, in ms (default 3000)."), QStringLiteral("MS"),
        QStringLiteral("3000"));
    const QCommandLineOption churn(QStringLiteral("churn"),
                                   QStringLiteral("Mean seconds between stations associating or "
                                                  "leaving on their own (default 30, 0 off)."),
                                   QStringLiteral("S"), QStringLiteral("30"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the random choices (stations, drops)."),
                                  QStringLiteral("N"));
    const QCommandLineOption stdinControl(
        QStringLiteral("stdin"),
        QStringLiteral("Read control commands from standard input (see README.md)."));
    const QCommandLineOption controlPort(
        QStringLiteral("control-port"),
        QStringLiteral("Read control commands from UDP datagrams on this port of 127.0.0.1."),
        QStringLiteral("N"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Log every request and answer (community, "
                                                    "type, variables, values) to standard error."));
    const QCommandLineOption drop(
        QStringLiteral("drop"),
        QStringLiteral("Fault: leave this percentage of requests unanswered."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Fault: send every answer this late."),
                                   QStringLiteral("MS"));
    const QCommandLineOption wrongId(
        QStringLiteral("wrong-request-id"),
        QStringLiteral("Fault: answer with the request identifier plus one."));
    const QCommandLineOption wrongPort(QStringLiteral("wrong-source-port"),
                                       QStringLiteral("Fault: answer from another UDP port."));
    const QCommandLineOption badLength(
        QStringLiteral("bad-length"),
        QStringLiteral("Fault: read these variables (comma separated) with a wrong length."),
        QStringLiteral("NAMES"));
    const QCommandLineOption badValue(
        QStringLiteral("bad-value"),
        QStringLiteral(
            "Fault: read these variables (comma separated) with a value outside their range."),
        QStringLiteral("NAMES"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Fault: answer no request at all."));
    const QCommandLineOption silentAfter(
        QStringLiteral("silent-after"),
        QStringLiteral("Fault: answer this many requests, then stop answering."),
        QStringLiteral("N"));
    parser.addOptions({bind,    port,         broadcast,   trapHost,  trapPort,  state,
                       dfu,     profile,      mib,         resetTime, scanDelay, churn,
                       seed,    stdinControl, controlPort, verbose,   drop,      delay,
                       wrongId, wrongPort,    badLength,   badValue,  silent,    silentAfter});
    parser.process(arguments);
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }

    const QHostAddress bindAddress(parser.value(bind));
    if (bindAddress.protocol() != QAbstractSocket::IPv4Protocol) {
        *error = QStringLiteral("--bind needs an IPv4 address");
        return false;
    }
    quint16 agentPort = 0, trapsPort = 0, ctlPort = 0;
    if (!parsePort(parser.value(port), &agentPort) ||
        !parsePort(parser.value(trapPort), &trapsPort) ||
        (parser.isSet(controlPort) && !parsePort(parser.value(controlPort), &ctlPort))) {
        *error = QStringLiteral("a port must be a number from 0 to 65535");
        return false;
    }
    ApDeviceSettings settings;
    if (!parseCount(parser.value(resetTime), 0, 600000, &settings.resetTimeMs) ||
        !parseCount(parser.value(scanDelay), 0, 600000, &settings.scanDelayMs) ||
        !parseCount(parser.value(churn), 0, 86400, &settings.churnSeconds)) {
        *error = QStringLiteral("--reset-time, --scan-delay and --churn need a number in range");
        return false;
    }
    if (parser.isSet(seed))
        settings.seed = parser.value(seed).toUInt();

    // The MIB gives every variable its identifier and wire syntax.
    if (!m_mib->load(parser.value(mib))) {
        *error =
            QStringLiteral("cannot load MIB %1: %2").arg(parser.value(mib), m_mib->errorText());
        return false;
    }
    QStringList missing;
    if (!m_table.bind(*m_mib, &missing))
        log(QStringLiteral("the MIB lacks %1; these are not served")
                .arg(missing.join(QStringLiteral(", "))));
    if (m_table.enterpriseOid().isEmpty()) {
        *error = QStringLiteral("the MIB does not define qx9304");
        return false;
    }

    ApProfile apProfile;
    if (parser.isSet(profile)) {
        if (!ApProfile::load(parser.value(profile), bindAddress, m_table, &apProfile, error))
            return false;
    } else {
        apProfile = ApProfile::builtIn(bindAddress);
    }

    m_store = new ApStore(&m_table, this);
    m_store->setDefaults(apProfile.defaults, apProfile.macTable);
    if (parser.isSet(state)) {
        m_store->setStatePath(parser.value(state));
        QString why;
        if (!m_store->loadState(&why)) {
            *error = why;
            return false;
        }
    }

    m_device = new ApDevice(&m_table, m_store, apProfile, settings, this);
    m_agent = new ApAgent(m_device, this);
    if (parser.isSet(seed))
        m_agent->seed(settings.seed);
    m_agent->setVerbose(parser.isSet(verbose));
    connect(m_agent, &ApAgent::logLine, this, [this](const QString& line) { log(line); });
    if (parser.isSet(verbose))
        connect(m_device, &ApDevice::noteworthy, this, [this](const QString& line) { log(line); });

    ApFaults& faults = m_agent->faults();
    if ((parser.isSet(drop) && !parseCount(parser.value(drop), 0, 100, &faults.dropPercent)) ||
        (parser.isSet(delay) && !parseCount(parser.value(delay), 0, 600000, &faults.delayMs)) ||
        (parser.isSet(silentAfter) &&
         !parseCount(parser.value(silentAfter), 0, INT_MAX, &faults.silentAfter))) {
        *error = QStringLiteral("--drop, --delay and --silent-after need a number in range");
        return false;
    }
    faults.wrongRequestId = parser.isSet(wrongId);
    faults.wrongSourcePort = parser.isSet(wrongPort);
    faults.silent = parser.isSet(silent);
    faults.badLength = names(parser.values(badLength));
    faults.badValue = names(parser.values(badValue));
    for (const QString& name : faults.badLength + faults.badValue) {
        if (!m_table.find(name)) {
            *error = QStringLiteral("unknown variable %1").arg(name);
            return false;
        }
    }

    QHostAddress broadcastAddress;
    if (parser.isSet(broadcast)) {
        if (parser.value(broadcast) != QLatin1String("none")) {
            broadcastAddress = QHostAddress(parser.value(broadcast));
            if (broadcastAddress.protocol() != QAbstractSocket::IPv4Protocol) {
                *error = QStringLiteral("--broadcast needs an IPv4 address or none");
                return false;
            }
        }
    } else if (bindAddress != QHostAddress::AnyIPv4) {
        broadcastAddress = QHostAddress(ApAgent::broadcastFor(bindAddress));
    }
    if (!m_agent->open(bindAddress, agentPort, broadcastAddress, error))
        return false;
    if (parser.isSet(trapHost)) {
        const QHostAddress host(parser.value(trapHost));
        if (host.protocol() != QAbstractSocket::IPv4Protocol) {
            *error = QStringLiteral("--trap-host needs an IPv4 address");
            return false;
        }
        m_agent->setTrapTarget(host, trapsPort);
    }

    m_control = new ApControl(m_device, m_agent, this);
    connect(m_control, &ApControl::quitRequested, this, &ApEmulator::quitRequested);
    if (parser.isSet(stdinControl))
        m_control->listenOnStdin();
    if (parser.isSet(controlPort) &&
        !m_control->listenOnUdp(QStringLiteral("127.0.0.1"), ctlPort, error))
        return false;

    if (parser.isSet(dfu)) {
        m_dfu = new ApDfuEndpoint(m_device, this);
        if (parser.isSet(verbose))
            connect(m_dfu, &ApDfuEndpoint::logLine, this,
                    [this](const QString& line) { log(line); });
        if (!m_dfu->listen(parser.value(dfu), error))
            return false;
    }

    m_device->start();
    const QByteArray ready = QStringLiteral("apsim: ready on %1:%2\n")
                                 .arg(bindAddress.toString())
                                 .arg(m_agent->port())
                                 .toUtf8();
    fwrite(ready.constData(), 1, size_t(ready.size()), stdout);
    fflush(stdout);
    return true;
}
