// The trap recorder: log text of each trap number, and which traps are
// accepted, with real SNMPv1 traps sent over loopback UDP.
#include "session.h"
#include "trap_recorder.h"

#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

namespace {

const QString kSep = QStringLiteral("\r\n====================================\r\n\r\n");

SnmpMessage makeTrap(int specific, const QList<QByteArray>& values, bool asIp = false)
{
    SnmpMessage trap;
    trap.setType(SnmpMessage::TrapV1);
    trap.setCommunity("public");
    trap.setEnterprise(QStringLiteral("1.3.6.1.4.1.32473"));
    trap.setTrapAgentAddress(QByteArray("\x7f\x00\x00\x01", 4));
    trap.setGenericTrap(6);
    trap.setSpecificTrap(specific);
    int n = 1;
    for (const QByteArray& value : values) {
        SnmpVariable v(QStringLiteral("1.3.6.1.4.1.32473.10.%1.0").arg(n++));
        v.setBytes(value, asIp ? SnmpVariable::IpAddress : SnmpVariable::OctetString);
        trap.variables().add(v);
    }
    return trap;
}

class NullUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString&) override {}
    void ShowStopMessage(const QString&) override {}
    void SetStatusText(const QString&) override {}
};

} // namespace

class TestTrapRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void format_data();
    void format();
    void acceptsOnlyTrapsOfTheConnectedAgent();

private:
    SnmpMib m_mib;
};

void TestTrapRecorder::initTestCase()
{
    QVERIFY(m_mib.load(QStringLiteral(QX_MIB_FILE)));
}

void TestTrapRecorder::format_data()
{
    const QByteArray mac("\x12\x34\x56\x78\x9a\xbc", 6);
    QTest::addColumn<int>("number");
    QTest::addColumn<QList<QByteArray>>("values");
    QTest::addColumn<bool>("asIp");
    QTest::addColumn<QString>("body");
    QTest::newRow("6 without variables") << 6 << QList<QByteArray>{} << false << QString();
    QTest::newRow("7 new address") << 7 << QList<QByteArray>{QByteArray("\x0a\x00\x00\x09", 4)}
                                   << true << QStringLiteral("The new IP Address : 10.0.0.9") + kSep;
    QTest::newRow("8 with two variables") << 8 << QList<QByteArray>{"a", "b"} << false
                                          << kSep + kSep + kSep;
    QTest::newRow("15 bssid") << 15 << QList<QByteArray>{mac} << false
                              << QStringLiteral("BSSID : 123456789ABC") + kSep;
    QTest::newRow("19 station") << 19 << QList<QByteArray>{mac} << false
                                << kSep + QStringLiteral("Station Mac Address : 123456789ABC") + kSep;
    QTest::newRow("21 other number") << 21 << QList<QByteArray>{mac} << false
                                     << QStringLiteral("Station Mac Address : 123456789ABC") + kSep;
    QTest::newRow("22") << 22 << QList<QByteArray>{"z"} << false << kSep;
}

void TestTrapRecorder::format()
{
    QFETCH(int, number);
    QFETCH(QList<QByteArray>, values);
    QFETCH(bool, asIp);
    QFETCH(QString, body);
    const QString text = CTrapRecorder::FormatTrap(makeTrap(number, values, asIp),
                                                   QStringLiteral("127.0.0.1"), QTime(9, 5, 7),
                                                   m_mib);
    const QString header = QStringLiteral("Trap received @ 9:5:7 from host 127.0.0.1\r\n");
    const QString name = m_mib.nodeName(number);
    QVERIFY(!name.isEmpty());
    QCOMPARE(text, header + name + body);
}

void TestTrapRecorder::acceptsOnlyTrapsOfTheConnectedAgent()
{
    NullUi ui;
    CDeviceSession session(nullptr, nullptr, &ui);
    session.m_agentAddress = QStringLiteral("127.0.0.1");
    CTrapRecorder recorder(&session);
    QCOMPARE(recorder.Create(0, QStringLiteral(QX_MIB_FILE)), CTrapRecorder::Created);
    const quint16 port = recorder.TrapManager().localPort();
    QSignalSpy logged(&recorder, &CTrapRecorder::TrapLogged);
    QSignalSpy received(&recorder.TrapManager(), &SnmpManager::trapReceived);

    auto sendFrom = [port](const char* source, const SnmpMessage& trap) {
        QUdpSocket sender;
        QVERIFY(sender.bind(QHostAddress(QLatin1String(source)), 0));
        sender.writeDatagram(trap.encode(), QHostAddress::LocalHost, port);
    };
    const SnmpMessage trap = makeTrap(15, {QByteArray(6, '\x01')});

    // Not yet connected: dropped.
    sendFrom("127.0.0.1", trap);
    QTRY_COMPARE(received.size(), 1);
    session.m_answered = true;
    sendFrom("127.0.0.1", trap);
    QTRY_COMPARE(received.size(), 2);
    QCOMPARE(logged.size(), 0);

    // Connected and configuration read: accepted, but only from the agent.
    session.m_configRead = 1;
    sendFrom("127.0.0.2", trap);
    QTRY_COMPARE(received.size(), 3);
    QCOMPARE(logged.size(), 0);
    for (int i = 0; i < 3; ++i)
        sendFrom("127.0.0.1", trap);
    QTRY_COMPARE(logged.size(), 3);
    QCOMPARE(session.m_trapCount, 3);
    QCOMPARE(logged.last().at(0).toInt(), 3);
    QCOMPARE(recorder.Log().count(QLatin1String("Trap received @ ")), 3);
    QVERIFY(recorder.Log().contains(QLatin1String("BSSID : 010101010101")));

    // Malformed datagrams never reach the log.
    QUdpSocket junk;
    junk.writeDatagram(QByteArray("\x30\x82\xff\xff garbage"), QHostAddress::LocalHost, port);
    QTest::qWait(100);
    QCOMPARE(logged.size(), 3);
}

QTEST_GUILESS_MAIN(TestTrapRecorder)
#include "tst_trap_recorder.moc"
