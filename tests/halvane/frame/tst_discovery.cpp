// Finding access points: connect probes and broadcast scans over real UDP
// on loopback, the verdicts of timer 1, and the two dialogs.
#include "access_point_list_dialog.h"
#include "apsim_process.h"
#include "broadcast_responder.h"
#include "connect_dialog.h"
#include "dialog_runner.h"
#include "discovery.h"
#include "halvane_app.h"
#include "message_box.h"
#include "session.h"
#include "settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

class RecordingUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString& text) override { plain << text; }
    void ShowStopMessage(const QString& text) override { stop << text; }
    void SetStatusText(const QString& text) override { status << text; }
    QStringList plain, stop, status;
};

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

const QString kBroadcast = QStringLiteral("127.255.255.255");

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void connectToSilentAddressSendsFiveProbes();
    void connectFindsAgent();
    void errorStatusCountsAsNoAnswer();
    void scanListsEachAgentOnce();
    void agentAnsweringOnlyFirstBroadcastIsNotFound();
    void scanAgainSendsOneBroadcast();
    void listIsLimitedTo256();

    void connectToApsim();
    void scanFindsTwoApsims();
    void scanInNetworkNamespaces();

    void listConnectOpensConnectDialogWithRowAddress();
    void foundBoxThenGetConfiguration();

private:
    SnmpMib m_mib;
    QTemporaryDir m_config;
    quint16 m_agentPort = 0;
    std::unique_ptr<SnmpManager> m_manager;
    std::unique_ptr<CDeviceSession> m_session;
    std::unique_ptr<CDiscovery> m_discovery;
    RecordingUi m_ui;
};

void TestDiscovery::initTestCase()
{
    QVERIFY(m_mib.load(QStringLiteral(QX_BIN_DIR "/QX9304.mib")));
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QDir::setCurrent(QStringLiteral(QX_BIN_DIR));
}

void TestDiscovery::init()
{
    m_ui = RecordingUi();
    m_agentPort = freePort();
    m_manager = std::make_unique<SnmpManager>();
    QVERIFY(m_manager->open(0));
    m_session = std::make_unique<CDeviceSession>(m_manager.get(), &m_mib, &m_ui);
    m_discovery = std::make_unique<CDiscovery>(m_session.get(), m_agentPort, kBroadcast);
    connect(m_manager.get(), &SnmpManager::response, m_discovery.get(), [this] {
        if (!m_discovery->OnResponse())
            m_session->DispatchResponse();
    });
}

void TestDiscovery::cleanup()
{
    m_discovery.reset();
    m_session.reset();
    m_manager.reset();
    CDialogRunner::clearRunner();
    CMessageBox::clearNextAnswer();
}

void TestDiscovery::connectToSilentAddressSendsFiveProbes()
{
    QUdpSocket silent;
    QVERIFY(silent.bind(QHostAddress(QStringLiteral("127.0.0.1")), m_agentPort));
    QSignalSpy notFound(m_discovery.get(), &CDiscovery::AccessPointNotFound);
    m_discovery->StartConnect(QStringLiteral("127.0.0.1"), QStringLiteral("secret"), 1);
    QCOMPARE(m_session->m_authority, 1);
    QVERIFY(notFound.wait(10000));

    int probes = 0;
    while (silent.hasPendingDatagrams()) {
        const std::optional<SnmpMessage> probe =
            SnmpMessage::decode(silent.receiveDatagram().data());
        QVERIFY(probe);
        QCOMPARE(probe->community(), QByteArray("secret"));
        QCOMPARE(probe->type(), int(SnmpMessage::GetRequest));
        QCOMPARE(probe->variables().item(1)->identifier(), QStringLiteral("1.3.6.1.2.1.1.1.0"));
        ++probes;
    }
    QCOMPARE(probes, 5);
    QCOMPARE(notFound.size(), 1);
    QVERIFY(!m_discovery->m_connecting);
    QVERIFY(!m_discovery->TimerActive());
    QCOMPARE(m_ui.status.last(), QStringLiteral("Access Point not found..."));
    QVERIFY(m_session->m_agentAddress.isEmpty());
}

void TestDiscovery::connectFindsAgent()
{
    BroadcastResponder agent(QStringLiteral("127.0.0.2"), m_agentPort, "Outdoor AP <b>11</b>");
    QVERIFY(agent.isBound());
    QSignalSpy found(m_discovery.get(), &CDiscovery::AccessPointFound);
    m_discovery->StartConnect(QStringLiteral("127.0.0.2"), QStringLiteral("public"), 0);
    QVERIFY(found.wait(3000));
    QCOMPARE(found.first().at(0).toString(), QStringLiteral("Outdoor AP <b>11</b>"));
    QCOMPARE(m_session->m_agentAddress, QStringLiteral("127.0.0.2"));
    QCOMPARE(m_session->m_community, QStringLiteral("public"));
    QVERIFY(m_session->m_answered);
    QVERIFY(!m_discovery->m_connecting);
    QVERIFY(!m_discovery->TimerActive());
    QCOMPARE(m_ui.status.last(), QStringLiteral("Access Point found..."));
    QCOMPARE(agent.requestsSeen(), 1);
}

void TestDiscovery::errorStatusCountsAsNoAnswer()
{
    // An agent that refuses the community (error status 16) is not found.
    QUdpSocket refuser;
    QVERIFY(refuser.bind(QHostAddress(QStringLiteral("127.0.0.1")), m_agentPort));
    connect(&refuser, &QUdpSocket::readyRead, this, [&refuser] {
        while (refuser.hasPendingDatagrams()) {
            const QNetworkDatagram d = refuser.receiveDatagram();
            const std::optional<SnmpMessage> request = SnmpMessage::decode(d.data());
            SnmpMessage answer;
            answer.setType(SnmpMessage::GetResponse);
            answer.setRequestId(request->requestId());
            answer.setErrorStatus(16);
            refuser.writeDatagram(answer.encode(), d.senderAddress(), quint16(d.senderPort()));
        }
    });
    QSignalSpy found(m_discovery.get(), &CDiscovery::AccessPointFound);
    QSignalSpy notFound(m_discovery.get(), &CDiscovery::AccessPointNotFound);
    m_discovery->StartConnect(QStringLiteral("127.0.0.1"), QStringLiteral("wrong"), 0);
    QVERIFY(notFound.wait(10000));
    QCOMPARE(found.size(), 0);
}

void TestDiscovery::scanListsEachAgentOnce()
{
    BroadcastResponder first(QStringLiteral("127.0.0.2"), m_agentPort, "AP one");
    BroadcastResponder second(QStringLiteral("127.0.0.3"), m_agentPort, "AP two");
    QVERIFY(first.isBound() && second.isBound());
    QSignalSpy succeeded(m_discovery.get(), &CDiscovery::ScanSucceeded);
    m_discovery->StartScan(0);
    QVERIFY(succeeded.wait(10000));
    QCOMPARE(first.requestsSeen(), 5);
    QCOMPARE(second.requestsSeen(), 5);
    QCOMPARE(m_discovery->m_foundCount, quint16(2));
    QStringList rows;
    for (int i = 0; i < m_discovery->m_foundCount; ++i)
        rows << m_discovery->m_foundList[i].description + QLatin1Char('@') +
                    m_discovery->m_foundList[i].address;
    rows.sort();
    QCOMPARE(rows, (QStringList{QStringLiteral("AP one@127.0.0.2"),
                                QStringLiteral("AP two@127.0.0.3")}));
    QCOMPARE(m_session->m_community, QStringLiteral("public"));
    QVERIFY(!m_discovery->m_scanning);
}

void TestDiscovery::agentAnsweringOnlyFirstBroadcastIsNotFound()
{
    BroadcastResponder shy(QStringLiteral("127.0.0.2"), m_agentPort, "Shy AP");
    shy.answerFirst(1);
    QSignalSpy succeeded(m_discovery.get(), &CDiscovery::ScanSucceeded);
    QSignalSpy notFound(m_discovery.get(), &CDiscovery::AccessPointNotFound);
    m_discovery->StartScan(0);
    QVERIFY(notFound.wait(10000));
    QCOMPARE(succeeded.size(), 0);
    QCOMPARE(shy.requestsSeen(), 5);
    QCOMPARE(m_discovery->m_foundCount, quint16(1));
    QCOMPARE(m_discovery->m_foundList[0].description, QStringLiteral("Shy AP"));
}

void TestDiscovery::scanAgainSendsOneBroadcast()
{
    BroadcastResponder agent(QStringLiteral("127.0.0.2"), m_agentPort, "AP");
    QSignalSpy succeeded(m_discovery.get(), &CDiscovery::ScanSucceeded);
    m_discovery->StartScan(5);
    QVERIFY(succeeded.wait(3000));
    QCOMPARE(agent.requestsSeen(), 1);
    QCOMPARE(m_discovery->m_foundCount, quint16(1));
}

void TestDiscovery::listIsLimitedTo256()
{
    BroadcastResponder agent(QStringLiteral("127.0.0.2"), m_agentPort, "AP 257");
    m_discovery->StartScan(5);
    for (int i = 0; i < CDiscovery::kMaxFound; ++i)
        m_discovery->m_foundList.append({QStringLiteral("AP"), QStringLiteral("10.0.%1.%2")
                                                                   .arg(i / 256)
                                                                   .arg(i % 256)});
    m_discovery->m_foundCount = CDiscovery::kMaxFound;
    QTRY_COMPARE(agent.requestsSeen(), 1);
    QTest::qWait(100);
    QCOMPARE(m_discovery->m_foundCount, quint16(CDiscovery::kMaxFound));
    QCOMPARE(m_discovery->m_foundList.size(), CDiscovery::kMaxFound);
}

void TestDiscovery::connectToApsim()
{
    QTemporaryDir dir;
    const QString profile = dir.filePath(QStringLiteral("ap.json"));
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"sysDescr": "Warehouse AP & <bridge>"})");
    file.close();
    ApsimProcess ap(QStringLiteral(QX_BIN_DIR));
    QVERIFY(ap.start({QStringLiteral("--bind"), QStringLiteral("127.0.0.4"), QStringLiteral("--port"),
                      QString::number(m_agentPort), QStringLiteral("--profile"), profile}));
    QSignalSpy found(m_discovery.get(), &CDiscovery::AccessPointFound);
    m_discovery->StartConnect(QStringLiteral("127.0.0.4"), QStringLiteral("public"), 1);
    QVERIFY(found.wait(3000));
    QCOMPARE(found.first().at(0).toString(), QStringLiteral("Warehouse AP & <bridge>"));
    QCOMPARE(m_session->m_agentAddress, QStringLiteral("127.0.0.4"));
    QCOMPARE(m_session->m_authority, 1);
}

void TestDiscovery::scanFindsTwoApsims()
{
    ApsimProcess first(QStringLiteral(QX_BIN_DIR));
    ApsimProcess second(QStringLiteral(QX_BIN_DIR));
    QVERIFY(first.start({QStringLiteral("--bind"), QStringLiteral("127.0.0.5"),
                         QStringLiteral("--port"), QString::number(m_agentPort)}));
    QVERIFY(second.start({QStringLiteral("--bind"), QStringLiteral("127.0.0.6"),
                          QStringLiteral("--port"), QString::number(m_agentPort)}));
    QSignalSpy succeeded(m_discovery.get(), &CDiscovery::ScanSucceeded);
    m_discovery->StartScan(0);
    QVERIFY(succeeded.wait(10000));
    QCOMPARE(m_discovery->m_foundCount, quint16(2));
    QStringList addresses{m_discovery->m_foundList[0].address, m_discovery->m_foundList[1].address};
    addresses.sort();
    QCOMPARE(addresses, (QStringList{QStringLiteral("127.0.0.5"), QStringLiteral("127.0.0.6")}));
}

void TestDiscovery::scanInNetworkNamespaces()
{
    // Run by discovery_netns.sh inside a namespace of its own, where the
    // broadcast reaches only the emulators on the test's bridge.
    const QString broadcast = qEnvironmentVariable("QX_NETNS_BROADCAST");
    const QStringList agents =
        qEnvironmentVariable("QX_NETNS_AGENTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (broadcast.isEmpty() || agents.isEmpty())
        QSKIP("runs only inside the test namespaces of discovery_netns.sh");
    CDiscovery discovery(m_session.get(), quint16(qEnvironmentVariableIntValue("QX_NETNS_PORT")),
                         broadcast);
    connect(m_manager.get(), &SnmpManager::response, &discovery, [&discovery] { discovery.OnResponse(); });
    QSignalSpy succeeded(&discovery, &CDiscovery::ScanSucceeded);
    discovery.StartScan(0);
    QVERIFY(succeeded.wait(10000));
    QStringList found;
    for (int i = 0; i < discovery.m_foundCount; ++i)
        found << discovery.m_foundList[i].address;
    found.sort();
    QStringList expected = agents;
    expected.sort();
    QCOMPARE(found, expected);
}

void TestDiscovery::listConnectOpensConnectDialogWithRowAddress()
{
    CHalvaneSettings::WriteIpSettings(QStringLiteral("10.9.9.9"));
    m_discovery->m_foundList = {{QStringLiteral("First"), QStringLiteral("127.0.0.2")},
                                {QStringLiteral("Second"), QStringLiteral("127.0.0.3")}};
    m_discovery->m_foundCount = 2;
    CAccessPointListDialog list(m_discovery.get());
    QCOMPARE(list.RowCount(), 2);
    QCOMPARE(list.RowText(1, 0), QStringLiteral("Second"));
    QCOMPARE(list.RowText(1, 1), QStringLiteral("127.0.0.3"));

    // Nothing found, nothing selected: Connect does nothing.
    int opened = 0;
    QString address, community, authority;
    CDialogRunner::setRunner([&](QDialog& dialog) {
        ++opened;
        address = dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"))->text();
        return 0;
    });
    {
        const int found = m_discovery->m_foundCount;
        m_discovery->m_foundCount = 0;
        CAccessPointListDialog empty(m_discovery.get());
        empty.ConnectSelected();
        m_discovery->m_foundCount = found;
    }
    QCOMPARE(opened, 0);

    // The first access point is selected when the list opens.
    {
        CAccessPointListDialog first(m_discovery.get());
        first.ConnectSelected();
    }
    QCOMPARE(opened, 1);
    QCOMPARE(address, QStringLiteral("127.0.0.2"));
    opened = 0;

    CDialogRunner::setRunner([&](QDialog& dialog) {
        ++opened;
        address = dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"))->text();
        community = dialog.findChild<QLineEdit*>(QStringLiteral("communityEdit"))->text();
        authority = dialog.findChild<QComboBox*>(QStringLiteral("authorityCombo"))->currentText();
        dialog.accept();
        return int(QDialog::Accepted);
    });
    list.SelectRow(1);
    list.ConnectSelected();
    QCOMPARE(opened, 1);
    QCOMPARE(address, QStringLiteral("127.0.0.3"));
    QCOMPARE(community, QString());
    QCOMPARE(authority, QStringLiteral("User"));
    // OK overwrote the profile and started the connect probe.
    QCOMPARE(CHalvaneSettings::ReadIpSettings(), QStringLiteral("127.0.0.3"));
    QVERIFY(m_discovery->m_connecting);
    QCOMPARE(m_discovery->m_targetAddress, QStringLiteral("127.0.0.3"));
}

void TestDiscovery::foundBoxThenGetConfiguration()
{
    // The whole path through the main window: Connect dialog from the menu
    // with the profile's address, the found box, then Get Configuration.
    BroadcastResponder agent(QStringLiteral("127.0.0.2"), m_agentPort, "Roof bridge");
    CHalvaneSettings::WriteIpSettings(QStringLiteral("127.0.0.2"));
    CMessageBox::setNextAnswer(QMessageBox::Ok);
    CMessageBox::clearShown();
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = freePort();
    options.broadcast = kBroadcast;
    CMainFrame frame(CHalvaneSettings{}, options);
    QCOMPARE(frame.OnCreate(), 0);
    QString shownAddress;
    CDialogRunner::setRunner([&shownAddress](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"));
        shownAddress = edit->text();
        dialog.findChild<QLineEdit*>(QStringLiteral("communityEdit"))->setText(QStringLiteral("public"));
        dialog.accept();
        return int(QDialog::Accepted);
    });
    frame.OnCommand(ID_CONNECT_AP);
    QCOMPARE(shownAddress, QStringLiteral("127.0.0.2"));
    QTRY_COMPARE(CMessageBox::shownTexts().size(), 1);
    QCOMPARE(CMessageBox::shownTexts().first(),
             QStringLiteral("Roof bridge\n               found"));
    QCOMPARE(frame.Session().m_agentAddress, QStringLiteral("127.0.0.2"));
    // Get Configuration follows once the box is closed.
    QTRY_VERIFY(frame.StatusText(0) != QStringLiteral("Access Point found..."));
}

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
