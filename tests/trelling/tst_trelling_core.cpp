// The link test tool without its window: statistics and their texts, the
// command line, the survey against apsim agents (loopback broadcast and a
// test namespace with the limited broadcast), and the ping run's flags.
#include "apsim_process.h"
#include "ping_run.h"
#include "ping_statistics.h"
#include "survey.h"
#include "test_netns.h"
#include "trelling_options.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <limits>

Q_DECLARE_METATYPE(PingStatistics)

namespace
{

const QString LoopbackBroadcast = QStringLiteral("127.255.255.255");

struct SurveyRig {
    explicit SurveyRig(quint16 agentPort, const QString& broadcast = LoopbackBroadcast)
    {
        survey.setTrapPort(freeUdpPort());
        survey.setAgentPort(agentPort);
        survey.setBroadcastAddress(broadcast);
    }
    CSurvey survey;
};

} // namespace

class TestTrellingCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void recordResult_data();
    void recordResult();
    void roundHalfToEven_data();
    void roundHalfToEven();
    void countersStopAtTheirLimit();
    void texts_data();
    void texts();
    void commandLine_data();
    void commandLine();

    void survey_data();
    void survey();
    void nobodyAnswers();
    void lateAnswerIsStillListed();
    void rescanStartsAfresh();
    void responderTableIsBounded();
    void portInUse();
    void asynchronousError();
    void surveyInNamespace();

    void pingRunAndAbort();
    void closeDuringRun();

private:
    QTemporaryDir m_dir;
};

void TestTrellingCore::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestTrellingCore::recordResult_data()
{
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<PingStatistics>("expected");
    QTest::addColumn<QStringList>("times"); // best, worst, average as shown

    // attempts, responses, lost, best, worst, average, total
    QTest::newRow("15, lost, 25") << QList<int>{15, -1, 25}
                                  << PingStatistics{3, 2, 1, 15, 25, 20, 40}
                                  << QStringList{"15", "25", "20"};
    QTest::newRow("5 and 8 show <10") << QList<int>{5, 8} << PingStatistics{2, 2, 0, 5, 8, 6, 13}
                                      << QStringList{"<10", "<10", "<10"};
    QTest::newRow("3 and 4 average 4") << QList<int>{3, 4} << PingStatistics{2, 2, 0, 3, 4, 4, 7}
                                       << QStringList{"<10", "<10", "<10"};
    QTest::newRow("10.5 rounds to 10")
        << QList<int>{10, 11} << PingStatistics{2, 2, 0, 10, 11, 10, 21}
        << QStringList{"10", "11", "10"};
    QTest::newRow("11.5 rounds to 12")
        << QList<int>{11, 12} << PingStatistics{2, 2, 0, 11, 12, 12, 23}
        << QStringList{"11", "12", "12"};
    QTest::newRow("32/3 rounds to 11")
        << QList<int>{10, 11, 11} << PingStatistics{3, 3, 0, 10, 11, 11, 32}
        << QStringList{"10", "11", "11"};
    // A first answer of 0 ms leaves best and worst at "none yet", so the
    // next answer becomes best even though it is larger.
    QTest::newRow("first answer 0") << QList<int>{0, 25} << PingStatistics{2, 2, 0, 25, 25, 12, 25}
                                    << QStringList{"25", "25", "12"};
    QTest::newRow("first answer 0, then 25, 15")
        << QList<int>{0, 25, 15} << PingStatistics{3, 3, 0, 15, 25, 13, 40}
        << QStringList{"15", "25", "13"};
    QTest::newRow("only lost") << QList<int>{-1, -1} << PingStatistics{2, 0, 2, 0, 0, 0, 0}
                               << QStringList{"<10", "<10", "<10"};
    QTest::newRow("nothing") << QList<int>{} << PingStatistics{}
                             << QStringList{"<10", "<10", "<10"};
}

void TestTrellingCore::recordResult()
{
    QFETCH(QList<int>, results);
    QFETCH(PingStatistics, expected);
    QFETCH(QStringList, times);
    PingStatistics statistics;
    for (int r : results)
        QCOMPARE(::recordResult(statistics, r), r >= 0);
    QCOMPARE(statistics.attempts, expected.attempts);
    QCOMPARE(statistics.responses, expected.responses);
    QCOMPARE(statistics.lost, expected.lost);
    QCOMPARE(statistics.best, expected.best);
    QCOMPARE(statistics.worst, expected.worst);
    QCOMPARE(statistics.average, expected.average);
    QCOMPARE(statistics.total, expected.total);
    QCOMPARE((QStringList{timeText(statistics.best), timeText(statistics.worst),
                          timeText(statistics.average)}),
             times);
}

void TestTrellingCore::roundHalfToEven_data()
{
    QTest::addColumn<qint64>("numerator");
    QTest::addColumn<qint64>("denominator");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 1LL << 2LL << 0;
    QTest::newRow("1.5") << 3LL << 2LL << 2;
    QTest::newRow("2.5") << 5LL << 2LL << 2;
    QTest::newRow("6.5") << 13LL << 2LL << 6;
    QTest::newRow("7.5") << 15LL << 2LL << 8;
    QTest::newRow("1/3") << 1LL << 3LL << 0;
    QTest::newRow("2/3") << 2LL << 3LL << 1;
    QTest::newRow("exact") << 40LL << 2LL << 20;
    QTest::newRow("zero denominator") << 7LL << 0LL << 0;
    QTest::newRow("largest half") << 4294967293LL << 2LL << 2147483646;
}

void TestTrellingCore::roundHalfToEven()
{
    QFETCH(qint64, numerator);
    QFETCH(qint64, denominator);
    QFETCH(int, expected);
    QCOMPARE(::roundHalfToEven(numerator, denominator), expected);
}

void TestTrellingCore::countersStopAtTheirLimit()
{
    constexpr qint32 Max = std::numeric_limits<qint32>::max();
    PingStatistics full{Max, 10, Max - 10, 5, 9, 7, 70};
    PingStatistics before = full;
    QVERIFY(::recordResult(full, 8));
    QCOMPARE(full, before); // not counted: attempts cannot grow
    QVERIFY(!::recordResult(full, -1));
    QCOMPARE(full, before);

    PingStatistics longRun{100, 99, 1, 10, 30000, 20000, Max - 5};
    before = longRun;
    QVERIFY(::recordResult(longRun, 6)); // total would pass the limit
    QCOMPARE(longRun, before);
    QVERIFY(::recordResult(longRun, 5)); // still fits exactly
    QCOMPARE(longRun.total, Max);
    QCOMPARE(longRun.attempts, 101);
    QCOMPARE(longRun.responses, 100);
}

void TestTrellingCore::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("answered") << progressText(true, true) << QStringLiteral("Processing...");
    QTest::newRow("answered after abort")
        << progressText(true, false) << QStringLiteral("Processing...");
    QTest::newRow("timed out") << progressText(false, true)
                               << QStringLiteral("Request timed out...");
    QTest::newRow("aborted") << progressText(false, false) << QStringLiteral("Abort...");
    QTest::newRow("9 ms") << timeText(9) << QStringLiteral("<10");
    QTest::newRow("10 ms") << timeText(10) << QStringLiteral("10");
    QTest::newRow("no agents") << CSurvey::endText(0) << QStringLiteral("No agents found.");
    QTest::newRow("one agent") << CSurvey::endText(1) << QStringLiteral("Found 1 agents.");
    QTest::newRow("three agents") << CSurvey::endText(3) << QStringLiteral("Found 3 agents.");
    QTest::newRow("port 162 in use")
        << CSurvey::openErrorText(162, 10048, QStringLiteral("Address in use"))
        << QStringLiteral("Port 162 is in use. Check to to see if another manager is running, "
                          "then restart this one.");
    QTest::newRow("other open error")
        << CSurvey::openErrorText(162, 10013, QStringLiteral("Permission denied"))
        << QStringLiteral("Permission denied");
}

void TestTrellingCore::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestTrellingCore::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("trapPort");
    QTest::addColumn<int>("agentPort");
    QTest::addColumn<QString>("broadcast");
    QTest::addColumn<bool>("wrong");

    QTest::newRow("defaults") << QStringList{} << 162 << 161 << "255.255.255.255" << false;
    QTest::newRow("all set") << QStringList{"--trap-port", "16200",       "--agent-port",
                                            "16100",       "--broadcast", "127.255.255.255"}
                             << 16200 << 16100 << "127.255.255.255" << false;
    QTest::newRow("equals form") << QStringList{"--broadcast=127.255.255.255"} << 162 << 161
                                 << "127.255.255.255" << false;
    QTest::newRow("port 0") << QStringList{"--trap-port", "0"} << 0 << 0 << "" << true;
    QTest::newRow("port too large") << QStringList{"--agent-port", "65536"} << 0 << 0 << "" << true;
    QTest::newRow("port not a number") << QStringList{"--agent-port", "x"} << 0 << 0 << "" << true;
    QTest::newRow("broadcast not an address")
        << QStringList{"--broadcast", "everyone"} << 0 << 0 << "" << true;
    QTest::newRow("IPv6 broadcast")
        << QStringList{"--broadcast", "ff02::1"} << 0 << 0 << "" << true;
    QTest::newRow("unknown option") << QStringList{"--colour"} << 0 << 0 << "" << true;
    QTest::newRow("stray argument") << QStringList{"host"} << 0 << 0 << "" << true;
}

void TestTrellingCore::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, trapPort);
    QFETCH(int, agentPort);
    QFETCH(QString, broadcast);
    QFETCH(bool, wrong);
    const TrellingCommandLine result =
        parseTrellingCommandLine(QStringList{QStringLiteral("trelling")} + arguments);
    QCOMPARE(!result.errorText.isEmpty(), wrong);
    QVERIFY(!result.helpRequested);
    if (wrong)
        return;
    QCOMPARE(int(result.options.trapPort), trapPort);
    QCOMPARE(int(result.options.agentPort), agentPort);
    QCOMPARE(result.options.broadcast, broadcast);

    const TrellingCommandLine help = parseTrellingCommandLine({"trelling", "--help"});
    QVERIFY(help.helpRequested);
    QVERIFY(help.helpText.contains(QStringLiteral("--broadcast")));
}

void TestTrellingCore::survey_data()
{
    QTest::addColumn<QStringList>("descriptions"); // one apsim each; "" answers an empty sysDescr
    QTest::addColumn<QList<int>>("delays");        // answer delay of each, ms
    QTest::addColumn<int>("minimumEnd");           // ms from the start to the end, at least

    QTest::newRow("one agent") << QStringList{"QX9304 north"} << QList<int>{0} << 1000;
    QTest::newRow("two agents") << QStringList{"QX9304 north", "QX9304 south"} << QList<int>{0, 0}
                                << 1000;
    // The empty answer is not listed, but it comes 700 ms late and still
    // puts the end of the survey 1000 ms after itself.
    QTest::newRow("empty sysDescr")
        << QStringList{"QX9304 north", ""} << QList<int>{0, 700} << 1700;
}

void TestTrellingCore::survey()
{
    QFETCH(QStringList, descriptions);
    QFETCH(QList<int>, delays);
    QFETCH(int, minimumEnd);
    const quint16 port = freeUdpPort();
    QVERIFY(port);
    std::vector<std::unique_ptr<ApsimProcess>> agents;
    QMap<QString, QString> expected; // description -> address
    for (int i = 0; i < descriptions.size(); ++i) {
        const QString address = QStringLiteral("127.0.0.%1").arg(2 + i);
        QStringList extra{
            QStringLiteral("--profile"),
            writeProfile(m_dir, QStringLiteral("agent%1").arg(i), descriptions.at(i))};
        if (delays.at(i) > 0)
            extra += {QStringLiteral("--delay"), QString::number(delays.at(i))};
        agents.push_back(std::make_unique<ApsimProcess>());
        QString why;
        QVERIFY2(agents.back()->start(address, port, extra, {}, &why), qPrintable(why));
        if (!descriptions.at(i).isEmpty())
            expected.insert(descriptions.at(i), address);
    }

    SurveyRig rig(port);
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QSignalSpy started(&survey, &CSurvey::surveyStarted);
    QSignalSpy listed(&survey, &CSurvey::agentListed);
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    QVERIFY(survey.OpenManager());
    QVERIFY(!survey.surveyMode());
    QElapsedTimer clock;
    clock.start();
    survey.StartSurvey();
    QCOMPARE(started.size(), 1);
    QVERIFY(survey.surveyMode());
    QVERIFY(survey.timerRunning());
    QCOMPARE(survey.manager().timeout(), 0);

    QVERIFY(ended.wait(minimumEnd + 3000));
    const qint64 endedAfter = clock.elapsed();
    QVERIFY2(endedAfter >= minimumEnd, qPrintable(QString::number(endedAfter)));
    QCOMPARE(ended.at(0).at(0).toInt(), int(expected.size()));
    QVERIFY(!survey.timerRunning());
    QCOMPARE(survey.ResponderCount(), int(expected.size()));
    QCOMPARE(listed.size(), int(expected.size()));
    QMap<QString, QString> found;
    for (int i = 0; i < survey.ResponderCount(); ++i) {
        found.insert(survey.descriptions().at(i), survey.ResponderAddresses(i));
        QCOMPARE(listed.at(i).at(0).toString(), survey.descriptions().at(i));
        QCOMPARE(listed.at(i).at(1).toString(), survey.ResponderAddresses(i));
    }
    QCOMPARE(found, expected);
    QCOMPARE(survey.ResponderAddresses(survey.ResponderCount()), QString());
    // The survey flag stays set after the end.
    QVERIFY(survey.surveyMode());
}

void TestTrellingCore::nobodyAnswers()
{
    SurveyRig rig(freeUdpPort());
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    QElapsedTimer clock;
    clock.start();
    survey.StartSurvey();
    QVERIFY(ended.wait(3000));
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 1000 && elapsed < 1400, qPrintable(QString::number(elapsed)));
    QCOMPARE(ended.at(0).at(0).toInt(), 0);
    QCOMPARE(survey.ResponderCount(), 0);
    QTest::qWait(1200);
    QCOMPARE(ended.size(), 1); // Timer1 stopped itself
}

void TestTrellingCore::lateAnswerIsStillListed()
{
    const quint16 port = freeUdpPort();
    ApsimProcess late;
    QString why;
    QVERIFY2(late.start(QStringLiteral("127.0.0.2"), port,
                        {QStringLiteral("--profile"),
                         writeProfile(m_dir, QStringLiteral("late"), QStringLiteral("QX9304 late")),
                         QStringLiteral("--delay"), QStringLiteral("1500")},
                        {}, &why),
             qPrintable(why));
    SurveyRig rig(port);
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    survey.StartSurvey();
    QVERIFY(ended.wait(3000));
    QCOMPARE(ended.at(0).at(0).toInt(), 0);
    // The answer 500 ms after the end is listed, and the survey ends again.
    QVERIFY(ended.wait(3000));
    QCOMPARE(ended.at(1).at(0).toInt(), 1);
    QCOMPARE(survey.descriptions(), QStringList{QStringLiteral("QX9304 late")});
    QCOMPARE(survey.ResponderAddresses(0), QStringLiteral("127.0.0.2"));
}

void TestTrellingCore::rescanStartsAfresh()
{
    const quint16 port = freeUdpPort();
    QString why;
    auto first = std::make_unique<ApsimProcess>();
    QVERIFY2(
        first->start(QStringLiteral("127.0.0.2"), port,
                     {QStringLiteral("--profile"),
                      writeProfile(m_dir, QStringLiteral("first"), QStringLiteral("QX9304 first"))},
                     {}, &why),
        qPrintable(why));
    SurveyRig rig(port);
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    survey.StartSurvey();
    QVERIFY(ended.wait(3000));
    QCOMPARE(survey.ResponderAddresses(0), QStringLiteral("127.0.0.2"));

    first->stop();
    ApsimProcess second;
    QVERIFY2(
        second.start(QStringLiteral("127.0.0.3"), port,
                     {QStringLiteral("--profile"), writeProfile(m_dir, QStringLiteral("second"),
                                                                QStringLiteral("QX9304 second"))},
                     {}, &why),
        qPrintable(why));
    survey.StartSurvey();
    QCOMPARE(survey.ResponderCount(), 0);
    QVERIFY(survey.descriptions().isEmpty());
    QVERIFY(ended.wait(3000));
    QCOMPARE(survey.ResponderCount(), 1);
    QCOMPARE(survey.descriptions(), QStringList{QStringLiteral("QX9304 second")});
    QCOMPARE(survey.ResponderAddresses(0), QStringLiteral("127.0.0.3"));
}

void TestTrellingCore::responderTableIsBounded()
{
    // 102 answers to one survey, each from its own loopback address: the
    // first 101 fill the table, the last is dropped but still postpones
    // the end.
    const quint16 port = freeUdpPort();
    QUdpSocket listener;
    QVERIFY(
        listener.bind(QHostAddress(LoopbackBroadcast), port, QAbstractSocket::DontShareAddress));
    std::vector<std::unique_ptr<QUdpSocket>> senders;
    for (int i = 0; i < CSurvey::MaxResponders + 1; ++i) {
        senders.push_back(std::make_unique<QUdpSocket>());
        QVERIFY(senders.back()->bind(QHostAddress(QStringLiteral("127.0.1.%1").arg(i + 1)), 0));
    }
    connect(&listener, &QUdpSocket::readyRead, this, [&] {
        while (listener.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = listener.receiveDatagram();
            std::optional<SnmpMessage> request = SnmpMessage::decode(datagram.data());
            if (!request)
                continue;
            for (size_t i = 0; i < senders.size(); ++i) {
                SnmpMessage answer = *request;
                answer.setType(SnmpMessage::GetResponse);
                answer.variables().item(1)->setBytes(QStringLiteral("agent %1").arg(i).toLatin1());
                senders[i]->writeDatagram(answer.encode(), datagram.senderAddress(),
                                          quint16(datagram.senderPort()));
            }
        }
    });

    SurveyRig rig(port);
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    survey.StartSurvey();
    QVERIFY(ended.wait(4000));
    QCOMPARE(ended.at(0).at(0).toInt(), CSurvey::MaxResponders);
    QCOMPARE(survey.ResponderCount(), CSurvey::MaxResponders);
    QCOMPARE(survey.descriptions().size(), CSurvey::MaxResponders);
    QCOMPARE(survey.ResponderAddresses(100).isEmpty(), false);
    QCOMPARE(survey.ResponderAddresses(101), QString());
    // Each listed description sits beside the address it came from.
    for (int i = 0; i < survey.ResponderCount(); ++i) {
        const int n = survey.descriptions().at(i).mid(6).toInt();
        QCOMPARE(survey.ResponderAddresses(i), QStringLiteral("127.0.1.%1").arg(n + 1));
    }
}

void TestTrellingCore::portInUse()
{
    QUdpSocket other;
    const quint16 port = freeUdpPort();
    QVERIFY(other.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress));
    CSurvey survey;
    survey.setTrapPort(port);
    QSignalSpy status(&survey, &CSurvey::statusText);
    QSignalSpy asynchronous(&survey, &CSurvey::asynchronousError);
    QVERIFY(!survey.OpenManager());
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.at(0).at(0).toString(),
             QStringLiteral("Port %1 is in use. Check to to see if another manager is running, "
                            "then restart this one.")
                 .arg(port));
    QCOMPARE(asynchronous.size(), 0); // the time-out was 1000 while opening

    // Opened once, a second open is refused without a word.
    CSurvey free;
    free.setTrapPort(freeUdpPort());
    QSignalSpy freeStatus(&free, &CSurvey::statusText);
    QVERIFY(free.OpenManager());
    QVERIFY(!free.OpenManager());
    QCOMPARE(freeStatus.size(), 0);
}

void TestTrellingCore::asynchronousError()
{
    // A destination that cannot be resolved (refused without a name server)
    // makes the send fail while the time-out is 0.
    SurveyRig rig(freeUdpPort(), QStringLiteral("a..b"));
    CSurvey& survey = rig.survey;
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy asynchronous(&survey, &CSurvey::asynchronousError);
    survey.StartSurvey();
    QCOMPARE(asynchronous.size(), 1);
    QVERIFY2(asynchronous.at(0).at(0).toString().contains(QStringLiteral("a..b")),
             qPrintable(asynchronous.at(0).at(0).toString()));
}

void TestTrellingCore::surveyInNamespace()
{
    // The limited broadcast 255.255.255.255 is sent only here, inside
    // namespaces of the test's own: the near side routes it out of its veth
    // end, where two agents in the far namespace hear it.
    TestNetns netns;
    QString why;
    if (!netns.create(&why))
        QSKIP(qPrintable(QStringLiteral("no network namespaces: %1").arg(why)));
    QVERIFY(TestNetns::ip({"-n", netns.farName(), "addr", "add", "198.18.7.3/24", "dev", "qxfar"}));
    QVERIFY(TestNetns::ip({"-n", netns.nearName(), "route", "add", "default", "dev", "qxnear"}));
    const quint16 port = 161; // the standard port: nothing else lives in these namespaces
    ApsimProcess north, south;
    QVERIFY2(north.start(
                 QStringLiteral("198.18.7.2"), port,
                 {QStringLiteral("--broadcast"), QStringLiteral("255.255.255.255"),
                  QStringLiteral("--profile"),
                  writeProfile(m_dir, QStringLiteral("ns-north"), QStringLiteral("QX9304 north"))},
                 netns.farName(), &why),
             qPrintable(why));
    QVERIFY2(south.start(
                 QStringLiteral("198.18.7.3"), port,
                 {QStringLiteral("--broadcast"), QStringLiteral("255.255.255.255"),
                  QStringLiteral("--profile"),
                  writeProfile(m_dir, QStringLiteral("ns-south"), QStringLiteral("QX9304 south"))},
                 netns.farName(), &why),
             qPrintable(why));

    TestNetns::Enter inside(netns.nearName());
    QVERIFY(inside.ok());
    CSurvey survey; // default ports and the default broadcast address
    QCOMPARE(survey.broadcastAddress(), QStringLiteral("255.255.255.255"));
    QCOMPARE(survey.trapPort(), quint16(162));
    QVERIFY(survey.loadMib());
    QVERIFY(survey.OpenManager());
    QSignalSpy ended(&survey, &CSurvey::surveyEnded);
    QSignalSpy asynchronous(&survey, &CSurvey::asynchronousError);
    survey.StartSurvey();
    QVERIFY(ended.wait(3000));
    QCOMPARE(asynchronous.size(), 0);
    QCOMPARE(ended.at(0).at(0).toInt(), 2);
    QMap<QString, QString> found;
    for (int i = 0; i < survey.ResponderCount(); ++i)
        found.insert(survey.descriptions().at(i), survey.ResponderAddresses(i));
    QCOMPARE(found, (QMap<QString, QString>{{"QX9304 north", "198.18.7.2"},
                                            {"QX9304 south", "198.18.7.3"}}));
}

void TestTrellingCore::pingRunAndAbort()
{
    CPingRun run;
    QSignalSpy recorded(&run, &CPingRun::resultRecorded);
    QVERIFY(!run.Abort()); // no run: nothing happens
    run.setPingNotAborted(true);
    bool nestedRunReturned = false;
    QTimer::singleShot(300, &run, [&] {
        QVERIFY(run.Running());
        run.Run(QStringLiteral("127.0.0.1")); // refused while running
        nestedRunReturned = run.Running();
        QVERIFY(run.Abort());
        QVERIFY(!run.Running());
    });
    run.Run(QStringLiteral("127.0.0.1"));
    QVERIFY(nestedRunReturned);
    QVERIFY(!run.Running());
    QVERIFY(!run.PingNotAborted());
    QVERIFY(!run.CloseRequested());
    const PingStatistics& s = run.statistics();
    QVERIFY2(s.attempts >= 10, qPrintable(QString::number(s.attempts)));
    QCOMPARE(s.responses + s.lost, s.attempts);
    QVERIFY(s.lost <= 1); // at most the echo that the abort ended
    QCOMPARE(int(recorded.size()), int(s.attempts));
    QVERIFY(s.best <= s.average && s.average <= s.worst);
    qInfo("ping run to 127.0.0.1 for 300 ms: %d attempts, %d responses, %d lost, best %d, "
          "worst %d, average %d ms",
          s.attempts, s.responses, s.lost, s.best, s.worst, s.average);

    run.ClearStatistics();
    QCOMPARE(run.statistics(), PingStatistics());
}

void TestTrellingCore::closeDuringRun()
{
    CPingRun run;
    QVERIFY(run.requestClose()); // nothing running: close at once
    QVERIFY(!run.CloseRequested());
    bool refused = false;
    QTimer::singleShot(200, &run, [&] { refused = !run.requestClose(); });
    run.Run(QStringLiteral("127.0.0.1"));
    QVERIFY(refused);
    QVERIFY(run.CloseRequested());
    QVERIFY(!run.Running());
    QVERIFY(run.statistics().attempts > 0);
}

QTEST_GUILESS_MAIN(TestTrellingCore)
#include "tst_trelling_core.moc"
