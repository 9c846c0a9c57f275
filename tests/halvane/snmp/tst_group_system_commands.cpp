// System commands, trap switch and test mode against crafted answers: the
// single-variable commands and their echo, the attempts and refusal rules
// of the two command runners, the test command block and the test
// statistics.
#include "group_fixture.h"

namespace
{

QStringList firstVariables(const GroupFixture& f)
{
    QStringList ids;
    for (const SnmpMessage& request : f.responder->requests())
        ids << request.variables().item(1)->identifier();
    return ids;
}

} // namespace

class TestSystemCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void trapSwitchRead_data();
    void trapSwitchRead();
    void trapSwitchSendFailureIsShown_data();
    void trapSwitchSendFailureIsShown();
    void singleCommands_data();
    void singleCommands();

    void systemCommandAttempts_data();
    void systemCommandAttempts();
    void systemCommandRefusal_data();
    void systemCommandRefusal();
    void restoreDefaultsWithoutAnswerFails();

    void testCommandText();
    void testCommandWrite_data();
    void testCommandWrite();
    void testStatistics_data();
    void testStatistics();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestSystemCommands::trapSwitchRead_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");
    QTest::newRow("on") << 1u << 0 << 1u << QStringList();
    QTest::newRow("off") << 2u << 0 << 1u << QStringList();
    QTest::newRow("0") << 0u << 0 << 0u << QStringList{"Not expected TrapSwitch"};
    QTest::newRow("3") << 3u << 0 << 0u << QStringList{"Not expected TrapSwitch"};
    QTest::newRow("error status") << 1u << 2 << 0u
                                  << QStringList{"Unexpected Error on GetTrapSwitchValues"};
}

void TestSystemCommands::trapSwitchRead()
{
    QFETCH(quint32, value);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    m_f->session->m_trapState = 7;
    m_f->answer({integerValue(value)}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendTrapSwitchGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()), QStringList{m_f->id("sysTrapSwitch")});
    QCOMPARE(m_f->session->m_trapState, value);
    QCOMPARE(m_f->session->m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestSystemCommands::trapSwitchSendFailureIsShown_data()
{
    QTest::addColumn<bool>("debug");
    QTest::newRow("debug mode") << true;
    QTest::newRow("normal mode") << false;
}

void TestSystemCommands::trapSwitchSendFailureIsShown()
{
    QFETCH(bool, debug);
    m_f->session->m_debugMode = debug;
    m_f->manager->close();
    QCOMPARE(m_f->session->SendTrapSwitchGet(), 0);
    QCOMPARE(m_f->ui.plain, QStringList{QStringLiteral("The manager is not open")});
    QCOMPARE(m_f->session->m_getResult, 0u);
}

void TestSystemCommands::singleCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<qint64>("sent");
    QTest::addColumn<qint64>("echoed");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QString>("handler");

    const struct {
        const char* command;
        const char* variable;
        qint64 value;
        const char* handler;
    } commands[] = {
        {"trap state", "sysTrapSwitch", 2, "ValidateTrapStateSetValue"},
        {"reset", "sysReset", 1, "ValidateResetSetValues"},
        {"upload", "sysUpload", 1, "ValidateResetSetValues"},
        {"restore defaults", "sysLoadDefaults", 1, "ValidateRestoreDefaultsSetValues"},
        {"test mode", "TestModeOnOff", 1, "ValidateTestModeSetValue"},
    };
    for (const auto& c : commands) {
        QTest::addRow("%s confirmed", c.command)
            << c.command << c.variable << c.value << c.value << 0 << 1u << c.handler;
        QTest::addRow("%s echo 2 differs", c.command)
            << c.command << c.variable << c.value << qint64(c.value == 2 ? 1 : 2) << 0 << 0u
            << c.handler;
        QTest::addRow("%s error status", c.command)
            << c.command << c.variable << c.value << c.value << 16 << 0u << c.handler;
    }
}

void TestSystemCommands::singleCommands()
{
    QFETCH(QString, command);
    QFETCH(QString, variable);
    QFETCH(qint64, sent);
    QFETCH(qint64, echoed);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QString, handler);

    CDeviceSession& s = *m_f->session;
    s.m_trapState = 2;
    const std::function<int()> senders[] = {
        [&s] { return s.SendTrapStateSet(); }, [&s] { return s.SendResetCommand(false); },
        [&s] { return s.SendResetCommand(true); }, [&s] { return s.SendRestoreDefaults(); },
        [&s] { return s.SendTestModeSet(); }};
    const QStringList names{"trap state", "reset", "upload", "restore defaults", "test mode"};
    m_f->echo(status, [echoed](int, SnmpVariable& value) { value.setInteger(echoed); });
    QVERIFY(m_f->exchange(senders[names.indexOf(command)]));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(requestIdentifiers(request), QStringList{m_f->id(qPrintable(variable))});
    QCOMPARE(request.variables().item(1)->syntax(), SnmpVariable::Integer);
    QCOMPARE(request.variables().item(1)->valueInteger(), sent);
    QCOMPARE(s.m_setResult, result);
    QCOMPARE(m_f->ui.plain, status && echoed == sent
                                ? QStringList{QStringLiteral("Unexpected Error on ") + handler}
                                : QStringList());
    // None of these recognises a refused community.
    QVERIFY(m_f->ui.stop.isEmpty());
}

void TestSystemCommands::systemCommandAttempts_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("confirmOn"); // request number confirmed, 0 never
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("upload at once") << 1 << 1 << true << QStringList{"sysUpload"};
    QTest::newRow("reset on the third try")
        << 0 << 3 << true << QStringList{"sysReset", "sysReset", "sysReset"};
    QTest::newRow("reset never confirmed")
        << 0 << 0 << false << QStringList{"sysReset", "sysReset", "sysReset"};
    QTest::newRow("unknown mode sends nothing") << 2 << 1 << false << QStringList();
}

void TestSystemCommands::systemCommandAttempts()
{
    QFETCH(int, mode);
    QFETCH(int, confirmOn);
    QFETCH(bool, result);
    QFETCH(QStringList, sent);

    int seen = 0;
    m_f->answerBy([&seen, confirmOn](const SnmpMessage&) {
        ++seen;
        return QList<SnmpVariable>{integerValue(seen == confirmOn ? 1 : 2)};
    });
    QCOMPARE(m_f->session->RunSystemCommand(mode), result);
    QStringList expected;
    for (const QString& name : sent)
        expected << m_f->id(qPrintable(name));
    QCOMPARE(firstVariables(*m_f), expected);
    QCOMPARE(m_f->session->m_sessionState, quint8(CDeviceSession::StateIdle));
    if (!sent.isEmpty())
        QCOMPARE(m_f->ui.cursor, (QList<bool>{true, false}));
}

void TestSystemCommands::systemCommandRefusal_data()
{
    QTest::addColumn<bool>("restore");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("refused");
    QTest::newRow("system command while reading") << false << 1 << true;
    QTest::newRow("system command while writing") << false << 2 << false;
    QTest::newRow("restore defaults while reading") << true << 1 << true;
    QTest::newRow("restore defaults while writing") << true << 2 << true;
    QTest::newRow("restore defaults while idle") << true << 3 << false;
}

void TestSystemCommands::systemCommandRefusal()
{
    QFETCH(bool, restore);
    QFETCH(int, state);
    QFETCH(bool, refused);

    CDeviceSession& s = *m_f->session;
    m_f->echo();
    s.m_sessionState = quint8(state);
    const bool done = restore ? s.RunRestoreDefaults() : s.RunSystemCommand(1);
    QCOMPARE(done, !refused);
    QTest::qWait(20);
    QCOMPARE(m_f->requestCount(), refused ? 0 : 1);
    if (!refused)
        QCOMPARE(firstVariables(*m_f),
                 QStringList{m_f->id(restore ? "sysLoadDefaults" : "sysUpload")});
    QCOMPARE(m_f->ui.cursor, (QList<bool>{true, false}));
    QVERIFY(m_f->ui.status.isEmpty());
}

void TestSystemCommands::restoreDefaultsWithoutAnswerFails()
{
    CDeviceSession& s = *m_f->session;
    m_f->echo();
    QVERIFY(s.WriteTrapState());
    QCOMPARE(s.m_setResult, 1u);
    m_f->silent();
    QVERIFY(!s.RunRestoreDefaults());
    QCOMPARE(m_f->requestCount(), 4);
    QCOMPARE(s.m_setResult, 0u);
}

void TestSystemCommands::testCommandText()
{
    CDeviceSession::TestCommand c;
    c.channel = 14;
    c.antenna = 2;
    c.power = 0x80;
    c.rate = 3;
    c.command = 8;
    c.interFrameTime = 0x1234;
    c.frameLength = 1500;
    c.frameCount = 4294967294u;
    c.pattern = 0xAA;
    c.cr20 = 0x0F;
    c.cr21 = 0xF0;
    const QString text = CDeviceSession::TestCommandText(c);
    QCOMPARE(text.size(), 42);
    QCOMPARE(text, QStringLiteral("0E0280030108"
                                  "1234"
                                  "000005DC"
                                  "FFFFFFFE"
                                  "AA00"
                                  "0FF000"));
}

void TestSystemCommands::testCommandWrite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("requests");

    const QString full = QStringLiteral("0E0280030108123400000"
                                        "5DCFFFFFFFEAA000FF000");
    QTest::newRow("42 digits") << full << 21 << true << 1;
    QTest::newRow("41 digits send 20 bytes, never confirmed") << full.left(41) << 20 << false << 3;
    QTest::newRow("lower-case digits are never confirmed") << full.toLower() << 21 << false << 3;
}

void TestSystemCommands::testCommandWrite()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QFETCH(bool, result);
    QFETCH(int, requests);

    CDeviceSession& s = *m_f->session;
    s.TestModeCommandStruct = text;
    m_f->echo();
    QCOMPARE(s.WriteTestModeCommand(), result);
    QCOMPARE(m_f->requestCount(), requests);
    const SnmpVariable& sent = *m_f->lastRequest().variables().item(1);
    QCOMPARE(sent.identifier(), m_f->id("TestModeCommandStruct"));
    QCOMPARE(sent.valueBytes().size(), bytes);
    QCOMPARE(sent.valueBytes(), CDeviceSession::HexTextToBytes(text));
}

void TestSystemCommands::testStatistics_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<quint32>>("counters");
    QTest::addColumn<quint32>("result");

    QTest::newRow("12 bytes") << hexBytes("0A000000"
                                          "02000000"
                                          "FFFFFFFF")
                              << 0 << QList<quint32>{10, 2, 0xFFFFFFFF} << 1u;
    QTest::newRow("longer value is cut") << hexBytes("0A000000"
                                                     "02000000"
                                                     "03000000"
                                                     "44444444")
                                         << 0 << QList<quint32>{10, 2, 3} << 1u;
    QTest::newRow("8 bytes update two counters") << hexBytes("0A000000"
                                                             "02000000")
                                                 << 0 << QList<quint32>{10, 2, 0x77777777} << 1u;
    QTest::newRow("5 bytes") << hexBytes("0A00000001") << 0
                             << QList<quint32>{10, 0x77777701, 0x77777777} << 1u;
    QTest::newRow("error status") << hexBytes("0A000000"
                                              "02000000"
                                              "03000000")
                                  << 5 << QList<quint32>{10, 2, 3} << 0u;
}

void TestSystemCommands::testStatistics()
{
    QFETCH(QByteArray, value);
    QFETCH(int, status);
    QFETCH(QList<quint32>, counters);
    QFETCH(quint32, result);

    CDeviceSession& s = *m_f->session;
    s.TestModeStatistics.fill(0x77);
    m_f->answer({bytesValue(value)}, status);
    QVERIFY(m_f->exchange([&s] { return s.SendTestStatisticsGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()), QStringList{m_f->id("TestModeStatistics")});
    QCOMPARE((QList<quint32>{s.TestStatisticsCounter(CDeviceSession::TestFramesReceived),
                             s.TestStatisticsCounter(CDeviceSession::TestFramesFailed),
                             s.TestStatisticsCounter(CDeviceSession::TestFramesTransmitted)}),
             counters);
    QCOMPARE(s.m_getResult, result);
    QCOMPARE(m_f->ui.plain,
             status ? QStringList{QStringLiteral("Unexpected Error on GetTestStatisticsValues")}
                    : QStringList());
}

QTEST_GUILESS_MAIN(TestSystemCommands)
#include "tst_group_system_commands.moc"
