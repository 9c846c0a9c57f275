// Hostile answers to the device session: a wrong request identifier, a
// duplicate carrying other values, an answer after its time-out and answers
// from an address the request never went to, each through a whole Get
// Configuration against a real apsim (directly or behind a misbehaving
// relay); and values of every wrong length for each block and record from a
// test responder.
#include "bare_session.h"
#include "halvane/snmp/apsim_process.h"
#include "hostile_relay.h"

#include <QElapsedTimer>
#include <QSignalSpy>

namespace
{

using S = CDeviceSession;

// Marks in the cache that no genuine answer carries.
void markCache(S& s)
{
    s.operChannelID = 99;
    s.operESSID = QStringLiteral("untouched");
    s.operRTSThreshold = 7777;
    s.sysDeviceInfo.fill(0xA5);
    s.wirelessStatistics.fill(0xA5);
}

bool cacheMarked(const S& s)
{
    return s.operChannelID == 99 && s.operESSID == QStringLiteral("untouched") &&
           s.operRTSThreshold == 7777 && s.sysDeviceInfo[0] == 0xA5 &&
           s.wirelessStatistics[0] == 0xA5;
}

QByteArray pattern(int length, int seed = 1)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = char((i * 7 + seed) & 0xff);
    return bytes;
}

} // namespace

class TestHostileAnswers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersThatChangeNothing_data();
    void answersThatChangeNothing();
    void lateAnswerAfterTheLastAttempt();
    void discoveryTakesAnswersFromAnyAddress();
    void wrongLengthOfBlocks_data();
    void wrongLengthOfBlocks();
    void wrongLengthOfHexValues_data();
    void wrongLengthOfHexValues();
    void wrongLengthOfEchoes_data();
    void wrongLengthOfEchoes();
};

void TestHostileAnswers::answersThatChangeNothing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("done");
    QTest::newRow("genuine") << int(HostileRelay::Faithful) << QString() << true;
    QTest::newRow("wrong request identifier")
        << int(HostileRelay::Faithful) << QStringLiteral("fault wrong-id on") << false;
    QTest::newRow("duplicate with other values")
        << int(HostileRelay::DuplicateAltered) << QString() << true;
    QTest::newRow("forged from another address first")
        << int(HostileRelay::ForgedFirst) << QString() << true;
    QTest::newRow("only from another address")
        << int(HostileRelay::OnlyFromElsewhere) << QString() << false;
}

void TestHostileAnswers::answersThatChangeNothing()
{
    QFETCH(int, mode);
    QFETCH(QString, fault);
    QFETCH(bool, done);
    ApsimProcess ap;
    QVERIFY(ap.start());
    QVERIFY(ap.control(QStringLiteral("set operChannelID 3")).startsWith(QLatin1String("ok")));
    if (!fault.isEmpty())
        QVERIFY(ap.control(fault).startsWith(QLatin1String("ok")));
    HostileRelay relay(QHostAddress::LocalHost, QHostAddress::LocalHost, ap.port());
    relay.setMode(HostileRelay::Mode(mode));

    BareSession m;
    m.manager.setRemotePort(relay.port());
    S& s = *m.session;
    markCache(s);
    const CConfigTransfer::Outcome outcome = m.transfer->GetConfiguration();
    QCOMPARE(outcome, done ? CConfigTransfer::Done : CConfigTransfer::Failed);
    QCOMPARE(s.m_sessionState, quint8(S::StateIdle));
    // Whatever else comes in now is no answer to anything.
    QTest::qWait(300);
    if (done) {
        QCOMPARE(m.ui.status.last(), QStringLiteral("Get Configuration done"));
        QCOMPARE(s.operChannelID, 3u);
        QCOMPARE(s.operESSID, ap.control(QStringLiteral("get operESSID")).section(" = ", 1));
        QVERIFY(s.operESSID != QStringLiteral("13"));
        QVERIFY(s.sysDeviceInfo[0] != 0xA5 || s.sysDeviceInfo[1] != 0xA5);
    } else {
        QCOMPARE(m.ui.status.last(), QStringLiteral("Get Configuration failed"));
        QVERIFY(cacheMarked(s));
        // The first step was tried five times and every answer ignored.
        QCOMPARE(relay.requests(), 5);
    }
    if (mode != HostileRelay::Faithful)
        QVERIFY(relay.forged() > 0);
    // A forged or altered value never shows as an error either.
    QVERIFY(!m.ui.plain.join(QLatin1Char(' ')).contains(QLatin1String("Not expected")));
}

void TestHostileAnswers::lateAnswerAfterTheLastAttempt()
{
    // Every answer comes 1300 ms late: the answer to one attempt arrives while
    // the next attempt waits, and the answer to the last attempt after the
    // operation has given up.
    ApsimProcess ap;
    QVERIFY(ap.start({QStringLiteral("--delay"), QStringLiteral("1300")}));
    BareSession m;
    m.manager.setRemotePort(ap.port());
    S& s = *m.session;
    markCache(s);
    QSignalSpy responses(&m.manager, &SnmpManager::response);
    QCOMPARE(m.transfer->GetConfiguration(), CConfigTransfer::Failed);
    QTRY_COMPARE_WITH_TIMEOUT(responses.size(), 5, 3000);
    QTest::qWait(100);
    QVERIFY(cacheMarked(s));
    QCOMPARE(s.m_getResult, 0u);
    QVERIFY(m.ui.plain.isEmpty());
}

void TestHostileAnswers::discoveryTakesAnswersFromAnyAddress()
{
    // A connect probe is answered by whoever answers: the answering agent
    // becomes the session's device (the ordinary-answer check does not apply).
    ApsimProcess ap;
    QVERIFY(ap.start());
    HostileRelay relay(QHostAddress::LocalHost, QHostAddress::LocalHost, ap.port());
    relay.setMode(HostileRelay::OnlyFromElsewhere);
    BareSession m;
    m.discovery = std::make_unique<CDiscovery>(m.session.get(), relay.port(),
                                               QStringLiteral("127.255.255.255"));
    QSignalSpy found(m.discovery.get(), &CDiscovery::AccessPointFound);
    m.session->m_agentAddress.clear();
    m.discovery->StartConnect(QStringLiteral("127.0.0.1"), QStringLiteral("private"), 1);
    QVERIFY(found.wait(3000));
    QCOMPARE(m.session->m_agentAddress, QStringLiteral("127.0.0.2"));
    QVERIFY(!found.first().first().toString().isEmpty());
}

// ---- wrong lengths ----

void TestHostileAnswers::wrongLengthOfBlocks_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<int>("length");
    const QList<QPair<const char*, int>> blocks = {
        {"sysDeviceInfo", 92},      {"wirelessKnownAPs", 1000}, {"wirelessStatistics", 200},
        {"EthRxStatistics", 100},   {"EthTxStatistics", 100},   {"AssociatedSTAsInfo", 50},
        {"TestModeStatistics", 12}, {"AuthorizedMac", 12},
    };
    for (const auto& [name, size] : blocks) {
        for (int length : {0, 1, size - 1, size, size + 1, 2 * size, 1400})
            QTest::addRow("%s %d", name, length) << QString::fromLatin1(name) << length;
    }
}

void TestHostileAnswers::wrongLengthOfBlocks()
{
    // A value shorter than its block replaces only the bytes it has; a longer
    // one is cut to the block. Nothing is read or written beyond either.
    QFETCH(QString, block);
    QFETCH(int, length);
    GroupFixture f;
    S& s = *f.session;
    const QByteArray value = pattern(length);
    const SnmpVariable other = bytesValue(pattern(100, 3));

    std::function<int()> sender;
    std::function<QByteArray()> cache;
    QList<SnmpVariable> values{bytesValue(value)};
    int size = 0;
    bool readsAsWrite = false;
    if (block == QLatin1String("sysDeviceInfo")) {
        s.sysDeviceInfo.fill(0xA5);
        sender = [&s] { return s.SendHardwareGet(); };
        cache = [&s] { return S::BlockBytes(s.sysDeviceInfo); };
        size = 92;
    } else if (block == QLatin1String("wirelessKnownAPs")) {
        s.wirelessKnownAPs.fill(0xA5);
        sender = [&s] { return s.SendKnownAPsGet(); };
        cache = [&s] { return S::BlockBytes(s.wirelessKnownAPs); };
        size = 1000;
    } else if (block == QLatin1String("wirelessStatistics")) {
        s.wirelessStatistics.fill(0xA5);
        sender = [&s] { return s.SendWirelessStatisticsGet(); };
        cache = [&s] { return S::BlockBytes(s.wirelessStatistics); };
        size = 200;
    } else if (block == QLatin1String("EthRxStatistics")) {
        s.EthRxStatistics.fill(0xA5);
        sender = [&s] { return s.SendEthernetStatisticsGet(); };
        cache = [&s] { return S::BlockBytes(s.EthRxStatistics); };
        values = {bytesValue(value), other};
        size = 100;
    } else if (block == QLatin1String("EthTxStatistics")) {
        s.EthTxStatistics.fill(0xA5);
        sender = [&s] { return s.SendEthernetStatisticsGet(); };
        cache = [&s] { return S::BlockBytes(s.EthTxStatistics); };
        values = {other, bytesValue(value)};
        size = 100;
    } else if (block == QLatin1String("AssociatedSTAsInfo")) {
        s.AssociatedSTAsInfo[3].fill(0xA5);
        s.AssociatedSTAsInfo[4].fill(0x5A);
        s.m_stationIndex = 3;
        sender = [&s] { return s.SendAssociatedStationGet(); };
        cache = [&s] { return S::BlockBytes(s.AssociatedSTAsInfo[3]); };
        size = 50;
    } else if (block == QLatin1String("TestModeStatistics")) {
        s.TestModeStatistics.fill(0xA5);
        sender = [&s] { return s.SendTestStatisticsGet(); };
        cache = [&s] { return S::BlockBytes(s.TestModeStatistics); };
        size = 12;
    } else {
        s.AuthorizedMac.fill(0xA5);
        sender = [&s] { return s.SendAuthorizedMacBlock(2); };
        cache = [&s] { return S::BlockBytes(s.AuthorizedMac); };
        size = 12;
        readsAsWrite = true;
    }
    const QByteArray before = cache();
    f.answer(values);
    QVERIFY(f.exchange(sender));

    const QByteArray after = cache();
    QCOMPARE(after.size(), size);
    if (readsAsWrite && length < size) {
        // A transfer block without a whole entry is not taken.
        QCOMPARE(after, before);
        QCOMPARE(s.m_setResult, 0u);
        return;
    }
    const int taken = qMin(length, size);
    QCOMPARE(after.left(taken), value.left(taken));
    QCOMPARE(after.mid(taken), before.mid(taken));
    QCOMPARE(readsAsWrite ? s.m_setResult : s.m_getResult, 1u);
    if (block == QLatin1String("sysDeviceInfo"))
        QCOMPARE(s.m_regulatoryDomain, qint32(qint8(after[S::DeviceDomainOffset])));
    if (block == QLatin1String("AssociatedSTAsInfo"))
        QCOMPARE(S::BlockBytes(s.AssociatedSTAsInfo[4]), QByteArray(50, char(0x5A)));
    // The views over the block stay within it.
    (void)s.KnownBssList();
    (void)s.DeviceInfoText(S::DeviceProductNameOffset);
    QVERIFY(f.ui.plain.isEmpty());
}

void TestHostileAnswers::wrongLengthOfHexValues_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("length");
    const QList<QPair<const char*, int>> values = {
        {"defaultWEPKey1", 13},      {"defaultWEPKey4", 13},       {"TestModeRadioConfiguration", 47},
        {"bridgeRemoteBridgeBSSID", 6}, {"operEthernetAddress", 6},
    };
    for (const auto& [name, size] : values) {
        for (int length : {0, 1, size - 1, size + 1, 2 * size, 1400})
            QTest::addRow("%s %d", name, length) << QString::fromLatin1(name) << length;
    }
}

void TestHostileAnswers::wrongLengthOfHexValues()
{
    // Values held as hexadecimal text accept only their one length: the
    // value is stored, the read fails with its text and the members after it
    // keep what they had.
    QFETCH(QString, variable);
    QFETCH(int, length);
    GroupFixture f;
    S& s = *f.session;
    const QByteArray value = pattern(length);
    const SnmpVariable key = bytesValue(pattern(13, 9));
    std::function<int()> sender;
    QList<SnmpVariable> values;
    QString* member = nullptr;
    QString expectedText;
    std::function<bool()> restKept;
    if (variable.startsWith(QLatin1String("defaultWEPKey"))) {
        const int which = variable.right(1).toInt();
        s.privacyWEPEnable = 77;
        values = {key, key, key, key, integerValue(2), integerValue(1)};
        values[which - 1] = bytesValue(value);
        QString* keys[] = {&s.defaultWEPKey1, &s.defaultWEPKey2, &s.defaultWEPKey3,
                           &s.defaultWEPKey4};
        member = keys[which - 1];
        sender = [&s] { return s.SendPrivacySettingsGet(); };
        expectedText = QStringLiteral("Not expected DeafultWepKeys%1").arg(which);
        restKept = [&s] { return s.privacyWEPEnable == 77; };
    } else if (variable == QLatin1String("TestModeRadioConfiguration")) {
        values = {bytesValue(value)};
        member = &s.TestModeRadioConfiguration;
        sender = [&s] { return s.SendRadioConfigurationGet(); };
        expectedText = QStringLiteral("Not expected RadioConfiguration");
        restKept = [] { return true; };
    } else if (variable == QLatin1String("bridgeRemoteBridgeBSSID")) {
        values = {integerValue(4), bytesValue(value)};
        member = &s.bridgeRemoteBridgeBSSID;
        sender = [&s] { return s.SendOperationalModeGet(); };
        expectedText = QStringLiteral("Not expected RemoteBridgeBSSID");
        restKept = [] { return true; };
    } else {
        s.operDHCP = 77;
        s.operIPAddress = {9, 9, 9, 9};
        values = {bytesValue("10.0.0.2"), bytesValue("255.0.0.0"), bytesValue(value),
                  bytesValue("10.0.0.1"), integerValue(1), integerValue(1), integerValue(0)};
        member = &s.operEthernetAddress;
        sender = [&s] { return s.SendIPSettingsGet(); };
        expectedText = QStringLiteral("Not expected EthernetAddress");
        // The addresses reach the cache only when the whole answer passes.
        restKept = [&s] { return s.operDHCP == 77 && s.operIPAddress == S::IpBytes{9, 9, 9, 9}; };
    }
    f.answer(values);
    QVERIFY(f.exchange(sender));
    QCOMPARE(s.m_getResult, 0u);
    QCOMPARE(*member, S::BytesToHexText(value));
    QCOMPARE(f.ui.plain, QStringList{expectedText});
    QVERIFY(restKept());
}

void TestHostileAnswers::wrongLengthOfEchoes_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("length");
    const QList<QPair<const char*, int>> echoes = {
        {"sysDeviceInfo", 92}, {"AuthorizedMac", 12}, {"operIPAddress", 4}, {"operGateway", 4}};
    for (const auto& [name, size] : echoes) {
        for (int length : {0, 1, size - 1, size + 1, 1400})
            QTest::addRow("%s %d", name, length) << QString::fromLatin1(name) << length;
    }
}

void TestHostileAnswers::wrongLengthOfEchoes()
{
    // The echo of a fixed block is compared byte by byte: a shorter echo is a
    // difference and is never read beyond its end; a longer echo confirms
    // only when its first bytes are the block.
    QFETCH(QString, variable);
    QFETCH(int, length);
    GroupFixture f;
    S& s = *f.session;
    std::function<int()> sender;
    QByteArray sent;
    int position = 1;
    if (variable == QLatin1String("sysDeviceInfo")) {
        sender = [&s] { return s.SendHardwareSet(); };
        s.sysDeviceInfo.fill(0x11);
        sent = S::BlockBytes(s.sysDeviceInfo);
    } else if (variable == QLatin1String("AuthorizedMac")) {
        s.FillAuthorizedMacBlock(S::MacBlockWrite, 2, 1, QStringLiteral("00A0F8000001"));
        sender = [&s] { return s.SendAuthorizedMacBlock(1); };
        sent = S::BlockBytes(s.AuthorizedMac);
    } else {
        s.operIPAddress = {10, 0, 0, 2};
        s.operIPMask = {255, 0, 0, 0};
        s.operGateway = {10, 0, 0, 1};
        s.operDHCP = 1;
        s.operPrimaryPort = 1;
        sender = [&s] { return s.SendIPSettingsSet(); };
        position = variable == QLatin1String("operIPAddress") ? 1 : 3;
        sent = position == 1 ? S::BlockBytes(s.operIPAddress) : S::BlockBytes(s.operGateway);
    }
    // The echo of the block: its bytes, cut or lengthened with other bytes.
    QByteArray echo = sent.left(length);
    if (length > sent.size())
        echo += pattern(length - int(sent.size()), 5);
    f.echo(0, [&](int at, SnmpVariable& value) {
        if (at == position)
            value.setBytes(echo);
    });
    QVERIFY(f.exchange(sender));
    QCOMPARE(s.m_setResult, length > sent.size() ? 1u : 0u);
}

QTEST_GUILESS_MAIN(TestHostileAnswers)
#include "tst_hostile_answers.moc"
