// apsim against net-snmp's command line tools (snmpget, snmpset, snmpwalk) and raw UDP
// peers on loopback.
#include "apsim_fixture.h"

#include "dfu_client.h"
#include "snmp_message.h"
#include "snmp_mib.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUdpSocket>

namespace
{

const QStringList kGet = {QStringLiteral("-Oqv")};
const QStringList kHex = {QStringLiteral("-Oqvx")};
// Server-side checks are what is tested: the tools must not refuse values themselves.
const QStringList kSetRaw = {QStringLiteral("-Ir")};

QString oidOf(const QString& name)
{
    static SnmpMib mib;
    if (!mib.isLoaded())
        mib.load(QStringLiteral(QX_MIB_PATH));
    return mib.identifierOf(name);
}

// A UDP peer that collects traps.
class TrapSink
{
public:
    TrapSink() { m_socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0); }
    quint16 port() const { return m_socket.localPort(); }
    // The next trap, or nothing within the time.
    std::optional<SnmpMessage> next(int timeoutMs = 3000, QHostAddress* from = nullptr)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            if (m_socket.hasPendingDatagrams() || m_socket.waitForReadyRead(100)) {
                const QNetworkDatagram d = m_socket.receiveDatagram();
                if (from)
                    *from = d.senderAddress();
                return SnmpMessage::decode(d.data());
            }
        }
        return std::nullopt;
    }
    void drain()
    {
        while (m_socket.waitForReadyRead(200))
            m_socket.receiveDatagram();
        while (m_socket.hasPendingDatagrams())
            m_socket.receiveDatagram();
    }

private:
    QUdpSocket m_socket;
};

// Sends one datagram and waits for answers from any source.
QList<QNetworkDatagram> exchange(const QByteArray& data, const QString& host, quint16 port,
                                 int waitMs = 1500, bool broadcast = false, int expected = -1)
{
    QUdpSocket socket;
    socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    if (broadcast)
        socket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, 1);
    socket.writeDatagram(data, QHostAddress(host), port);
    QList<QNetworkDatagram> answers;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < waitMs && answers.size() != expected) {
        if (socket.waitForReadyRead(50)) {
            while (socket.hasPendingDatagrams())
                answers.append(socket.receiveDatagram());
        }
    }
    return answers;
}

QByteArray getRequest(const QString& community, const QStringList& names, qint32 id = 77,
                      SnmpMessage::Version version = SnmpMessage::V1)
{
    SnmpMessage m;
    m.setVersion(version);
    m.setCommunity(community.toLatin1());
    m.setType(SnmpMessage::GetRequest);
    m.setRequestId(id);
    for (const QString& name : names) {
        SnmpVariable v(oidOf(name) + QStringLiteral(".0"));
        v.setNull();
        m.variables().add(v);
    }
    return m.encode();
}

QByteArray ipBytes(const QString& address)
{
    const quint32 ip = QHostAddress(address).toIPv4Address();
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((ip >> (24 - 8 * i)) & 0xff);
    return b;
}

int objectTypesInMib()
{
    QFile f(QStringLiteral(QX_MIB_PATH));
    f.open(QIODevice::ReadOnly);
    return int(f.readAll().count("OBJECT-TYPE"));
}

} // namespace

class TestApsim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void help();
    void readGroups_data();
    void readGroups();
    void walkCoversTheMib();
    void writeAndEcho_data();
    void writeAndEcho();
    void refusedWrites_data();
    void refusedWrites();
    void communities();
    void stations();
    void macTable();
    void siteSurveyAndConnect();
    void testMode();
    void countersGrow();
    void persistence();
    void resetSilence();
    void loadDefaults();
    void traps();
    void faults_data();
    void faults();
    void wrongSourcePort();
    void broadcastFindsEveryInstance();
    void badInput();
    void profile();
    void verboseLog();
    void dfuEndpoint();
    void controlPort();
};

void TestApsim::help()
{
    QProcess p;
    p.start(QStringLiteral(APSIM_PATH), {QStringLiteral("--help")});
    QVERIFY(p.waitForFinished(5000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* option : {"--bind",
                               "--port",
                               "--broadcast",
                               "--trap-host",
                               "--trap-port",
                               "--state",
                               "--dfu",
                               "--profile",
                               "--mib",
                               "--reset-time",
                               "--scan-delay",
                               "--churn",
                               "--seed",
                               "--stdin",
                               "--control-port",
                               "--verbose",
                               "--drop",
                               "--delay",
                               "--wrong-request-id",
                               "--wrong-source-port",
                               "--bad-length",
                               "--bad-value",
                               "--silent",
                               "--silent-after",
                               "--help"})
        QVERIFY2(text.contains(QLatin1String(option)), option);
}

void TestApsim::readGroups_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("system") << QStringList{"sysDescr", "sysObjectID", "sysName"}
                            << QStringList{"\"QX9304 11 Mbps Wireless Access Point\"",
                                           "QX9304-MIB::qx9304", "\"qx9304\""};
    QTest::newRow("wireless operational")
        << QStringList{"operChannelID",
                       "operESSIDLength",
                       "operESSID",
                       "operRTSThreshold",
                       "operFragmentationThreshold",
                       "operPreambleType",
                       "operAuthenticationType",
                       "operBasicRates",
                       "operAutoRateFallBack",
                       "operAccessPointName",
                       "operSSIDBroadcasting",
                       "operAntennaSettings",
                       "operInterRoaming",
                       "AuthorizationMacEnable"}
        << QStringList{"6",    "6",          "\"QX9304\"",  "2347", "2346",
                       "long", "openSystem", "82 84 0B 16", "on",   "\"QX9304-AP\"",
                       "on",   "diversity",  "off",         "off"};
    QTest::newRow("privacy: keys read as 13 bytes")
        << QStringList{"defaultWEPKey1", "defaultWEPKey4", "privacyWEPEnable",
                       "privacyDefaultWEPKeyID"}
        << QStringList{"00 00 00 00 00 00 00 00 00 00 00 00 00",
                       "00 00 00 00 00 00 00 00 00 00 00 00 00", "off", "1"};
    QTest::newRow("bridge IP settings follow the bound address")
        << QStringList{"operIPAddress", "operIPMask",      "operGateway",
                       "operDHCP",      "operPrimaryPort", "operConfigurationPort"}
        << QStringList{"127.0.0.23", "255.0.0.0", "0.0.0.0", "off", "ethernet", "both"};
    QTest::newRow("filtering") << QStringList{"operIPFilter", "operForwarbBcast",
                                              "operSendBackBcast", "operSendBackUnicast"}
                               << QStringList{"off", "on", "off", "off"};
    QTest::newRow("operational mode")
        << QStringList{"bridgeOperationalMode", "bridgeRemoteBridgeBSSID"}
        << QStringList{"accessPoint", "00 00 00 00 00 00"};
    QTest::newRow("stations and commands")
        << QStringList{"AssociatedSTAsNum", "sysTrapSwitch", "TestModeOnOff", "AuthorizedUserPass",
                       "AuthorizedAdminPass"}
        << QStringList{"3", "on", "off", "\"\"", "\"\""};
}

void TestApsim::readGroups()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    Apsim ap;
    QVERIFY(ap.start({}, QStringLiteral("127.0.0.23")));
    QStringList objects;
    for (const QString& n : names)
        objects << n + QStringLiteral(".0");
    for (const QString& version : {QStringLiteral("1"), QStringLiteral("2c")}) {
        const ToolResult r =
            snmp(QStringLiteral("snmpget"), ap, objects, QStringLiteral("public"), version, kGet);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(values(r), expected);
    }
}

void TestApsim::walkCoversTheMib()
{
    Apsim ap;
    QVERIFY(ap.start());
    for (const QString& version : {QStringLiteral("1"), QStringLiteral("2c")}) {
        const ToolResult r = snmp(QStringLiteral("snmpwalk"), ap, {QStringLiteral(".1.3.6.1")},
                                  QStringLiteral("public"), version, {QStringLiteral("-Oqs")});
        QCOMPARE(r.exitCode, 0);
        QStringList seen;
        for (const QString& line : r.out.split(QLatin1Char('\n'))) {
            if (line.contains(QLatin1String(".0 ")) &&
                !line.contains(QLatin1String("No more variables")))
                seen << line.section(QLatin1Char(' '), 0, 0);
        }
        // Every variable of the MIB once, in identifier order, ending with the trap data.
        QCOMPARE(seen.size(), objectTypesInMib());
        QCOMPARE(seen.first(), QStringLiteral("sysDescr.0"));
        QCOMPARE(seen.last(), QStringLiteral("trapStationMac.0"));
        QCOMPARE(QSet<QString>(seen.begin(), seen.end()).size(), seen.size());
    }
    // Fixed block sizes.
    const QList<QPair<const char*, int>> blocks = {
        {"sysDeviceInfo", 92},         {"TestModeRadioConfiguration", 47},
        {"wirelessKnownAPs", 768},     {"wirelessStatistics", 88},
        {"EthRxStatistics", 64},       {"EthTxStatistics", 56},
        {"AssociatedSTAsInfo", 50},    {"AuthorizedMac", 12},
        {"TestModeCommandStruct", 21}, {"TestModeStatistics", 12},
        {"operEthernetAddress", 6}};
    for (const auto& [name, size] : blocks) {
        const ToolResult r =
            snmp(QStringLiteral("snmpget"), ap, {QLatin1String(name) + QStringLiteral(".0")},
                 QStringLiteral("public"), QStringLiteral("1"), kHex);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(hexValue(r).size() == size, name);
    }
}

void TestApsim::writeAndEcho_data()
{
    // Objects with their types and values as snmpset takes them, then what a read gives.
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QStringList>("readBack");
    QTest::newRow("channel, ESSID with its length")
        << QStringList{"operChannelID.0", "i", "11",   "operESSIDLength.0", "i", "5",
                       "operESSID.0",     "s", "abcde"}
        << QStringList{"11", "5", "\"abcde\""};
    QTest::newRow("thresholds and switches")
        << QStringList{"operRTSThreshold.0", "i", "0", "operFragmentationThreshold.0", "i", "256",
                       "operPreambleType.0", "i", "1", "operAntennaSettings.0",        "i", "1"}
        << QStringList{"0", "256", "short", "left"};
    QTest::newRow("rates and name")
        << QStringList{"operBasicRates.0", "x", "82848B96", "operAccessPointName.0", "s", "Roof AP"}
        << QStringList{"82 84 8B 96", "\"Roof AP\""};
    QTest::newRow("64-bit key reads back as 13 bytes")
        << QStringList{"defaultWEPKey2.0",         "x", "0102030405",
                       "privacyWEPEnable.0",       "i", "1",
                       "privacyDefaultWEPKeyID.0", "i", "2"}
        << QStringList{"01 02 03 04 05 00 00 00 00 00 00 00 00", "wep64", "2"};
    QTest::newRow("128-bit key") << QStringList{"defaultWEPKey1.0", "x",
                                                "A1A2A3A4A5A6A7A8A9AAABACAD"}
                                 << QStringList{"A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD"};
    QTest::newRow("addresses") << QStringList{"operIPMask.0",  "a", "255.255.0.0",
                                              "operGateway.0", "a", "10.0.0.1"}
                               << QStringList{"255.255.0.0", "10.0.0.1"};
    QTest::newRow("bridge IP switches and filtering")
        << QStringList{"operDHCP.0",     "i", "1", "operConfigurationPort.0", "i", "2",
                       "operIPFilter.0", "i", "1"}
        << QStringList{"on", "wireless", "on"};
    QTest::newRow("point to point bridge with remote BSSID")
        << QStringList{"bridgeOperationalMode.0",   "i", "4",
                       "bridgeRemoteBridgeBSSID.0", "x", "0011223344AA"}
        << QStringList{"wbridgePointToPoint", "00 11 22 33 44 AA"};
    QTest::newRow("trap switch and MAC authorization switch")
        << QStringList{"sysTrapSwitch.0", "i", "2", "AuthorizationMacEnable.0", "i", "1"}
        << QStringList{"off", "on"};
    QTest::newRow("system texts") << QStringList{"sysLocation.0", "s", "Hall 3",
                                                 "sysContact.0",  "s", ""}
                                  << QStringList{"\"Hall 3\"", "\"\""};
}

void TestApsim::writeAndEcho()
{
    QFETCH(QStringList, set);
    QFETCH(QStringList, readBack);
    Apsim ap;
    QVERIFY(ap.start());
    for (const QString& version : {QStringLiteral("1"), QStringLiteral("2c")}) {
        const ToolResult r =
            snmp(QStringLiteral("snmpset"), ap, set, QStringLiteral("private"), version, kGet);
        QCOMPARE(r.exitCode, 0);
        // The answer echoes every variable as it was sent.
        QStringList sent;
        for (int i = 2; i < set.size(); i += 3)
            sent << set[i];
        const QStringList echo = values(r);
        QCOMPARE(echo.size(), sent.size());
        QStringList objects;
        for (int i = 0; i < set.size(); i += 3)
            objects << set[i];
        const ToolResult g =
            snmp(QStringLiteral("snmpget"), ap, objects, QStringLiteral("public"), version, kGet);
        QCOMPARE(g.exitCode, 0);
        QCOMPARE(values(g), readBack);
    }
}

void TestApsim::refusedWrites_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("failedObject");
    const QString v1 = QStringLiteral("1"), v2 = QStringLiteral("2c");
    QTest::newRow("channel 15") << v2 << QStringList{"operChannelID.0", "i", "15"} << "wrongValue"
                                << "operChannelID.0";
    QTest::newRow("channel 12 outside FCC")
        << v2 << QStringList{"operChannelID.0", "i", "12"} << "inconsistentValue"
        << "operChannelID.0";
    QTest::newRow("fragmentation 255")
        << v2 << QStringList{"operFragmentationThreshold.0", "i", "255"} << "wrongValue"
        << "operFragmentationThreshold.0";
    QTest::newRow("RTS 2348 (v1)")
        << v1 << QStringList{"operRTSThreshold.0", "i", "2348"} << "badValue"
        << "operRTSThreshold.0";
    QTest::newRow("empty ESSID") << v2 << QStringList{"operESSID.0", "s", ""} << "wrongLength"
                                 << "operESSID.0";
    QTest::newRow("33-character ESSID")
        << v2 << QStringList{"operESSID.0", "s", QString(33, QLatin1Char('e'))} << "wrongLength"
        << "operESSID.0";
    QTest::newRow("ESSID length not the ESSID's")
        << v2 << QStringList{"operESSIDLength.0", "i", "4", "operESSID.0", "s", "abc"}
        << "inconsistentValue"
        << "operESSIDLength.0";
    QTest::newRow("7-byte WEP key")
        << v2 << QStringList{"defaultWEPKey1.0", "x", "01020304050607"} << "wrongLength"
        << "defaultWEPKey1.0";
    QTest::newRow("rate byte 0x03")
        << v2 << QStringList{"operBasicRates.0", "x", "8203"} << "wrongValue"
        << "operBasicRates.0";
    QTest::newRow("91-byte device info")
        << v2 << QStringList{"sysDeviceInfo.0", "x", QString(182, QLatin1Char('0'))}
        << "wrongLength"
        << "sysDeviceInfo.0";
    QTest::newRow("integer as string") << v2 << QStringList{"operDHCP.0", "s", "1"} << "wrongType"
                                       << "operDHCP.0";
    QTest::newRow("integer as string (v1)")
        << v1 << QStringList{"operDHCP.0", "s", "1"} << "badValue"
        << "operDHCP.0";
    QTest::newRow("read-only Ethernet address")
        << v2 << QStringList{"operEthernetAddress.0", "x", "001122334455"} << "notWritable"
        << "operEthernetAddress.0";
    QTest::newRow("read-only counter (v1)")
        << v1 << QStringList{"AssociatedSTAsNum.0", "i", "1"} << "noSuchName"
        << "AssociatedSTAsNum.0";
    QTest::newRow("mode 6") << v2 << QStringList{"bridgeOperationalMode.0", "i", "6"}
                            << "wrongValue"
                            << "bridgeOperationalMode.0";
    QTest::newRow("second of two refused: nothing changes")
        << v2 << QStringList{"operChannelID.0", "i", "3", "operPreambleType.0", "i", "3"}
        << "wrongValue"
        << "operPreambleType.0";
    QTest::newRow("unknown object")
        << v2 << QStringList{".1.3.6.1.4.1.32473.1.99.0", "i", "1"} << "noCreation"
        << "qxWirelessOperational.99.0";
    QTest::newRow("test command outside test mode") << v2
                                                    << QStringList{"TestModeCommandStruct.0", "x",
                                                                   "0101C0030102"
                                                                   "03E8"
                                                                   "000005DC"
                                                                   "00000064"
                                                                   "AA00084800"}
                                                    << "inconsistentValue"
                                                    << "TestModeCommandStruct.0";
    QTest::newRow("BSS list number without a survey")
        << v2 << QStringList{"SelectedBSSListNumber.0", "i", "1"} << "inconsistentValue"
        << "SelectedBSSListNumber.0";
}

void TestApsim::refusedWrites()
{
    QFETCH(QString, version);
    QFETCH(QStringList, set);
    QFETCH(QString, reason);
    QFETCH(QString, failedObject);
    Apsim ap;
    QVERIFY(ap.start());
    QStringList objects;
    for (int i = 0; i < set.size(); i += 3)
        objects << set[i];
    const ToolResult before = snmp(QStringLiteral("snmpget"), ap, objects, QStringLiteral("public"),
                                   QStringLiteral("2c"), kGet);
    const ToolResult r =
        snmp(QStringLiteral("snmpset"), ap, set, QStringLiteral("private"), version, kSetRaw);
    QVERIFY2(r.exitCode != 0, qPrintable(r.all()));
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QVERIFY2(r.err.contains(QStringLiteral("Failed object: QX9304-MIB::") + failedObject),
             qPrintable(r.err));
    const ToolResult after = snmp(QStringLiteral("snmpget"), ap, objects, QStringLiteral("public"),
                                  QStringLiteral("2c"), kGet);
    QCOMPARE(after.out, before.out);
}

void TestApsim::communities()
{
    Apsim ap;
    QVERIFY(ap.start());
    const QStringList descr = {QStringLiteral("sysDescr.0")};
    const QStringList channel = {QStringLiteral("operChannelID.0")};
    const QStringList setChannel = {QStringLiteral("operChannelID.0"), QStringLiteral("i"),
                                    QStringLiteral("2")};
    for (const QString& version : {QStringLiteral("1"), QStringLiteral("2c")}) {
        ToolResult r =
            snmp(QStringLiteral("snmpget"), ap, channel, QStringLiteral("nobody"), version);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(QLatin1String("authorizationError")), qPrintable(r.err));
        r = snmp(QStringLiteral("snmpset"), ap, setChannel, QStringLiteral("public"), version);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(QLatin1String("authorizationError")), qPrintable(r.err));
        r = snmp(QStringLiteral("snmpget"), ap, channel, QStringLiteral("private"), version, kGet);
        QCOMPARE(values(r), QStringList{"6"}); // the user's set changed nothing
    }

    // New communities take effect at once and are kept without an upload.
    ToolResult r = snmp(QStringLiteral("snmpset"), ap,
                        {QStringLiteral("AuthorizedUserPass.0"), QStringLiteral("s"),
                         QStringLiteral("guest"), QStringLiteral("AuthorizedAdminPass.0"),
                         QStringLiteral("s"), QStringLiteral("s3cret")},
                        QStringLiteral("private"), QStringLiteral("2c"), kGet);
    QCOMPARE(values(r), (QStringList{"\"guest\"", "\"s3cret\""}));
    QVERIFY(snmp(QStringLiteral("snmpget"), ap, channel, QStringLiteral("private"))
                .err.contains(QLatin1String("authorizationError")));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, channel, QStringLiteral("guest"),
                         QStringLiteral("1"), kGet)),
             QStringList{"6"});
    QVERIFY(snmp(QStringLiteral("snmpset"), ap, setChannel, QStringLiteral("guest"))
                .err.contains(QLatin1String("authorizationError")));
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap, setChannel, QStringLiteral("s3cret")).exitCode, 0);
    // Discovery: sysDescr alone still answers "public"; nothing else does.
    r = snmp(QStringLiteral("snmpget"), ap, descr, QStringLiteral("public"), QStringLiteral("1"),
             kGet);
    QCOMPARE(values(r), QStringList{"\"QX9304 11 Mbps Wireless Access Point\""});
    r = snmp(QStringLiteral("snmpget"), ap, descr + channel, QStringLiteral("public"));
    QVERIFY(r.err.contains(QLatin1String("authorizationError")));
    QVERIFY(ap.control(QStringLiteral("reset")).startsWith(QLatin1String("ok")));
    QThread::msleep(2300);
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, channel, QStringLiteral("guest"),
                         QStringLiteral("1"), kGet)),
             QStringList{"6"});
}

void TestApsim::stations()
{
    TrapSink sink;
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--trap-port"), QString::number(sink.port())}));
    QVERIFY(sink.next().has_value()); // started
    const QString stations = ap.control(QStringLiteral("stations"));
    QVERIFY(stations.startsWith(QLatin1String("ok 3 ")));
    const QString second = stations.section(QLatin1Char(' '), 3, 3);

    // The station query travels as a set of 24 bytes whose first byte is the number.
    auto query = [&](int number) {
        const QString hex = QStringLiteral("%1").arg(number, 2, 16, QLatin1Char('0')) +
                            QString(46, QLatin1Char('0'));
        const ToolResult r =
            snmp(QStringLiteral("snmpset"), ap,
                 {QStringLiteral("AssociatedSTAsInfo.0"), QStringLiteral("x"), hex},
                 QStringLiteral("private"), QStringLiteral("1"), kHex);
        return hexValue(r);
    };
    QByteArray record = query(2);
    QCOMPARE(record.size(), 50);
    QCOMPARE(int(quint8(record[0])), 2);
    QCOMPARE(int(quint8(record[1])), 0);
    QCOMPARE(record.mid(2, 6).toHex().toUpper(), second.toLatin1());
    record = query(9);
    QCOMPARE(record, QByteArray(50, '\0')); // no station 9: an empty record

    QCOMPARE(ap.control(QStringLiteral("join 02-00-00-00-00-77")),
             QStringLiteral("ok associated 020000000077"));
    std::optional<SnmpMessage> trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 18);
    QCOMPARE(trap->variables().item(1)->valueBytes(), QByteArray::fromHex("020000000077"));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("AssociatedSTAsNum.0")},
                         QStringLiteral("public"), QStringLiteral("1"), kGet)),
             QStringList{"4"});
    // The query changes nothing, so the user community may send it too.
    ToolResult user = snmp(QStringLiteral("snmpset"), ap,
                           {QStringLiteral("AssociatedSTAsInfo.0"), QStringLiteral("x"),
                            QStringLiteral("04") + QString(46, QLatin1Char('0'))},
                           QStringLiteral("public"), QStringLiteral("2c"), kHex);
    QCOMPARE(user.exitCode, 0);
    QCOMPARE(hexValue(user).mid(2, 6), QByteArray::fromHex("020000000077"));
    QCOMPARE(query(4).mid(2, 6), QByteArray::fromHex("020000000077"));
    QVERIFY(ap.control(QStringLiteral("leave ") + second)
                .startsWith(QLatin1String("ok not-associated")));
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 19);
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("AssociatedSTAsNum.0")},
                         QStringLiteral("public"), QStringLiteral("1"), kGet)),
             QStringList{"3"});

    // Stations come and go by themselves with --churn.
    Apsim busy;
    QVERIFY(busy.start({QStringLiteral("--churn"), QStringLiteral("1"), QStringLiteral("--seed"),
                        QStringLiteral("7")}));
    QSet<QString> seen;
    for (int i = 0; i < 12 && seen.size() < 2; ++i) {
        seen.insert(busy.control(QStringLiteral("stations")));
        QThread::msleep(500);
    }
    QVERIFY(seen.size() >= 2);
}

void TestApsim::macTable()
{
    TrapSink sink;
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--trap-port"), QString::number(sink.port())}));
    auto block = [](int operation, int total, int entry, const QString& mac) {
        QByteArray b(12, '\0');
        b[0] = char(operation);
        b[2] = char(total & 0xff), b[3] = char(total >> 8);
        b[4] = char(entry & 0xff), b[5] = char(entry >> 8);
        b.replace(6, 6, QByteArray::fromHex(mac.toLatin1()));
        return QString::fromLatin1(b.toHex());
    };
    auto transfer = [&](const QString& hex, ToolResult* result = nullptr) {
        const ToolResult r = snmp(QStringLiteral("snmpset"), ap,
                                  {QStringLiteral("AuthorizedMac.0"), QStringLiteral("x"), hex},
                                  QStringLiteral("private"), QStringLiteral("2c"), kHex + kSetRaw);
        if (result)
            *result = r;
        return QString::fromLatin1(hexValue(r).toHex());
    };
    const QStringList macs = {"00a0f8000001", "00a0f8000002", "00a0f8000003"};
    // Operation 1 writes entry n of N and is echoed.
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(transfer(block(1, 3, n, macs[n - 1])), block(1, 3, n, macs[n - 1]));
    // Operation 2 returns entry n and the total.
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(transfer(block(2, 0, n, "000000000000")), block(2, 3, n, macs[n - 1]));
    // An entry out of order or beyond the total is refused.
    ToolResult r;
    transfer(block(1, 3, 3, macs[2]), &r);
    QCOMPARE(r.exitCode, 0); // the same block again, after a lost answer, is fine
    transfer(block(1, 3, 4, macs[0]), &r);
    QVERIFY2(r.err.contains(QLatin1String("wrongValue")), qPrintable(r.err));
    transfer(block(1, 5, 3, macs[0]), &r);
    QVERIFY2(r.err.contains(QLatin1String("inconsistentValue")), qPrintable(r.err));
    transfer(block(3, 0, 1, "000000000000"), &r);
    QVERIFY2(r.err.contains(QLatin1String("wrongValue")), qPrintable(r.err));
    transfer(block(1, 681, 1, macs[0]), &r); // more than 680
    QVERIFY2(r.err.contains(QLatin1String("wrongValue")), qPrintable(r.err));
    // The user community may read the table but not write it.
    ToolResult user = snmp(
        QStringLiteral("snmpset"), ap,
        {QStringLiteral("AuthorizedMac.0"), QStringLiteral("x"), block(2, 0, 2, "000000000000")},
        QStringLiteral("public"), QStringLiteral("2c"), kHex);
    QCOMPARE(QString::fromLatin1(hexValue(user).toHex()), block(2, 3, 2, macs[1]));
    user = snmp(QStringLiteral("snmpset"), ap,
                {QStringLiteral("AuthorizedMac.0"), QStringLiteral("x"), block(1, 1, 1, macs[0])},
                QStringLiteral("public"), QStringLiteral("2c"), kHex);
    QVERIFY2(user.err.contains(QLatin1String("authorizationError")), qPrintable(user.err));
    // The table decides associations while it is enabled.
    QCOMPARE(
        snmp(QStringLiteral("snmpset"), ap,
             {QStringLiteral("AuthorizationMacEnable.0"), QStringLiteral("i"), QStringLiteral("1")},
             QStringLiteral("private"))
            .exitCode,
        0);
    sink.drain();
    QVERIFY(ap.control(QStringLiteral("join 00a0f8000009"))
                .startsWith(QLatin1String("ok not-associated")));
    std::optional<SnmpMessage> trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 21);
    QVERIFY(
        ap.control(QStringLiteral("join 00a0f8000002")).startsWith(QLatin1String("ok associated")));
    // A whole table of 680 entries, block by block (raw requests: 680 tool runs are slow).
    auto rawTransfer = [&](const QString& hex) {
        SnmpMessage m;
        m.setCommunity("private");
        m.setType(SnmpMessage::SetRequest);
        m.setRequestId(1);
        SnmpVariable v(oidOf(QStringLiteral("AuthorizedMac")) + QStringLiteral(".0"));
        v.setBytes(QByteArray::fromHex(hex.toLatin1()));
        m.variables().add(v);
        const QList<QNetworkDatagram> a =
            exchange(m.encode(), ap.address(), ap.port(), 2000, false, 1);
        const std::optional<SnmpMessage> reply =
            a.isEmpty() ? std::nullopt : SnmpMessage::decode(a[0].data());
        return reply && reply->errorStatus() == 0
                   ? QString::fromLatin1(reply->variables().item(1)->valueBytes().toHex())
                   : QString();
    };
    auto macOf = [](int n) { return QStringLiteral("02000000%1").arg(n, 4, 16, QLatin1Char('0')); };
    for (int n = 1; n <= 680; ++n)
        QCOMPARE(rawTransfer(block(1, 680, n, macOf(n))), block(1, 680, n, macOf(n)));
    for (int n : {1, 2, 679, 680})
        QCOMPARE(rawTransfer(block(2, 0, n, "000000000000")), block(2, 680, n, macOf(n)));
    QCOMPARE(rawTransfer(block(2, 0, 681, "000000000000")), block(2, 680, 681, "000000000000"));
    // Stopping part-way leaves what was sent.
    QVERIFY(!rawTransfer(block(1, 5, 1, macOf(9))).isEmpty());
    QCOMPARE(rawTransfer(block(2, 0, 1, "000000000000")), block(2, 1, 1, macOf(9)));
}

void TestApsim::siteSurveyAndConnect()
{
    TrapSink sink;
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--scan-delay"), QStringLiteral("800"),
                      QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--trap-port"), QString::number(sink.port())}));
    auto known = [&] {
        return hexValue(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("wirelessKnownAPs.0")},
                             QStringLiteral("public"), QStringLiteral("1"), kHex));
    };
    QCOMPARE(known(), QByteArray(768, '\0'));
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("SiteSurveyCommand.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    QCOMPARE(known(), QByteArray(768, '\0')); // still scanning
    QThread::msleep(1100);
    const QByteArray list = known();
    QCOMPARE(list.size(), 768);
    // Four entries of 48 bytes, then a zero BSSID.
    QVERIFY(list.mid(3 * 48, 6) != QByteArray(6, '\0'));
    QCOMPARE(list.mid(4 * 48, 6), QByteArray(6, '\0'));
    QCOMPARE(list.mid(48 + 16, 10), QByteArray("Warehouse\0", 10));
    QCOMPARE(int(list[48 + 8]), 6);
    QCOMPARE(int(list[48 + 10]), 0x11);
    const QByteArray bssid = list.mid(48, 6);

    // Connecting as a client takes the ESSID, channel and BSSID of that entry.
    sink.drain();
    ToolResult r =
        snmp(QStringLiteral("snmpset"), ap,
             {QStringLiteral("bridgeOperationalMode.0"), QStringLiteral("i"), QStringLiteral("3"),
              QStringLiteral("SelectedBSSListNumber.0"), QStringLiteral("i"), QStringLiteral("2")},
             QStringLiteral("private"), QStringLiteral("1"), kGet);
    QCOMPARE(values(r), (QStringList{"accessPointClient", "2"}));
    r = snmp(QStringLiteral("snmpget"), ap,
             {QStringLiteral("operESSID.0"), QStringLiteral("operChannelID.0"),
              QStringLiteral("bridgeRemoteBridgeBSSID.0")},
             QStringLiteral("public"), QStringLiteral("1"), kHex);
    QStringList v = values(r);
    QCOMPARE(v.size(), 3);
    QCOMPARE(v[0].remove(QLatin1Char(' ')), QStringLiteral("57617265686F757365")); // Warehouse
    QCOMPARE(v[1], QStringLiteral("6"));
    QCOMPARE(v[2].remove(QLatin1Char(' ')), QString::fromLatin1(bssid.toHex().toUpper()));
    std::optional<SnmpMessage> trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 11);
    QCOMPARE(trap->variables().item(1)->valueBytes(), bssid);
    r = snmp(QStringLiteral("snmpset"), ap,
             {QStringLiteral("SelectedBSSListNumber.0"), QStringLiteral("i"), QStringLiteral("5")},
             QStringLiteral("private"), QStringLiteral("2c"), kSetRaw);
    QVERIFY(r.err.contains(QLatin1String("inconsistentValue")));
}

void TestApsim::testMode()
{
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--reset-time"), QStringLiteral("300")}));
    auto set = [&](const QStringList& objects) {
        return snmp(QStringLiteral("snmpset"), ap, objects, QStringLiteral("private"),
                    QStringLiteral("2c"), kHex);
    };
    auto statistics = [&] {
        const QByteArray b =
            hexValue(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("TestModeStatistics.0")},
                          QStringLiteral("public"), QStringLiteral("1"), kHex));
        QList<quint32> c;
        for (int i = 0; i + 4 <= b.size(); i += 4)
            c << (quint32(quint8(b[i])) | quint32(quint8(b[i + 1])) << 8 |
                  quint32(quint8(b[i + 2])) << 16 | quint32(quint8(b[i + 3])) << 24);
        return c;
    };
    const QString receive = QStringLiteral("0101C00301"
                                           "02"
                                           "03E8"
                                           "000005DC"
                                           "00000064"
                                           "AA00084800");
    const QString packets = QStringLiteral("0101C00301"
                                           "08"
                                           "0000"
                                           "00000064"
                                           "0000000A"
                                           "AA00084800");
    QCOMPARE(
        set({QStringLiteral("TestModeOnOff.0"), QStringLiteral("i"), QStringLiteral("1")}).exitCode,
        0);
    ToolResult r = set({QStringLiteral("TestModeCommandStruct.0"), QStringLiteral("x"), receive});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(QString::fromLatin1(hexValue(r).toHex().toUpper()), receive);
    QThread::msleep(600);
    QList<quint32> c = statistics();
    QCOMPARE(c.size(), 3);
    QVERIFY(c[0] > 50);
    QVERIFY(c[1] > 0 && c[1] < c[0]);
    QCOMPARE(c[2], 0u);
    // Packet transmission counts up to the number of frames (10).
    QCOMPARE(
        set({QStringLiteral("TestModeCommandStruct.0"), QStringLiteral("x"), packets}).exitCode, 0);
    QThread::msleep(300);
    c = statistics();
    QCOMPARE(c.value(0), 0u);
    QCOMPARE(c.value(2), 10u);
    // A reset ends the test mode.
    QCOMPARE(set({QStringLiteral("sysReset.0"), QStringLiteral("i"), QStringLiteral("1")}).exitCode,
             0);
    QThread::msleep(700);
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("TestModeOnOff.0")},
                         QStringLiteral("public"), QStringLiteral("1"), kGet)),
             QStringList{"off"});
    QCOMPARE(statistics(), (QList<quint32>{0, 0, 0}));
}

void TestApsim::countersGrow()
{
    Apsim ap;
    QVERIFY(ap.start());
    auto counter = [&](const char* name, int offset) {
        const QByteArray b = hexValue(snmp(QStringLiteral("snmpget"), ap,
                                           {QLatin1String(name) + QStringLiteral(".0")},
                                           QStringLiteral("public"), QStringLiteral("1"), kHex));
        return b.size() < offset + 4
                   ? 0u
                   : quint32(quint8(b[offset])) | quint32(quint8(b[offset + 1])) << 8 |
                         quint32(quint8(b[offset + 2])) << 16 |
                         quint32(quint8(b[offset + 3])) << 24;
    };
    const quint32 unicast = counter("wirelessStatistics", 0),
                  beacons = counter("wirelessStatistics", 12);
    const quint32 rxBytes = counter("EthRxStatistics", 0),
                  txPackets = counter("EthTxStatistics", 4);
    QThread::msleep(1200);
    QVERIFY(counter("wirelessStatistics", 0) > unicast);
    QVERIFY(counter("wirelessStatistics", 12) > beacons);
    QVERIFY(counter("EthRxStatistics", 0) > rxBytes);
    QVERIFY(counter("EthTxStatistics", 4) > txPackets);
}

void TestApsim::persistence()
{
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("ap.state"));
    const QString address = Apsim::randomAddress();
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--state"), state}, address));
    const QStringList essid = {QStringLiteral("operESSID.0"), QStringLiteral("operChannelID.0")};
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("operESSIDLength.0"), QStringLiteral("i"), QStringLiteral("4"),
                   QStringLiteral("operESSID.0"), QStringLiteral("s"), QStringLiteral("kept"),
                   QStringLiteral("sysUpload.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("operChannelID.0"), QStringLiteral("i"), QStringLiteral("9")},
                  QStringLiteral("private"))
                 .exitCode,
             0); // not uploaded
    QVERIFY(QFile::exists(state));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"ap.state"}); // no temporary left
    QFile file(state);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QJsonDocument::fromJson(file.readAll()).isObject());
    file.close();

    ap.stop();
    QVERIFY(ap.start({QStringLiteral("--state"), state}, address));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, essid, QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             (QStringList{"\"kept\"", "6"}));

    // A damaged state file is refused at start and left as it is.
    ap.stop();
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{\"format\":\"apsim-state-1\",\"values\":{\"operChannelID\":99}}");
    file.close();
    QVERIFY(!ap.start({QStringLiteral("--state"), state}, address));
    QVERIFY(ap.stderrText().contains(QLatin1String("operChannelID")));
}

void TestApsim::resetSilence()
{
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--reset-time"), QStringLiteral("2000")}));
    const QStringList quick = {QStringLiteral("-Oqv"), QStringLiteral("-t"), QStringLiteral("0.4"),
                               QStringLiteral("-r"), QStringLiteral("0")};
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("operChannelID.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    ToolResult r = snmp(QStringLiteral("snmpset"), ap,
                        {QStringLiteral("sysReset.0"), QStringLiteral("i"), QStringLiteral("1")},
                        QStringLiteral("private"), QStringLiteral("1"), kGet);
    QElapsedTimer since;
    since.start();
    QCOMPARE(values(r), QStringList{"reset"}); // echoed before going down
    r = snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("sysDescr.0")},
             QStringLiteral("public"), QStringLiteral("1"), quick);
    QVERIFY2(r.err.contains(QLatin1String("Timeout")), qPrintable(r.all()));
    QThread::msleep(900);
    r = snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("sysDescr.0")},
             QStringLiteral("public"), QStringLiteral("1"), quick);
    QVERIFY2(r.err.contains(QLatin1String("Timeout")), qPrintable(r.all()));
    QVERIFY(since.elapsed() < 2000);
    QThread::msleep(quint64(qMax<qint64>(0, 2200 - since.elapsed())));
    r = snmp(QStringLiteral("snmpget"), ap,
             {QStringLiteral("operChannelID.0"), QStringLiteral("sysUpTime.0")},
             QStringLiteral("public"), QStringLiteral("1"), {QStringLiteral("-Oqvt")});
    const QStringList v = values(r);
    QCOMPARE(v.size(), 2);
    QCOMPARE(v[0], QStringLiteral("6")); // the change was not uploaded
    QVERIFY(v[1].toInt() < 200);         // up time counts from the restart
}

void TestApsim::loadDefaults()
{
    QTemporaryDir dir;
    const QString state = dir.filePath(QStringLiteral("ap.state"));
    const QString address = Apsim::randomAddress();
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--state"), state}, address));
    const QStringList objects = {QStringLiteral("operAccessPointName.0"),
                                 QStringLiteral("sysDeviceInfo.0")};
    QByteArray info = hexValue(snmp(QStringLiteral("snmpget"), ap, {objects[1]},
                                    QStringLiteral("public"), QStringLiteral("1"), kHex));
    QCOMPARE(info.size(), 92);
    info[11] = char(0x30); // ETSI: a hardware record survives the defaults
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {objects[0], QStringLiteral("s"), QStringLiteral("changed"), objects[1],
                   QStringLiteral("x"), QString::fromLatin1(info.toHex()),
                   QStringLiteral("sysUpload.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("sysLoadDefaults.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    auto check = [&] {
        QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {objects[0]}, QStringLiteral("public"),
                             QStringLiteral("1"), kGet)),
                 QStringList{"\"QX9304-AP\""});
        QCOMPARE(hexValue(snmp(QStringLiteral("snmpget"), ap, {objects[1]},
                               QStringLiteral("public"), QStringLiteral("1"), kHex)),
                 info);
    };
    check();
    ap.stop();
    QVERIFY(ap.start({QStringLiteral("--state"), state}, address));
    check();
}

void TestApsim::traps()
{
    TrapSink sink;
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--trap-port"), QString::number(sink.port())}));
    QHostAddress from;
    std::optional<SnmpMessage> trap = sink.next(3000, &from);
    QVERIFY(trap);
    const QString enterprise = oidOf(QStringLiteral("qx9304"));
    QCOMPARE(trap->type(), int(SnmpMessage::TrapV1));
    QCOMPARE(trap->version(), SnmpMessage::V1);
    QCOMPARE(trap->enterprise(), enterprise);
    QCOMPARE(trap->genericTrap(), 6);
    QCOMPARE(trap->specificTrap(), 6); // started
    QCOMPARE(from.toString(), ap.address());
    QCOMPARE(trap->trapAgentAddress(), ipBytes(ap.address()));

    // A new IP address travels as an IpAddress.
    QCOMPARE(
        snmp(QStringLiteral("snmpset"), ap,
             {QStringLiteral("operIPAddress.0"), QStringLiteral("a"), QStringLiteral("10.1.2.3")},
             QStringLiteral("private"))
            .exitCode,
        0);
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 7);
    QCOMPARE(trap->variables().count(), 1);
    QCOMPARE(trap->variables().item(1)->identifier(),
             oidOf(QStringLiteral("operIPAddress")) + QStringLiteral(".0"));
    QCOMPARE(trap->variables().item(1)->syntax(), SnmpVariable::IpAddress);
    QCOMPARE(trap->variables().item(1)->valueText(), QStringLiteral("10.1.2.3"));
    // The address may also come as a 4-byte octet string; it is still read and sent as an
    // IpAddress.
    SnmpMessage set;
    set.setCommunity("private");
    set.setType(SnmpMessage::SetRequest);
    set.setRequestId(9);
    SnmpVariable address(oidOf(QStringLiteral("operIPAddress")) + QStringLiteral(".0"));
    address.setBytes(QByteArray::fromHex("0a000009"));
    set.variables().add(address);
    const QList<QNetworkDatagram> echo =
        exchange(set.encode(), ap.address(), ap.port(), 1000, false, 1);
    QCOMPARE(echo.size(), 1);
    QCOMPARE(SnmpMessage::decode(echo[0].data())->variables().item(1)->syntax(),
             SnmpVariable::OctetString);
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 7);
    QCOMPARE(trap->variables().item(1)->syntax(), SnmpVariable::IpAddress);
    QCOMPARE(trap->variables().item(1)->valueText(), QStringLiteral("10.0.0.9"));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("operIPAddress.0")},
                         QStringLiteral("public"), QStringLiteral("1"), kGet)),
             QStringList{"10.0.0.9"});

    // Triggered on demand: BSS events carry a 6-byte BSSID, station events a station address.
    QCOMPARE(ap.control(QStringLiteral("trap 15 123456789ABC")), QStringLiteral("ok trap 15"));
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 15);
    QCOMPARE(trap->variables().item(1)->identifier(),
             oidOf(QStringLiteral("trapBSSID")) + QStringLiteral(".0"));
    QCOMPARE(trap->variables().item(1)->syntax(), SnmpVariable::OctetString);
    QCOMPARE(trap->variables().item(1)->valueBytes(), QByteArray::fromHex("123456789ABC"));
    QCOMPARE(ap.control(QStringLiteral("trap 20")), QStringLiteral("ok trap 20"));
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->variables().item(1)->identifier(),
             oidOf(QStringLiteral("trapStationMac")) + QStringLiteral(".0"));
    QCOMPARE(trap->variables().item(1)->valueBytes().size(), 6);
    for (int code : {8, 9, 10, 22}) {
        QVERIFY(ap.control(QStringLiteral("trap %1").arg(code)).startsWith(QLatin1String("ok")));
        trap = sink.next();
        QVERIFY(trap);
        QCOMPARE(trap->specificTrap(), code);
        QCOMPARE(trap->variables().count(), 0);
    }
    QVERIFY(ap.control(QStringLiteral("trap 23")).startsWith(QLatin1String("error")));
    // The upload command reports the saved configuration.
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("sysUpload.0"), QStringLiteral("i"), QStringLiteral("1")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    trap = sink.next();
    QVERIFY(trap);
    QCOMPARE(trap->specificTrap(), 10);
    // With the trap switch off nothing is sent.
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("sysTrapSwitch.0"), QStringLiteral("i"), QStringLiteral("2")},
                  QStringLiteral("private"))
                 .exitCode,
             0);
    QVERIFY(ap.control(QStringLiteral("trap 18")).startsWith(QLatin1String("ok")));
    QVERIFY(
        ap.control(QStringLiteral("join 020000000099")).startsWith(QLatin1String("ok associated")));
    QVERIFY(!sink.next(800));
}

void TestApsim::faults_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("object");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("expected"); // value, or the tool's error
    QTest::newRow("drop all") << QStringList{"--drop", "100"} << "sysDescr.0" << false << "Timeout";
    QTest::newRow("wrong request id")
        << QStringList{"--wrong-request-id"} << "sysDescr.0" << false << "Timeout";
    QTest::newRow("silent") << QStringList{"--silent"} << "sysDescr.0" << false << "Timeout";
    QTest::newRow("delay beyond the time-out")
        << QStringList{"--delay", "1500"} << "sysDescr.0" << false << "Timeout";
    QTest::newRow("delay within the time-out")
        << QStringList{"--delay", "300"} << "operChannelID.0" << true << "6";
    QTest::newRow("wrong length") << QStringList{"--bad-length", "operEthernetAddress,operDHCP"}
                                  << "operEthernetAddress.0" << true << "00 A0 F8 00";
    QTest::newRow("wrong length of an integer")
        << QStringList{"--bad-length", "operEthernetAddress,operDHCP"} << "operDHCP.0" << true
        << "Wrong Type (should be INTEGER)";
    QTest::newRow("out of range") << QStringList{"--bad-value", "operChannelID"}
                                  << "operChannelID.0" << true << "15";
}

void TestApsim::faults()
{
    QFETCH(QStringList, options);
    QFETCH(QString, object);
    QFETCH(bool, answered);
    QFETCH(QString, expected);
    Apsim ap;
    QVERIFY(ap.start(options));
    const ToolResult r =
        snmp(QStringLiteral("snmpget"), ap, {object}, QStringLiteral("public"), QStringLiteral("1"),
             {QStringLiteral("-Oqvx"), QStringLiteral("-t"), QStringLiteral("1"),
              QStringLiteral("-r"), QStringLiteral("0")});
    if (answered) {
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains(expected), qPrintable(r.out));
        if (object == QLatin1String("operEthernetAddress.0"))
            QCOMPARE(hexValue(r).size(), 5);
    } else {
        QVERIFY2(r.exitCode != 0 && r.err.contains(expected), qPrintable(r.all()));
    }
    // Faults can also be switched at run time.
    QCOMPARE(ap.control(QStringLiteral("fault silent on")), QStringLiteral("ok fault silent"));
    QVERIFY(snmp(QStringLiteral("snmpget"), ap, {object}, QStringLiteral("public"),
                 QStringLiteral("1"),
                 {QStringLiteral("-t"), QStringLiteral("0.5"), QStringLiteral("-r"),
                  QStringLiteral("0")})
                .err.contains(QLatin1String("Timeout")));
}

void TestApsim::wrongSourcePort()
{
    for (const bool wrong : {false, true}) {
        Apsim ap;
        QVERIFY(
            ap.start(wrong ? QStringList{QStringLiteral("--wrong-source-port")} : QStringList{}));
        const QList<QNetworkDatagram> answers =
            exchange(getRequest(QStringLiteral("public"), {QStringLiteral("sysDescr")}),
                     ap.address(), ap.port(), 800);
        QCOMPARE(answers.size(), 1);
        QCOMPARE(answers[0].senderAddress().toString(), ap.address());
        QCOMPARE(answers[0].senderPort() != ap.port(), wrong);
        QCOMPARE(SnmpMessage::decode(answers[0].data())->requestId(), 77);
    }
    // --silent-after: the first request is answered, then nothing.
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--silent-after"), QStringLiteral("1")}));
    QCOMPARE(exchange(getRequest(QStringLiteral("public"), {QStringLiteral("sysDescr")}),
                      ap.address(), ap.port(), 500)
                 .size(),
             1);
    QCOMPARE(exchange(getRequest(QStringLiteral("public"), {QStringLiteral("sysDescr")}),
                      ap.address(), ap.port(), 500)
                 .size(),
             0);
}

void TestApsim::broadcastFindsEveryInstance()
{
    const quint16 port = Apsim::randomPort();
    Apsim first, second;
    QVERIFY(first.start({}, QStringLiteral("127.0.0.41"), port));
    QVERIFY(second.start({}, QStringLiteral("127.0.0.42"), port));
    const QList<QNetworkDatagram> answers =
        exchange(getRequest(QStringLiteral("public"), {QStringLiteral("sysDescr")}),
                 QStringLiteral("127.255.255.255"), port, 1000, true);
    QSet<QString> from;
    for (const QNetworkDatagram& d : answers) {
        from.insert(d.senderAddress().toString());
        QCOMPARE(int(d.senderPort()), int(port));
        const std::optional<SnmpMessage> m = SnmpMessage::decode(d.data());
        QVERIFY(m);
        QCOMPARE(m->variables().item(1)->valueText(),
                 QStringLiteral("QX9304 11 Mbps Wireless Access Point"));
    }
    QCOMPARE(answers.size(), 2);
    QCOMPARE(from, (QSet<QString>{"127.0.0.41", "127.0.0.42"}));
    // Each instance still answers on its own address alone.
    QCOMPARE(exchange(getRequest(QStringLiteral("public"), {QStringLiteral("sysDescr")}),
                      QStringLiteral("127.0.0.42"), port, 500)
                 .size(),
             1);
}

void TestApsim::badInput()
{
    Apsim ap;
    QVERIFY(ap.start());
    const QByteArray good = getRequest(
        QStringLiteral("public"), {QStringLiteral("operChannelID"), QStringLiteral("operESSID")});
    SnmpMessage set;
    set.setCommunity("private");
    set.setType(SnmpMessage::SetRequest);
    set.setRequestId(5);
    SnmpVariable v(oidOf(QStringLiteral("operChannelID")) + QStringLiteral(".0"));
    v.setInteger(1);
    set.variables().add(v);
    const QByteArray goodSet = set.encode();
    QList<QByteArray> bad = {
        QByteArray(),
        QByteArray("hello"),
        QByteArray(1, '\x30'),
        QByteArray::fromHex("3084ffffffff020100"),             // huge length
        QByteArray::fromHex("30820400") + QByteArray(16, 'A'), // length beyond the datagram
        QByteArray(4000, '\xff'),
    };
    for (int cut = 1; cut < goodSet.size(); cut += 3)
        bad.append(goodSet.left(cut)); // truncated BER of a set that would change the channel
    QByteArray v3 = goodSet;
    v3[4] = 3; // an SNMPv3 header
    bad.append(v3);
    for (const QByteArray& datagram : bad) {
        QUdpSocket s;
        s.writeDatagram(datagram, QHostAddress(ap.address()), ap.port());
    }
    QThread::msleep(300);
    QVERIFY(ap.running());
    const QList<QNetworkDatagram> answers = exchange(good, ap.address(), ap.port(), 600);
    QCOMPARE(answers.size(), 1);
    const std::optional<SnmpMessage> m = SnmpMessage::decode(answers[0].data());
    QVERIFY(m);
    QCOMPARE(m->variables().item(1)->valueInteger(), 6); // no truncated set got through
    // A response or a trap sent to the agent gets no answer.
    SnmpMessage response = *m;
    QCOMPARE(exchange(response.encode(), ap.address(), ap.port(), 400).size(), 0);
    // An unknown identifier in a v1 get: noSuchName at its position.
    SnmpMessage get = *SnmpMessage::decode(good);
    SnmpVariable unknown(QStringLiteral("1.3.6.1.4.1.32473.77.0"));
    unknown.setNull();
    get.variables().add(unknown);
    const std::optional<SnmpMessage> refused =
        SnmpMessage::decode(exchange(get.encode(), ap.address(), ap.port(), 500).value(0).data());
    QVERIFY(refused);
    QCOMPARE(refused->errorStatus(), 2);
    QCOMPARE(refused->errorIndex(), 3);
}

void TestApsim::profile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.json"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"({
        "sysDescr": "Test bench AP",
        "domain": "ETSI",
        "config": {"operChannelID": 13, "operESSID": "bench", "operIPAddress": "10.9.8.7",
                   "AuthorizedUserPass": "look", "defaultWEPKey3": "0A0B0C0D0E"},
        "stations": [{"mac": "00-11-22-33-44-55", "associated": true}],
        "neighbours": [{"bssid": "665544332211", "ssid": "Far", "channel": 12, "rssi": 20, "flags": 33}]
    })");
    f.close();
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--profile"), path, QStringLiteral("--scan-delay"),
                      QStringLiteral("100")}));
    const ToolResult r =
        snmp(QStringLiteral("snmpget"), ap,
             {QStringLiteral("sysDescr.0"), QStringLiteral("operChannelID.0"),
              QStringLiteral("operESSID.0"), QStringLiteral("operIPAddress.0"),
              QStringLiteral("AssociatedSTAsNum.0"), QStringLiteral("defaultWEPKey3.0")},
             QStringLiteral("look"), QStringLiteral("1"), kGet);
    QCOMPARE(values(r), (QStringList{"\"Test bench AP\"", "13", "\"bench\"", "10.9.8.7", "1",
                                     "0A 0B 0C 0D 0E 00 00 00 00 00 00 00 00"}));
    const QByteArray info =
        hexValue(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("sysDeviceInfo.0")},
                      QStringLiteral("look"), QStringLiteral("1"), kHex));
    QCOMPARE(info.size(), 92);
    QCOMPARE(int(info[11]), 0x30);
    QVERIFY(ap.control(QStringLiteral("survey")).startsWith(QLatin1String("ok")));
    QThread::msleep(300);
    const QByteArray known =
        hexValue(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("wirelessKnownAPs.0")},
                      QStringLiteral("look"), QStringLiteral("1"), kHex));
    QCOMPARE(known.left(11), QByteArray::fromHex("665544332211"
                                                 "14"
                                                 "00"
                                                 "0C"
                                                 "00"
                                                 "21"));
    QCOMPARE(known.mid(48, 6), QByteArray(6, '\0'));
    // A profile with a value out of range is refused.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(R"({"config": {"operRTSThreshold": 3000}})");
    f.close();
    QVERIFY(!ap.start({QStringLiteral("--profile"), path}));
    QVERIFY(ap.stderrText().contains(QLatin1String("operRTSThreshold")));
}

void TestApsim::verboseLog()
{
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--verbose")}));
    QCOMPARE(snmp(QStringLiteral("snmpset"), ap,
                  {QStringLiteral("operAccessPointName.0"), QStringLiteral("s"),
                   QStringLiteral("Attic")},
                  QStringLiteral("private"), QStringLiteral("2c"))
                 .exitCode,
             0);
    QThread::msleep(200);
    ap.stop();
    const QString log = ap.stderrText();
    QVERIFY2(log.contains(QLatin1String("v2c \"private\" set-request")), qPrintable(log));
    QVERIFY2(log.contains(QLatin1String("operAccessPointName.0 = \"Attic\"")), qPrintable(log));
    QVERIFY2(log.contains(QLatin1String("-> v2c \"private\" response")), qPrintable(log));
}

namespace
{

// Group data out of a 1024-byte read reply: 7 bytes in each packet from 1 on.
QByteArray unpack(const QByteArray& reply, int length)
{
    QByteArray data;
    for (int n = 0; n < length; ++n)
        data.append(reply.at(9 + 8 * (n / 7) + n % 7));
    return data;
}

} // namespace

void TestApsim::dfuEndpoint()
{
    QTemporaryDir dir;
    const QString socket = dir.filePath(QStringLiteral("DfuDevice0"));
    const QString state = dir.filePath(QStringLiteral("ap.state"));
    const QString address = Apsim::randomAddress();
    const QStringList options = {QStringLiteral("--dfu"),        socket,
                                 QStringLiteral("--state"),      state,
                                 QStringLiteral("--reset-time"), QStringLiteral("1000")};
    Apsim ap;
    QVERIFY(ap.start(options, address));
    DfuClient client;
    QVERIFY2(client.open(socket), qPrintable(client.errorString()));
    DfuReplyFrame reply;

    // Group 1: the configuration block, the same store as the SNMP side.
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x01'), 1024, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    QCOMPARE(reply.output.size(), 1024);
    QCOMPARE(reply.output.mid(1, 4), QByteArray("\x01\x03\x02\x00", 4)); // firmware 1.3.2.0
    QByteArray block = unpack(reply.output, 348);
    QCOMPARE(int(block[28]), 6); // channel
    QCOMPARE(int(block[31]), 6); // ESSID length
    QCOMPARE(block.mid(32, 6), QByteArray("QX9304"));
    QCOMPARE(block.mid(124, 10), QByteArray("QX9304-AP\0", 10));
    QCOMPARE(block.mid(14, 4), ipBytes(address));
    QCOMPARE(block.mid(156, 4), QByteArray::fromHex("8284"
                                                    "0B16"));
    QCOMPARE(int(block[160]), 0x10); // FCC
    QCOMPARE(int(block[166]), 2);    // access point
    QCOMPARE(int(block[70]), 0);     // WEP off
    QCOMPARE(block.mid(168, 4 + 6), QByteArray("\x06\0\0\0public", 10));
    QCOMPARE(block.mid(192, 4 + 7), QByteArray("\x07\0\0\0private", 11));

    // A written block shows up on the SNMP side at once and is kept across a restart.
    block[28] = char(11);
    block[31] = char(3);
    block.replace(32, 6, QByteArray("usb\0\0\0", 6));
    block[68] = char(2); // both authentication types
    block[70] = char(2); // 128-bit WEP
    block.replace(72, 13, QByteArray::fromHex("00112233445566778899AABBCC"));
    block[300] = char(0x5a); // an uninterpreted byte travels back as it was
    QVERIFY(client.request(DfuRequestGroup, block + QByteArray(1, '\x01'), 0, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    const QStringList objects = {QStringLiteral("operChannelID.0"), QStringLiteral("operESSID.0"),
                                 QStringLiteral("operAuthenticationType.0"),
                                 QStringLiteral("privacyWEPEnable.0"),
                                 QStringLiteral("defaultWEPKey1.0")};
    const QStringList expected = {"11", "\"usb\"", "both", "wep128",
                                  "00 11 22 33 44 55 66 77 88 99 AA BB CC"};
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, objects, QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             expected);
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x01'), 1024, &reply));
    QCOMPARE(unpack(reply.output, 348), block);
    // And an SNMP write shows up in the block.
    QCOMPARE(
        snmp(QStringLiteral("snmpset"), ap,
             {QStringLiteral("operRTSThreshold.0"), QStringLiteral("i"), QStringLiteral("500")},
             QStringLiteral("private"))
            .exitCode,
        0);
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x01'), 1024, &reply));
    QCOMPARE(int(quint8(unpack(reply.output, 348)[66])) | int(quint8(unpack(reply.output, 348)[67]))
                                                              << 8,
             500);

    // A block the device cannot hold is refused and changes nothing.
    QByteArray bad = block;
    bad[31] = char(40);
    QVERIFY(client.request(DfuRequestGroup, bad + QByteArray(1, '\x01'), 0, &reply));
    QCOMPARE(reply.status, DfuStatusFailure);
    bad = block;
    bad[28] = char(13); // outside FCC
    QVERIFY(client.request(DfuRequestGroup, bad + QByteArray(1, '\x01'), 0, &reply));
    QCOMPARE(reply.status, DfuStatusFailure);
    QVERIFY(client.request(DfuRequestGroup, block.left(300) + QByteArray(1, '\x01'), 0, &reply));
    QCOMPARE(reply.status, DfuStatusInvalidRequest);
    QVERIFY(client.request(0x222008, {}, 0, &reply));
    QCOMPARE(reply.status, DfuStatusInvalidRequest);
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, objects.mid(0, 2), QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             expected.mid(0, 2));

    // Group 3: the CR settings with the firmware version.
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x03'), 1024, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    QCOMPARE(reply.output.mid(1, 4), QByteArray("\x01\x03\x02\x00", 4));
    const QByteArray radio = hexValue(snmp(QStringLiteral("snmpget"), ap,
                                           {QStringLiteral("TestModeRadioConfiguration.0")},
                                           QStringLiteral("public"), QStringLiteral("1"), kHex));
    QCOMPARE(unpack(reply.output, 47), radio);

    // Reset: answered, then the device is away for the reset time.
    QVERIFY(client.request(DfuRequestReset, {}, 0, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    QThread::msleep(100);
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x01'), 1024, &reply));
    QCOMPARE(reply.status, DfuStatusFailure);
    QVERIFY(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("sysDescr.0")},
                 QStringLiteral("public"), QStringLiteral("1"),
                 {QStringLiteral("-t"), QStringLiteral("0.3"), QStringLiteral("-r"),
                  QStringLiteral("0")})
                .err.contains(QLatin1String("Timeout")));
    QThread::msleep(1200);
    // The DFU write was saved: the restart keeps it, also across a process restart.
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, objects.mid(0, 2), QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             expected.mid(0, 2));
    client.close();
    ap.stop();
    QVERIFY(ap.start(options, address));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, objects.mid(0, 2), QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             expected.mid(0, 2));

    // Restore defaults.
    QVERIFY(client.open(socket));
    QVERIFY(client.request(DfuRequestRestoreDefaults, {}, 0, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, objects.mid(0, 2), QStringLiteral("public"),
                         QStringLiteral("1"), kGet)),
             (QStringList{"6", "\"QX9304\""}));
    QVERIFY(client.request(DfuRequestGroup, QByteArray(1, '\x01'), 1024, &reply));
    QCOMPARE(int(unpack(reply.output, 348)[28]), 6);
}

void TestApsim::controlPort()
{
    const quint16 control = Apsim::randomPort();
    Apsim ap;
    QVERIFY(ap.start({QStringLiteral("--control-port"), QString::number(control)}));
    auto command = [&](const QByteArray& line) {
        const QList<QNetworkDatagram> a =
            exchange(line, QStringLiteral("127.0.0.1"), control, 2000, false, 1);
        return a.isEmpty() ? QByteArray() : a[0].data().trimmed();
    };
    QCOMPARE(command("set operESSID lab net"), QByteArray("ok operESSID = lab net"));
    QCOMPARE(command("set operChannelID 15"), QByteArray("error refused: value out of range"));
    QCOMPARE(command("get operChannelID"), QByteArray("ok operChannelID = 6"));
    QCOMPARE(command("bogus"), QByteArray("error unknown command bogus"));
    QCOMPARE(values(snmp(QStringLiteral("snmpget"), ap, {QStringLiteral("operESSID.0")},
                         QStringLiteral("public"), QStringLiteral("1"), kGet)),
             QStringList{"\"lab net\""});
    QCOMPARE(command("quit"), QByteArray("ok bye"));
    QTRY_VERIFY(!ap.running());
}

QTEST_GUILESS_MAIN(TestApsim)
#include "tst_apsim.moc"
