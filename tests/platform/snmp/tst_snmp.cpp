// The SNMP component: encoding and decoding through libsnmp, the UDP manager
// against net-snmp's snmpd and snmptrap as independent peers, the MIB object.
#include "snmp_manager.h"
#include "snmp_message.h"
#include "snmp_mib.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

SnmpMessage sampleAnswer()
{
    SnmpMessage m;
    m.setType(SnmpMessage::GetResponse);
    m.setCommunity("private");
    m.setRequestId(1234567);
    SnmpVariable text(QStringLiteral("1.3.6.1.2.1.1.1.0"));
    text.setBytes("Access Point");
    SnmpVariable number(QStringLiteral("1.3.6.1.4.1.32473.1.1.0"));
    number.setInteger(11);
    SnmpVariable ip(QStringLiteral("1.3.6.1.4.1.32473.3.1.0"));
    ip.setBytes(QByteArray("\x0a\x00\x00\x01", 4), SnmpVariable::IpAddress);
    SnmpVariable counter(QStringLiteral("1.3.6.1.4.1.32473.7.9.0"));
    counter.setInteger(4294967295LL, SnmpVariable::Counter32);
    m.variables().add(text);
    m.variables().add(number);
    m.variables().add(ip);
    m.variables().add(counter);
    return m;
}

} // namespace

class TestSnmp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsEveryField();
    void valueRenderings_data();
    void valueRenderings();
    void hostileDatagramsAreRefused_data();
    void hostileDatagramsAreRefused();
    void everyTruncationIsRefused();
    void trapCodes();

    void getOfSysDescrFromSnmpd();
    void trapsFromSnmptrap();
    void portInUseReportsError10048();
    void busyWhileWaitingThenTimedOut();

    void mibLoadsAndTranslates();
    void mibMissingFile();

private:
    QByteArray v1TrapDatagram();
};

void TestSnmp::roundTripKeepsEveryField()
{
    const SnmpMessage m = sampleAnswer();
    const std::optional<SnmpMessage> back = SnmpMessage::decode(m.encode());
    QVERIFY(back);
    QCOMPARE(*back, m);

    SnmpMessage v2 = m;
    v2.setVersion(SnmpMessage::V2c);
    v2.setErrorStatus(16);
    v2.setErrorIndex(2);
    v2.setRequestId(0);
    const std::optional<SnmpMessage> back2 = SnmpMessage::decode(v2.encode());
    QVERIFY(back2);
    QCOMPARE(*back2, v2);
}

void TestSnmp::valueRenderings_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("octet string") << 1 << 2 << "Access Point" << QByteArray("Access Point");
    QTest::newRow("integer") << 2 << 1 << "11" << QByteArray();
    QTest::newRow("ip address") << 3 << 2 << "10.0.0.1" << QByteArray("\x0a\x00\x00\x01", 4);
    QTest::newRow("counter") << 4 << 1 << "4294967295" << QByteArray();
}

void TestSnmp::valueRenderings()
{
    QFETCH(int, position);
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const std::optional<SnmpMessage> m = SnmpMessage::decode(sampleAnswer().encode());
    QVERIFY(m);
    const SnmpVariable* v = m->variables().item(position);
    QVERIFY(v);
    QCOMPARE(v->type(), type);
    QCOMPARE(v->valueText(), text);
    QCOMPARE(v->valueBytes(), bytes);
    QVERIFY(!m->variables().item(0));
    QVERIFY(!m->variables().item(5));
}

void TestSnmp::hostileDatagramsAreRefused_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QByteArray valid = sampleAnswer().encode();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not ber") << QByteArray("hello world");
    QByteArray longLength = valid;
    longLength[1] = char(0x84);   // length in long form, far beyond the data
    QTest::newRow("length beyond data") << longLength;
    QByteArray v3 = valid;
    v3[4] = 3;   // version 3 (SNMPv3 is not spoken)
    QTest::newRow("version 3") << v3;
    QTest::newRow("deep nesting") << QByteArray(2000, '\x30');
    QByteArray garbageTail = valid;
    garbageTail[garbageTail.size() - 1] = char(0xff);
    garbageTail.append(QByteArray(50, '\xff'));
    QTest::newRow("garbage after") << garbageTail;
}

void TestSnmp::hostileDatagramsAreRefused()
{
    QFETCH(QByteArray, datagram);
    // Must not crash; whatever is decoded must be a consistent message.
    const std::optional<SnmpMessage> m = SnmpMessage::decode(datagram);
    if (m)
        QVERIFY(m->type() >= SnmpMessage::GetRequest && m->type() <= SnmpMessage::Report);
    if (QTest::currentDataTag() != QByteArray("garbage after"))
        QVERIFY(!m);
}

void TestSnmp::everyTruncationIsRefused()
{
    const QByteArray valid = sampleAnswer().encode();
    for (int length = 0; length < valid.size(); ++length)
        QVERIFY2(!SnmpMessage::decode(valid.left(length)), qPrintable(QString::number(length)));
}

QByteArray TestSnmp::v1TrapDatagram()
{
    SnmpMessage trap;
    trap.setType(SnmpMessage::TrapV1);
    trap.setCommunity("public");
    trap.setEnterprise(QStringLiteral("1.3.6.1.4.1.32473"));
    trap.setTrapAgentAddress(QByteArray("\x7f\x00\x00\x01", 4));
    trap.setGenericTrap(6);
    trap.setSpecificTrap(15);
    SnmpVariable bssid(QStringLiteral("1.3.6.1.4.1.32473.10.1.0"));
    bssid.setBytes(QByteArray("\x12\x34\x56\x78\x9a\xbc", 6));
    trap.variables().add(bssid);
    return trap.encode();
}

void TestSnmp::trapCodes()
{
    const std::optional<SnmpMessage> v1 = SnmpMessage::decode(v1TrapDatagram());
    QVERIFY(v1);
    QCOMPARE(v1->type(), int(SnmpMessage::TrapV1));
    QCOMPARE(v1->trapCode(), 15);
    QCOMPARE(v1->variables().count(), 1);
    QCOMPARE(v1->variables().item(1)->valueBytes(), QByteArray("\x12\x34\x56\x78\x9a\xbc", 6));

    SnmpMessage v2;
    v2.setVersion(SnmpMessage::V2c);
    v2.setType(SnmpMessage::TrapV2);
    v2.setCommunity("public");
    v2.setTrapOid(QStringLiteral("1.3.6.1.4.1.32473.0.19"));
    SnmpVariable mac(QStringLiteral("1.3.6.1.4.1.32473.10.2.0"));
    mac.setBytes("abcdef");
    v2.variables().add(mac);
    const std::optional<SnmpMessage> back = SnmpMessage::decode(v2.encode());
    QVERIFY(back);
    QCOMPARE(back->trapCode(), 19);
    // The two naming bindings are not among the trap's variables.
    QCOMPARE(back->variables().count(), 1);
}

void TestSnmp::getOfSysDescrFromSnmpd()
{
    const QString snmpd = QStandardPaths::findExecutable(QStringLiteral("snmpd"),
                                                         {QStringLiteral("/usr/sbin"),
                                                          QStringLiteral("/usr/local/sbin")});
    if (snmpd.isEmpty())
        QFAIL("snmpd is not installed (scripts/bootstrap installs it)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString conf = dir.filePath(QStringLiteral("snmpd.conf"));
    QFile file(conf);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("rocommunity public 127.0.0.1\nsysDescr Loopback test agent\n");
    file.close();
    const quint16 port = freePort();
    QProcess agent;
    agent.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    agent.start(snmpd, {QStringLiteral("-f"), QStringLiteral("-Lo"), QStringLiteral("-C"),
                        QStringLiteral("-c"), conf, QStringLiteral("-p"),
                        dir.filePath(QStringLiteral("pid")), QStringLiteral("-M"),
                        QStringLiteral("/dev/null"), QStringLiteral("-m"), QString(),
                        QStringLiteral("--persistentDir=") + dir.path(),
                        QStringLiteral("udp:127.0.0.1:%1").arg(port)});
    QVERIFY(agent.waitForStarted());

    SnmpManager manager;
    QVERIFY(manager.open(0));
    manager.setRemoteHost(QStringLiteral("127.0.0.1"));
    manager.setRemotePort(port);
    manager.setTimeout(1000);
    QSignalSpy responses(&manager, &SnmpManager::response);
    // snmpd needs a moment to bind; resend until it answers.
    for (int attempt = 0; attempt < 20 && responses.isEmpty(); ++attempt) {
        SnmpMessage& request = manager.message();
        request.clear();
        request.setCommunity("public");
        request.setType(SnmpMessage::GetRequest);
        request.setRequestId(77 + attempt);
        request.variables().add(SnmpVariable(QStringLiteral("1.3.6.1.2.1.1.1.0")));
        QVERIFY(manager.send());
        responses.wait(500);
    }
    agent.terminate();
    agent.waitForFinished();
    QVERIFY(!responses.isEmpty());
    const SnmpMessage& answer = manager.message();
    QCOMPARE(answer.type(), int(SnmpMessage::GetResponse));
    QCOMPARE(answer.errorStatus(), 0);
    QCOMPARE(answer.variables().count(), 1);
    QCOMPARE(answer.variables().item(1)->valueText(), QStringLiteral("Loopback test agent"));
    QCOMPARE(manager.remoteHost(), QStringLiteral("127.0.0.1"));
    QCOMPARE(manager.busy(), 0);
}

void TestSnmp::trapsFromSnmptrap()
{
    const QString snmptrap = QStandardPaths::findExecutable(QStringLiteral("snmptrap"));
    if (snmptrap.isEmpty())
        QFAIL("snmptrap is not installed (scripts/bootstrap installs it)");
    SnmpManager manager;
    QVERIFY(manager.open(0, QStringLiteral("127.0.0.1")));
    QSignalSpy traps(&manager, &SnmpManager::trapReceived);
    const QString target = QStringLiteral("127.0.0.1:%1").arg(manager.localPort());
    const QStringList common = {QStringLiteral("-M"), QStringLiteral("/dev/null"),
                                QStringLiteral("-m"), QString(), QStringLiteral("-c"),
                                QStringLiteral("public")};
    // SNMPv1: enterprise, agent, generic 6, specific 7, uptime, one IpAddress.
    QCOMPARE(QProcess::execute(snmptrap,
                               QStringList{QStringLiteral("-v1")} + common +
                                   QStringList{target, QStringLiteral(".1.3.6.1.4.1.32473"),
                                               QStringLiteral("127.0.0.1"), QStringLiteral("6"),
                                               QStringLiteral("7"), QStringLiteral("0"),
                                               QStringLiteral(".1.3.6.1.4.1.32473.3.1.0"),
                                               QStringLiteral("a"), QStringLiteral("10.1.2.3")}),
             0);
    QVERIFY(traps.wait(2000));
    QCOMPARE(manager.message().trapCode(), 7);
    QCOMPARE(manager.message().variables().item(1)->valueText(), QStringLiteral("10.1.2.3"));
    QCOMPARE(manager.remoteHost(), QStringLiteral("127.0.0.1"));

    // SNMPv2c: the trap code is the last sub-identifier of snmpTrapOID.
    QCOMPARE(QProcess::execute(snmptrap,
                               QStringList{QStringLiteral("-v2c")} + common +
                                   QStringList{target, QString(),
                                               QStringLiteral(".1.3.6.1.4.1.32473.0.18"),
                                               QStringLiteral(".1.3.6.1.4.1.32473.10.2.0"),
                                               QStringLiteral("x"), QStringLiteral("00A0C8123456")}),
             0);
    QVERIFY(traps.wait(2000));
    QCOMPARE(manager.message().trapCode(), 18);
    QCOMPARE(manager.message().variables().count(), 1);
    QCOMPARE(manager.message().variables().item(1)->valueBytes(),
             QByteArray("\x00\xa0\xc8\x12\x34\x56", 6));
}

void TestSnmp::portInUseReportsError10048()
{
    SnmpManager first;
    QVERIFY(first.open(0, QStringLiteral("127.0.0.1")));
    SnmpManager second;
    QSignalSpy errors(&second, &SnmpManager::error);
    QVERIFY(!second.open(first.localPort(), QStringLiteral("127.0.0.1")));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).toInt(), 10048);
    QVERIFY(!second.isOpen());
}

void TestSnmp::busyWhileWaitingThenTimedOut()
{
    QUdpSocket silent;
    QVERIFY(silent.bind(QHostAddress::LocalHost, 0));
    SnmpManager manager;
    QVERIFY(manager.open(0));
    manager.setRemoteHost(QStringLiteral("127.0.0.1"));
    manager.setRemotePort(silent.localPort());
    manager.setTimeout(200);
    manager.message().setCommunity("public");
    manager.message().variables().add(SnmpVariable(QStringLiteral("1.3.6.1.2.1.1.1.0")));
    QSignalSpy errors(&manager, &SnmpManager::error);
    QVERIFY(manager.send());
    QCOMPARE(manager.busy(), 1);
    QVERIFY(errors.wait(2000));
    QCOMPARE(errors.first().at(0).toInt(), int(SnmpManager::ErrorTimedOut));
    QCOMPARE(manager.busy(), 0);

    // With time-out 0 the manager is never busy.
    manager.setTimeout(0);
    QVERIFY(manager.send());
    QCOMPARE(manager.busy(), 0);
}

void TestSnmp::mibLoadsAndTranslates()
{
    SnmpMib mib;
    QVERIFY2(mib.load(QStringLiteral(QX_MIB_FILE)), qPrintable(mib.errorText()));
    QCOMPARE(mib.identifierOf(QStringLiteral("sysDescr")), QStringLiteral("1.3.6.1.2.1.1.1"));
    QVERIFY(mib.identifierOf(QStringLiteral("operForwarbBcast"))
                .startsWith(QLatin1String("1.3.6.1.4.1.32473.")));
    QCOMPARE(mib.syntaxOf(QStringLiteral("operIPAddress")), SnmpVariable::IpAddress);
    QCOMPARE(mib.syntaxOf(QStringLiteral("operChannelID")), SnmpVariable::Integer);
    QVERIFY(mib.identifierOf(QStringLiteral("bogus")).isEmpty());
    for (int t = 6; t <= 22; ++t)
        QVERIFY2(!mib.nodeName(t).isEmpty(), qPrintable(QString::number(t)));
    QVERIFY(mib.nodeName(5).isEmpty());
    QCOMPARE(mib.nodeName(0x10007), mib.nodeName(7));   // the key's low 16 bits
}

void TestSnmp::mibMissingFile()
{
    SnmpMib mib;
    QVERIFY(!mib.load(QStringLiteral("NoSuch-%1.mib").arg(QRandomGenerator::global()->generate())));
    QVERIFY(!mib.isLoaded());
    QVERIFY(!mib.errorText().isEmpty());
    QVERIFY(mib.identifierOf(QStringLiteral("sysDescr")).isEmpty());
}

QTEST_GUILESS_MAIN(TestSnmp)
#include "tst_snmp.moc"
