// The device session: conversions, request building, dispatch of answers by
// request identifier, and the synchronous runner, against a real UDP
// responder on loopback.
#include "session.h"
#include "snmp_manager.h"
#include "snmp_mib.h"
#include "test_responder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class RecordingUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString& text) override { plain << text; }
    void ShowStopMessage(const QString& text) override { stop << text; }
    void SetStatusText(const QString& text) override { status << text; }
    QStringList plain, stop, status;
};

// A session with one read handler of its own, so that the shared machinery
// can be exercised before any variable group is involved.
class ProbeSession : public CDeviceSession
{
public:
    using CDeviceSession::CDeviceSession;

    int SendProbe()
    {
        BeginRequest(Read);
        AddGetVariable(QStringLiteral("sysDescr"));
        return FinishRequest(static_cast<Handler>(&ProbeSession::GetProbeValues),
                             "GetProbeValues", Read);
    }
    void GetProbeValues()
    {
        ++handled;
        description = AnswerText(1);
        m_getResult = AnswerErrorStatus() == 0 ? 1 : 0;
    }
    bool ReadProbe()
    {
        return RunSynchronous(Read, static_cast<Sender>(&ProbeSession::SendProbe), 3,
                              QStringLiteral("Probe refused"));
    }

    int handled = 0;
    QString description;
};

SnmpVariable textVariable(const QString& id, const QByteArray& text)
{
    SnmpVariable v(id);
    v.setBytes(text);
    return v;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void bytesToHexText_data();
    void bytesToHexText();
    void hexTextToBytes_data();
    void hexTextToBytes();
    void textToUnsigned_data();
    void textToUnsigned();
    void identifierOf();

    void requestCarriesSessionValues();
    void matchingAnswerRunsHandlerOnce();
    void wrongIdentifierIsIgnored();
    void answerFromOtherAddressIsIgnored();
    void missingVariableIsComponentError();

    void busyManagerRefusesWithoutSending();
    void runningOperationRefusesNestedRunner();
    void runnerRetriesUntilAnswered();
    void runnerFailsAfterItsAttempts();
    void waitIsSkippedWhenAlreadyAnswered();

private:
    SnmpMib m_mib;
    std::unique_ptr<SnmpManager> m_manager;
    std::unique_ptr<TestResponder> m_responder;
    std::unique_ptr<ProbeSession> m_session;
    RecordingUi m_ui;
};

void TestSession::initTestCase()
{
    QVERIFY2(m_mib.load(QStringLiteral(QX_MIB_FILE)), qPrintable(m_mib.errorText()));
}

void TestSession::init()
{
    m_manager = std::make_unique<SnmpManager>();
    QVERIFY(m_manager->open(0));
    m_responder = std::make_unique<TestResponder>();
    m_manager->setRemotePort(m_responder->port());
    m_session = std::make_unique<ProbeSession>(m_manager.get(), &m_mib, &m_ui);
    m_session->m_agentAddress = QStringLiteral("127.0.0.1");
    m_session->m_community = QStringLiteral("public");
    m_session->m_debugMode = true;
    QObject::connect(m_manager.get(), &SnmpManager::response, m_session.get(),
                     [this] { m_session->DispatchResponse(); });
    m_ui = RecordingUi();
}

void TestSession::cleanup()
{
    m_session.reset();
    m_responder.reset();
    m_manager.reset();
}

void TestSession::bytesToHexText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("two bytes") << QByteArray("\x0a\x1b", 2) << "0A1B";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("zero and high") << QByteArray("\x00\xff\x80", 3) << "00FF80";
    QTest::newRow("mac") << QByteArray("\x12\x34\x56\x78\x9a\xbc", 6) << "123456789ABC";
}

void TestSession::bytesToHexText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CDeviceSession::BytesToHexText(bytes), text);
    QCOMPARE(CDeviceSession::HexTextToBytes(text), bytes);
}

void TestSession::hexTextToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("odd length drops the last digit") << "0a1b2" << QByteArray("\x0a\x1b", 2);
    QTest::newRow("lower and upper case") << "aBcD" << QByteArray("\xab\xcd", 2);
    QTest::newRow("single character") << "7" << QByteArray();
    QTest::newRow("94 digits") << QString(94, QLatin1Char('F')) << QByteArray(47, '\xff');
}

void TestSession::hexTextToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(CDeviceSession::HexTextToBytes(text), bytes);
}

void TestSession::textToUnsigned_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::newRow("plain") << "2347" << 2347u;
    QTest::newRow("leading blanks") << "   12" << 12u;
    QTest::newRow("stops at non-digit") << "12ab3" << 12u;
    QTest::newRow("no digits") << "abc" << 0u;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("minus sign is no digit") << "-5" << 0u;
    QTest::newRow("largest") << "4294967295" << 4294967295u;
    QTest::newRow("saturates") << "99999999999" << 4294967295u;
}

void TestSession::textToUnsigned()
{
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(CDeviceSession::TextToUnsigned(text), value);
}

void TestSession::identifierOf()
{
    QCOMPARE(m_session->IdentifierOf(QStringLiteral("sysDescr")),
             QStringLiteral("1.3.6.1.2.1.1.1.0"));
    QVERIFY(m_session->IdentifierOf(QStringLiteral("operChannelID"))
                .startsWith(QLatin1String("1.3.6.1.4.1.32473.")));
    QVERIFY(m_session->IdentifierOf(QStringLiteral("noSuchVariable")).isEmpty());
}

void TestSession::requestCarriesSessionValues()
{
    m_session->m_requestCounter = 41;
    m_session->m_getResult = 1;
    m_session->BeginRequest(CDeviceSession::Write);
    QVERIFY(m_session->AddIntegerVariable(QStringLiteral("operChannelID"), 11));
    QVERIFY(m_session->AddHexVariable(QStringLiteral("operBasicRates"), QStringLiteral("8284")));
    QVERIFY(m_session->AddByteVariable(QStringLiteral("operIPAddress"), "\xc0\xa8\x01\x02", 4));
    QCOMPARE(m_session->FinishRequest(nullptr, "none", CDeviceSession::Write), 1);
    QTRY_COMPARE(m_responder->requests().size(), 1);

    const SnmpMessage& sent = m_responder->requests().first();
    QCOMPARE(sent.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(sent.version(), SnmpMessage::V1);
    QCOMPARE(sent.community(), QByteArray("public"));
    QCOMPARE(sent.requestId(), 41);
    QCOMPARE(m_session->m_requestCounter, 42);
    QCOMPARE(m_session->m_getResult, 1u);   // a write clears only the write result
    QCOMPARE(sent.variables().count(), 3);
    QCOMPARE(sent.variables().item(1)->valueInteger(), 11);
    QCOMPARE(sent.variables().item(2)->valueBytes(), QByteArray("\x82\x84"));
    QCOMPARE(sent.variables().item(3)->syntax(), SnmpVariable::IpAddress);
    QCOMPARE(sent.variables().item(3)->valueText(), QStringLiteral("192.168.1.2"));
}

void TestSession::matchingAnswerRunsHandlerOnce()
{
    // The agent answers twice with the same identifier.
    m_responder->setPolicy([](const SnmpMessage& request) {
        const SnmpMessage answer = TestResponder::answerTo(
            request, {textVariable(request.variables().item(1)->identifier(), "AP one")});
        return QList<SnmpMessage>{answer, answer};
    });
    QSignalSpy responses(m_manager.get(), &SnmpManager::response);
    m_session->SendProbe();
    QTRY_COMPARE(responses.size(), 2);
    QCOMPARE(m_session->handled, 1);
    QCOMPARE(m_session->description, QStringLiteral("AP one"));
    QCOMPARE(m_session->m_getResult, 1u);
    QVERIFY(!m_session->m_pendingHandler);
}

void TestSession::wrongIdentifierIsIgnored()
{
    m_responder->setPolicy([](const SnmpMessage& request) {
        SnmpMessage answer = TestResponder::answerTo(request, {});
        answer.setRequestId(request.requestId() + 7);
        return QList<SnmpMessage>{answer};
    });
    QSignalSpy responses(m_manager.get(), &SnmpManager::response);
    m_session->SendProbe();
    QTRY_COMPARE(responses.size(), 1);
    QCOMPARE(m_session->handled, 0);
    QVERIFY(m_session->m_pendingHandler);
    QCOMPARE(m_session->m_getResult, 0u);
}

void TestSession::answerFromOtherAddressIsIgnored()
{
    // Requests go to 127.0.0.1, the answer comes from 127.0.0.2.
    m_responder->setPolicy([this](const SnmpMessage& request) {
        QUdpSocket relay;
        relay.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0);
        relay.writeDatagram(TestResponder::answerTo(request, {}).encode(),
                            QHostAddress::LocalHost, m_manager->localPort());
        return QList<SnmpMessage>{};
    });
    QSignalSpy responses(m_manager.get(), &SnmpManager::response);
    m_session->SendProbe();
    QTRY_COMPARE(responses.size(), 1);
    QCOMPARE(m_manager->remoteHost(), QStringLiteral("127.0.0.2"));
    QCOMPARE(m_session->handled, 0);
    QVERIFY(m_session->m_pendingHandler);
}

void TestSession::missingVariableIsComponentError()
{
    // An answer without the variable the handler reads.
    m_responder->setPolicy([](const SnmpMessage& request) {
        return QList<SnmpMessage>{TestResponder::answerTo(request, {})};
    });
    m_session->m_getResult = 1;
    QVERIFY(!m_session->ReadProbe());
    QCOMPARE(m_session->m_getResult, 0u);
    QVERIFY(m_ui.plain.contains(QStringLiteral("Unexpected Error on GetProbeValues")));

    // Without debug mode the diagnostic is not shown.
    m_ui.plain.clear();
    m_session->m_debugMode = false;
    QVERIFY(!m_session->ReadProbe());
    QVERIFY(m_ui.plain.isEmpty());
}

void TestSession::busyManagerRefusesWithoutSending()
{
    // A request to the silent responder leaves the manager busy.
    m_session->SendProbe();
    QTRY_COMPARE(m_responder->requests().size(), 1);
    QCOMPARE(m_manager->busy(), 1);
    const qint32 counter = m_session->m_requestCounter;

    QVERIFY(!m_session->ReadProbe());
    QCOMPARE(m_session->m_sessionState, quint8(CDeviceSession::StateIdle));
    QCOMPARE(m_session->m_requestCounter, counter);
    QCOMPARE(m_ui.status, QStringList{QStringLiteral("Probe refused")});
    QTest::qWait(50);
    QCOMPARE(m_responder->requests().size(), 1);
}

void TestSession::runningOperationRefusesNestedRunner()
{
    for (quint8 state : {quint8(CDeviceSession::StateReading), quint8(CDeviceSession::StateWriting)}) {
        m_session->m_sessionState = state;
        QVERIFY(!m_session->ReadProbe());
        QCOMPARE(m_session->m_sessionState, state);
    }
    QTest::qWait(50);
    QVERIFY(m_responder->requests().isEmpty());

    // Any other value counts as idle.
    m_responder->setPolicy([](const SnmpMessage& request) {
        return QList<SnmpMessage>{TestResponder::answerTo(
            request, {textVariable(request.variables().item(1)->identifier(), "x")})};
    });
    m_session->m_sessionState = 0;
    QVERIFY(m_session->ReadProbe());
    QCOMPARE(m_session->m_sessionState, quint8(CDeviceSession::StateIdle));
}

void TestSession::runnerRetriesUntilAnswered()
{
    // Silent for the first two requests, then answering.
    int seen = 0;
    m_responder->setPolicy([&seen](const SnmpMessage& request) {
        if (++seen < 3)
            return QList<SnmpMessage>{};
        return QList<SnmpMessage>{TestResponder::answerTo(
            request, {textVariable(request.variables().item(1)->identifier(), "third")})};
    });
    QVERIFY(m_session->ReadProbe());
    QCOMPARE(m_responder->requests().size(), 3);
    QCOMPARE(m_session->description, QStringLiteral("third"));
    // Each attempt is a new request with a new identifier.
    QCOMPARE(m_responder->requests().at(0).requestId() + 2,
             m_responder->requests().at(2).requestId());
}

void TestSession::runnerFailsAfterItsAttempts()
{
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_session->ReadProbe());
    QCOMPARE(m_responder->requests().size(), 3);
    QCOMPARE(m_session->m_sessionState, quint8(CDeviceSession::StateIdle));
    // Each attempt waits for the manager's time-out, not for 65535 rounds.
    QVERIFY(clock.elapsed() >= 3 * CDeviceSession::kRequestTimeout - 100);
}

void TestSession::waitIsSkippedWhenAlreadyAnswered()
{
    bool eventRan = false;
    QTimer::singleShot(0, m_session.get(), [&eventRan] { eventRan = true; });
    QVERIFY(!m_session->m_pendingHandler);
    m_session->WaitForAnswer();
    QVERIFY(!eventRan);
    QTRY_VERIFY(eventRan);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
