// Configuration transfer, polling, device commands, menus and the trap
// recorder of the main window, against a real apsim on loopback and with
// net-snmp's snmpget and snmptrap as independent peers.
#include "apsim_process.h"
#include "child_frame.h"
#include "dialog_runner.h"
#include "halvane_app.h"
#include "message_box.h"
#include "options_dialog.h"
#include "trap_log.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

const QString kBin = QStringLiteral(QX_BIN_DIR);
const QString kMib = QStringLiteral(QX_BIN_DIR "/QX9304.mib");
const QString kSep = QStringLiteral("\r\n====================================\r\n\r\n");

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void getConfigurationShowsAgentAndConnectedMenu_data();
    void getConfigurationShowsAgentAndConnectedMenu();
    void downloadIsKeptByTheDevice();
    void downloadRefusals();
    void pollFailuresStopPolling();
    void optionsDialogSetsInterval();
    void closeConnectionClosesFormsInRegistryOrder();
    void formOpensOnce();
    void knownBssRefusedInRepeaterMode();
    void trapSwitchAndRollback();
    void resetAndRestoreDefaults();
    void debugModeSwitch();
    void trapsFromSnmptrap();

private:
    // Starts apsim on address with a state file; returns false on failure.
    bool startAgent(ApsimProcess& ap, const QString& address, const QStringList& extra = {});
    // A main window connected to the agent at address, configuration read.
    std::unique_ptr<CMainFrame> connectedFrame(const QString& address, int authority = 1,
                                               bool extended = false);
    QString snmpget(const QString& address, const QString& name);

    QTemporaryDir m_dir;
    quint16 m_agentPort = 0;
    quint16 m_trapPort = 0;
};

void TestTransfer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QDir::setCurrent(kBin);
}

void TestTransfer::init()
{
    m_agentPort = freePort();
    m_trapPort = freePort();
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    CMessageBox::clearShown();
}

void TestTransfer::cleanup()
{
    CDialogRunner::clearRunner();
    CMessageBox::clearNextAnswer();
}

bool TestTransfer::startAgent(ApsimProcess& ap, const QString& address, const QStringList& extra)
{
    return ap.start(QStringList{QStringLiteral("--bind"), address, QStringLiteral("--port"),
                                QString::number(m_agentPort), QStringLiteral("--churn"),
                                QStringLiteral("0"), QStringLiteral("--state"),
                                m_dir.filePath(address + QStringLiteral(".state"))} +
                    extra);
}

std::unique_ptr<CMainFrame> TestTransfer::connectedFrame(const QString& address, int authority,
                                                         bool extended)
{
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    options.broadcast = QStringLiteral("127.255.255.255");
    CHalvaneSettings settings;
    settings.m_extendedMenus = extended;
    auto frame = std::make_unique<CMainFrame>(settings, options);
    if (frame->OnCreate() != 0)
        return nullptr;
    // As the Connect dialog and the first answer leave it.
    frame->Discovery().StartConnect(address, QStringLiteral("private"), authority);
    if (!QTest::qWaitFor([&] { return frame->Session().m_configRead == 1; }, 15000))
        return nullptr;
    CMessageBox::clearShown();   // the found box
    return frame;
}

QString TestTransfer::snmpget(const QString& address, const QString& name)
{
    QProcess tool;
    tool.start(QStandardPaths::findExecutable(QStringLiteral("snmpget")),
               {QStringLiteral("-v1"), QStringLiteral("-c"), QStringLiteral("public"),
                QStringLiteral("-M"), QStringLiteral("/dev/null"), QStringLiteral("-m"), kMib,
                QStringLiteral("-Oqve"),
                QStringLiteral("%1:%2").arg(address).arg(m_agentPort),
                QStringLiteral("QX9304-MIB::%1.0").arg(name)});
    tool.waitForFinished(10000);
    return QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
}

void TestTransfer::getConfigurationShowsAgentAndConnectedMenu_data()
{
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("menu");
    QTest::newRow("AppMode 0") << false << 130;
    QTest::newRow("AppMode 1") << true << 129;
}

void TestTransfer::getConfigurationShowsAgentAndConnectedMenu()
{
    QFETCH(bool, extended);
    QFETCH(int, menu);
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.7")));
    auto frame = connectedFrame(QStringLiteral("127.0.0.7"), 1, extended);
    QVERIFY(frame);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Get Configuration done"));
    QVERIFY(frame->PaneVisible(1));
    QCOMPARE(frame->StatusText(1), QStringLiteral("127.0.0.7"));
    QCOMPARE(frame->CurrentMenu(), menu);
    QCOMPARE(frame->MenuAction(ID_HARDWARE_CONFIGURATION) != nullptr, extended);
    QCOMPARE(frame->MenuAction(ID_RADIO_TESTS) != nullptr, extended);
    QVERIFY(!frame->MenuAction(ID_CONNECT_AP_GRAYED)->isEnabled());
    QCOMPARE(frame->Session().operESSID, snmpget(QStringLiteral("127.0.0.7"),
                                                 QStringLiteral("operESSID")).remove(QLatin1Char('"')));
    QCOMPARE(frame->Session().m_sessionState, quint8(CDeviceSession::StateIdle));

    // Refresh: the texts again, the menu unchanged.
    frame->OnCommand(ID_REFRESH);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Get Configuration done"));
    QCOMPARE(frame->CurrentMenu(), menu);
}

void TestTransfer::downloadIsKeptByTheDevice()
{
    auto ap = std::make_unique<ApsimProcess>(kBin);
    QVERIFY(startAgent(*ap, QStringLiteral("127.0.0.8")));
    auto frame = connectedFrame(QStringLiteral("127.0.0.8"));
    QVERIFY(frame);
    frame->Session().operESSID = QStringLiteral("Rooftop-7");
    frame->Session().operRTSThreshold = 1234;
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Do you want to Download Configuration?")});
    QCOMPARE(CMessageBox::shownIcons().value(0), CMessageBox::Question);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Download Configuration done"));

    // The device keeps it across a restart of the emulator.
    ap.reset();
    ap = std::make_unique<ApsimProcess>(kBin);
    QVERIFY(startAgent(*ap, QStringLiteral("127.0.0.8")));
    QCOMPARE(snmpget(QStringLiteral("127.0.0.8"), QStringLiteral("operESSID")),
             QStringLiteral("\"Rooftop-7\""));
    QCOMPARE(snmpget(QStringLiteral("127.0.0.8"), QStringLiteral("operRTSThreshold")),
             QStringLiteral("1234"));

    // The device dies: the next download fails, and nothing hangs.
    ap.reset();
    frame->Session().operESSID = QStringLiteral("Lost");
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Download failed"));
    QCOMPARE(frame->Session().m_sessionState, quint8(CDeviceSession::StateIdle));
}

void TestTransfer::downloadRefusals()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.9"), {QStringLiteral("--verbose")}));

    // Nothing read yet: nothing happens.
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    {
        CMainFrame idle(CHalvaneSettings{}, options);
        QCOMPARE(idle.OnCreate(), 0);
        idle.OnCommand(ID_DOWNLOAD_CHANGES);
        QVERIFY(CMessageBox::shownTexts().isEmpty());
    }

    // As User: refused with the stop icon, nothing sent.
    auto frame = connectedFrame(QStringLiteral("127.0.0.9"), 0);
    QVERIFY(frame);
    const qint32 counter = frame->Session().m_requestCounter;
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    frame->OnCommand(ID_RESET_DEVICE);
    frame->OnCommand(ID_RESTORE_DEFAULTS);
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList(3, QStringLiteral("You are not authorized for this action")));
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>(3, CMessageBox::Stop));
    QCOMPARE(frame->Session().m_requestCounter, counter);

    // Answered No: nothing written.
    frame->Session().m_authority = 1;
    CMessageBox::setNextAnswer(QMessageBox::No);
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(frame->Session().m_requestCounter, counter);

    // While a poll (a read) runs: nothing written, no text.
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    frame->SetStatusText(QStringLiteral("before"));
    frame->Session().m_sessionState = CDeviceSession::StateReading;
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    frame->Session().m_sessionState = CDeviceSession::StateIdle;
    QCOMPARE(frame->Session().m_requestCounter, counter);
    QCOMPARE(frame->StatusText(0), QStringLiteral("before"));
}

void TestTransfer::pollFailuresStopPolling()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.10"), {QStringLiteral("--stdin")}));
    auto frame = connectedFrame(QStringLiteral("127.0.0.10"));
    QVERIFY(frame);
    frame->Transfer().SetPollInterval(10);
    QVERIFY(frame->Transfer().PollTimerActive());
    QCOMPARE(frame->Transfer().PollTimerInterval(), 10000);

    // A poll against the answering device succeeds without touching the counter.
    QCOMPARE(frame->Transfer().Poll(), CConfigTransfer::Done);
    QCOMPARE(frame->Transfer().m_pollFailures, quint8(0));

    ap.control("fault silent on");
    QCOMPARE(frame->Transfer().Poll(), CConfigTransfer::Failed);
    QCOMPARE(frame->Transfer().m_pollFailures, quint8(1));
    QVERIFY(CMessageBox::shownTexts().isEmpty());
    // Polls 2 to 10 failed the same way.
    frame->Transfer().m_pollFailures = 9;
    QCOMPARE(frame->Transfer().Poll(), CConfigTransfer::Failed);
    QCOMPARE(frame->Transfer().m_pollFailures, quint8(10));
    QVERIFY(frame->Transfer().PollTimerActive());
    QCOMPARE(frame->Transfer().Poll(), CConfigTransfer::Failed);
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Device not responded.Polling is stopping")});
    QVERIFY(!frame->Transfer().PollTimerActive());
    QCOMPARE(frame->Transfer().m_pollFailures, quint8(0));
    QCOMPARE(frame->Transfer().m_pollSeconds, 0);
    QCOMPARE(frame->Session().m_sessionState, quint8(CDeviceSession::StateIdle));
}

void TestTransfer::optionsDialogSetsInterval()
{
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    CMainFrame frame(CHalvaneSettings{}, options);
    QCOMPARE(frame.OnCreate(), 0);
    const QStringList labels = {"0 seconds", "10 seconds", "30 seconds", "1 minute",
                                "2 minutes", "5 minutes",  "10 minutes"};
    const int seconds[] = {0, 10, 30, 60, 120, 300, 600};
    for (int position = 0; position < 7; ++position) {
        COptionsDialog dialog(&frame.Transfer());
        dialog.SetPosition(position);
        QCOMPARE(dialog.LabelText(), labels[position]);
        dialog.accept();
        QCOMPARE(frame.Transfer().m_pollSeconds, seconds[position]);
        QCOMPARE(frame.Transfer().PollTimerActive(), position != 0);
        // Reopening shows the interval set.
        COptionsDialog again(&frame.Transfer());
        QCOMPARE(again.Position(), position);
        QCOMPARE(again.LabelText(), labels[position]);
    }
    // Cancel changes nothing.
    COptionsDialog dialog(&frame.Transfer());
    dialog.SetPosition(1);
    dialog.reject();
    QCOMPARE(frame.Transfer().m_pollSeconds, 600);
}

void TestTransfer::closeConnectionClosesFormsInRegistryOrder()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.11")));
    auto frame = connectedFrame(QStringLiteral("127.0.0.11"));
    QVERIFY(frame);
    frame->Transfer().SetPollInterval(30);
    for (int command : {ID_FILTERING, ID_VIEW_TRAP_RECORD, ID_WIRELESS_STATISTICS,
                        ID_BRIDGE_IP_CONFIGURATION, ID_ETHERNET_STATISTICS})
        frame->OnCommand(command);
    frame->OnCommand(ID_CLOSE_CONNECTION);
    QCOMPARE(frame->ClosedFormsLog(),
             (QList<int>{FormWirelessStatistics, FormBridgeIPConfiguration,
                         FormEthernetStatistics, FormTrapLog, FormFiltering}));
    for (int index = 0; index < FormCount; ++index) {
        QVERIFY(!frame->FormOpen(index));
        QVERIFY(!frame->FormView(index));
    }
    QCOMPARE(frame->CurrentMenu(), 128);
    QVERIFY(!frame->Session().m_configRead);
    QVERIFY(!frame->PaneVisible(1));
    QCOMPARE(frame->StatusText(0), QString());
    QVERIFY(!frame->Transfer().PollTimerActive());
    // The discovery data stays; a later connect works as the first did.
    QCOMPARE(frame->Session().m_agentAddress, QStringLiteral("127.0.0.11"));
    frame->Discovery().StartConnect(QStringLiteral("127.0.0.11"), QStringLiteral("private"), 1);
    QVERIFY(QTest::qWaitFor([&] { return frame->Session().m_configRead == 1; }, 15000));
    QCOMPARE(frame->CurrentMenu(), 130);
}

void TestTransfer::formOpensOnce()
{
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    CMainFrame frame(CHalvaneSettings{}, options);
    QCOMPARE(frame.OnCreate(), 0);
    frame.OnCommand(ID_VIEW_TRAP_RECORD);
    QVERIFY(frame.FormOpen(FormTrapLog));
    CChildFrame* child = frame.FormChild(FormTrapLog);
    QCOMPARE(child->windowTitle(), QStringLiteral(" Trap Recorder"));
    frame.OnCommand(ID_VIEW_TRAP_RECORD);
    QCOMPARE(frame.FormChild(FormTrapLog), child);
    // The close box goes through the form's close command.
    child->close();
    QTRY_VERIFY(!frame.FormOpen(FormTrapLog));
    QVERIFY(!frame.FormView(FormTrapLog));
}

void TestTransfer::knownBssRefusedInRepeaterMode()
{
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    CMainFrame frame(CHalvaneSettings{}, options);
    QCOMPARE(frame.OnCreate(), 0);
    frame.Session().bridgeOperationalMode = 5;
    frame.OnCommand(ID_KNOWN_BSSS);
    QVERIFY(!frame.FormOpen(FormKnownBSSs));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("You can not use this function in repeater mode")});
    QCOMPARE(CMessageBox::shownTitles(), QStringList{QStringLiteral("Known BSSs")});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Exclamation});
    frame.Session().bridgeOperationalMode = 2;
    frame.OnCommand(ID_KNOWN_BSSS);
    QVERIFY(frame.FormOpen(FormKnownBSSs));
}

void TestTransfer::trapSwitchAndRollback()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.12")));
    auto frame = connectedFrame(QStringLiteral("127.0.0.12"));
    QVERIFY(frame);
    QAction* item = frame->MenuAction(ID_TRAP_SWITCH);
    QVERIFY(item);
    const quint32 before = frame->Session().m_trapState;
    QVERIFY(before == 1 || before == 2);
    QCOMPARE(item->isChecked(), before == 1);

    frame->OnCommand(ID_TRAP_SWITCH);
    const quint32 after = before == 1 ? 2 : 1;
    QCOMPARE(frame->Session().m_trapState, after);
    QCOMPARE(frame->StatusText(0), after == 1 ? QStringLiteral("SNMP traps Enable")
                                              : QStringLiteral("SNMP traps Disable"));
    QCOMPARE(item->isChecked(), after == 1);
    QCOMPARE(snmpget(QStringLiteral("127.0.0.12"), QStringLiteral("sysTrapSwitch")),
             QString::number(after));

    // A failed write (the device is gone) rolls the state back.
    ap.stop();
    frame->OnCommand(ID_TRAP_SWITCH);
    QCOMPARE(frame->Session().m_trapState, after);
    QCOMPARE(frame->StatusText(0), after == 1 ? QStringLiteral("Error - SNMP traps are still Enable")
                                              : QStringLiteral("Error - SNMP traps are still Disable"));
    QCOMPARE(item->isChecked(), after == 1);
}

void TestTransfer::resetAndRestoreDefaults()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.13"), {QStringLiteral("--reset-time"),
                                                          QStringLiteral("300")}));
    auto frame = connectedFrame(QStringLiteral("127.0.0.13"));
    QVERIFY(frame);
    frame->OnCommand(ID_RESET_DEVICE);
    QCOMPARE(CMessageBox::shownTexts().last(), QStringLiteral("Do you want to Reset Device ?"));
    QCOMPARE(frame->StatusText(0), QStringLiteral("Reset complete"));
    QTest::qWait(500);   // the device is back after its reset time
    frame->OnCommand(ID_RESTORE_DEFAULTS);
    QCOMPARE(CMessageBox::shownTexts().last(),
             QStringLiteral("Do you want to Restore Defaults Values?"));
    QCOMPARE(frame->StatusText(0), QStringLiteral("Restore Defaults complete"));

    // A read running: the reset is refused.
    frame->Session().m_sessionState = CDeviceSession::StateReading;
    frame->OnCommand(ID_RESET_DEVICE);
    frame->Session().m_sessionState = CDeviceSession::StateIdle;
    QCOMPARE(frame->StatusText(0), QStringLiteral("Reset failed"));
}

void TestTransfer::debugModeSwitch()
{
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    CMainFrame frame(CHalvaneSettings{}, options);
    QCOMPARE(frame.OnCreate(), 0);
    frame.OnCommand(ID_DEBUG_MODE);
    QVERIFY(frame.Session().m_debugMode);
    frame.OnCommand(ID_DEBUG_MODE);
    QVERIFY(!frame.Session().m_debugMode);
    QCOMPARE(CMessageBox::shownTexts(), (QStringList{QStringLiteral("Application is at Debug Mode"),
                                                     QStringLiteral("Application is at Normal Mode")}));
    // Ctrl+D and Ctrl+L are harmless while menu 128 shows.
    frame.OnCommand(ID_DOWNLOAD_CHANGES);
    frame.OnCommand(ID_CLOSE_CONNECTION);
    QCOMPARE(frame.CurrentMenu(), 128);
    QCOMPARE(CMessageBox::shownTexts().size(), 2);
}

void TestTransfer::trapsFromSnmptrap()
{
    ApsimProcess ap(kBin);
    QVERIFY(startAgent(ap, QStringLiteral("127.0.0.1")));
    auto frame = connectedFrame(QStringLiteral("127.0.0.1"));
    QVERIFY(frame);
    frame->OnCommand(ID_VIEW_TRAP_RECORD);
    auto* log = qobject_cast<CTrapLog*>(frame->FormView(FormTrapLog));
    QVERIFY(log);

    const QString snmptrap = QStandardPaths::findExecutable(QStringLiteral("snmptrap"));
    QVERIFY(!snmptrap.isEmpty());
    const QString target = QStringLiteral("127.0.0.1:%1").arg(m_trapPort);
    auto send = [&](int code, const QStringList& binding, const QString& source) {
        QStringList args = {QStringLiteral("-v1"), QStringLiteral("-c"), QStringLiteral("public"),
                            QStringLiteral("-M"), QStringLiteral("/dev/null"), QStringLiteral("-m"),
                            QString(), QStringLiteral("--clientaddr=") + source, target,
                            QStringLiteral(".1.3.6.1.4.1.32473"), QStringLiteral("127.0.0.1"),
                            QStringLiteral("6"), QString::number(code), QStringLiteral("0")};
        QCOMPARE(QProcess::execute(snmptrap, args + binding), 0);
    };
    const int traps = frame->Session().m_trapCount;   // apsim's own start-up trap went elsewhere
    send(7, {QStringLiteral(".1.3.6.1.4.1.32473.3.1.0"), QStringLiteral("a"),
             QStringLiteral("10.1.2.3")}, QStringLiteral("127.0.0.1"));
    send(8, {QStringLiteral(".1.3.6.1.4.1.32473.10.1.0"), QStringLiteral("x"), QStringLiteral("01"),
             QStringLiteral(".1.3.6.1.4.1.32473.10.2.0"), QStringLiteral("x"), QStringLiteral("02")},
         QStringLiteral("127.0.0.1"));
    send(15, {QStringLiteral(".1.3.6.1.4.1.32473.10.1.0"), QStringLiteral("x"),
              QStringLiteral("123456789ABC")}, QStringLiteral("127.0.0.1"));
    send(18, {QStringLiteral(".1.3.6.1.4.1.32473.10.2.0"), QStringLiteral("x"),
              QStringLiteral("00A0F8000001")}, QStringLiteral("127.0.0.1"));
    send(40, {QStringLiteral(".1.3.6.1.4.1.32473.10.2.0"), QStringLiteral("x"),
              QStringLiteral("0000000000FF")}, QStringLiteral("127.0.0.1"));
    // From another address: ignored.
    send(15, {QStringLiteral(".1.3.6.1.4.1.32473.10.1.0"), QStringLiteral("x"),
              QStringLiteral("AAAAAAAAAAAA")}, QStringLiteral("127.0.0.2"));
    QTRY_COMPARE(frame->Session().m_trapCount, traps + 5);
    QTest::qWait(200);
    QCOMPARE(frame->Session().m_trapCount, traps + 5);
    QVERIFY(frame->PaneVisible(2));
    QCOMPARE(frame->StatusText(2), QStringLiteral("%1 <Trap Received>").arg(traps + 5));
    // The pane is at least its designed 130 pixels and never cuts the text off.
    int trapPanes = 0;
    for (const QLabel* pane : frame->statusBar()->findChildren<QLabel*>()) {
        if (pane->text() != frame->StatusText(2))
            continue;
        ++trapPanes;
        QVERIFY(pane->width() >= 130);
        QVERIFY(pane->contentsRect().width() >=
                pane->fontMetrics().horizontalAdvance(pane->text()));
    }
    QCOMPARE(trapPanes, 1);

    // The log, with the time of each header line taken out.
    QString text = frame->TrapRecorder().Log();
    text.replace(QRegularExpression(QStringLiteral("@ \\d{1,2}:\\d{1,2}:\\d{1,2} from")),
                 QStringLiteral("@ T from"));
    const QString header = QStringLiteral("Trap received @ T from host 127.0.0.1\r\n");
    const QString expected =
        header + QStringLiteral("newIPAddressTrap") + QStringLiteral("The new IP Address : 10.1.2.3") + kSep +
        header + QStringLiteral("ethernetLinkUpTrap") + kSep + kSep + kSep +
        header + QStringLiteral("bssRoamedTrap") + QStringLiteral("BSSID : 123456789ABC") + kSep +
        header + QStringLiteral("stationAssociatedTrap") + kSep +
        QStringLiteral("Station Mac Address : 00A0F8000001") + kSep +
        header + QStringLiteral("Station Mac Address : 0000000000FF") + kSep;
    QVERIFY(text.endsWith(expected));
    QVERIFY(!text.contains(QLatin1String("AAAAAAAAAAAA")));
    QCOMPARE(log->Text(), QString(frame->TrapRecorder().Log()).replace(QLatin1String("\r\n"),
                                                                       QLatin1String("\n")));

    // Clear, then the next trap starts a new log; closing keeps the log.
    log->ClearLog();
    QVERIFY(!frame->PaneVisible(2));
    QVERIFY(frame->TrapRecorder().Log().isEmpty());
    send(6, {}, QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(frame->Session().m_trapCount, 1);
    QVERIFY(frame->TrapRecorder().Log().startsWith(QLatin1String("Trap received @ ")));
    frame->FormChild(FormTrapLog)->close();
    QTRY_VERIFY(!frame->FormOpen(FormTrapLog));
    QVERIFY(!frame->PaneVisible(2));
    QCOMPARE(frame->Session().m_trapCount, 0);
    frame->OnCommand(ID_VIEW_TRAP_RECORD);
    log = qobject_cast<CTrapLog*>(frame->FormView(FormTrapLog));
    QVERIFY(log->Text().contains(QLatin1String("deviceStartedTrap")));

    // After Close Connection traps are no longer recorded.
    frame->OnCommand(ID_CLOSE_CONNECTION);
    send(6, {}, QStringLiteral("127.0.0.1"));
    QTest::qWait(300);
    QCOMPARE(frame->Session().m_trapCount, 0);
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
