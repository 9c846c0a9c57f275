// The link test window: its controls, the survey as the user sees it, ping
// runs against loopback and against a silent host in a test namespace,
// Abort, and closing during a run.
#include "apsim_process.h"
#include "frm_main.h"
#include "message_box.h"
#include "test_netns.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{

QString textOf(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return box->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return QString();
}

// What the window shows, read through the controls' names.
struct View {
    explicit View(frmMain& window) : window(window) {}
    template <typename T = QWidget> T* get(const char* name) const
    {
        T* widget = window.findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QString status() const { return get<QLabel>("ap_survey")->text(); }
    QString text(const char* name) const { return textOf(get(name)); }
    bool enabled(const char* name) const { return get(name)->isEnabled(); }
    QComboBox* apname() const { return get<QComboBox>("apname"); }
    QLineEdit* txtHost() const { return get<QLineEdit>("txtHost"); }
    QPushButton* button(const char* name) const { return get<QPushButton>(name); }
    // Enabled state of apname, rescan, txtHost, Start and Abort, as a word
    // per control ("-" when disabled).
    QString controls() const
    {
        QStringList words;
        for (const char* name : {"apname", "rescan", "txtHost", "cmdPing", "cmdAbort"})
            words << (enabled(name) ? QString::fromLatin1(name) : QStringLiteral("-"));
        return words.join(QLatin1Char(' '));
    }
    QStringList counters() const
    {
        QStringList texts;
        for (const char* name :
             {"lblAttempts", "lblResponse", "lblLost", "lblBest", "lblWorst", "lblAvg"})
            texts << text(name);
        return texts;
    }
    frmMain& window;
};

TrellingOptions loopbackOptions(quint16 agentPort)
{
    TrellingOptions options;
    options.trapPort = freeUdpPort();
    options.agentPort = agentPort;
    options.broadcast = QStringLiteral("127.255.255.255");
    return options;
}

// Under a real X server (QT_QPA_PLATFORM=xcb) with TRELLING_SCREENSHOT set,
// takes a screenshot of the screen to that file.
void screenshotIfAsked()
{
    const QString path = qEnvironmentVariable("TRELLING_SCREENSHOT");
    if (path.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QProcess::execute(QStringLiteral("import"),
                      {QStringLiteral("-window"), QStringLiteral("root"), path});
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void controls_data();
    void controls();
    void surveyAndPick();
    void noAgents();
    void portInUse();
    void asynchronousError();
    void startWithEmptyTarget();
    void targetFocusSelectsAll();
    void pingRunOnLoopback();
    void pingRunToSilentHost();
    void closeDuringRun();

private:
    // Starts an apsim agent on 127.0.0.2 at a new port and a window that
    // surveys it; waits for the survey's end.
    bool windowWithAgent(std::unique_ptr<frmMain>& window, ApsimProcess& agent,
                         const QString& description = QStringLiteral("QX9304 north"));

    QTemporaryDir m_dir;
    QStringList m_boxes;
};

void TestFrmMain::initTestCase()
{
    QVERIFY(m_dir.isValid());
    MessageBox::setCapture([this](const QString& title, const QString& text) {
        m_boxes << title + QStringLiteral(": ") + text;
    });
}

void TestFrmMain::cleanup()
{
    m_boxes.clear();
}

bool TestFrmMain::windowWithAgent(std::unique_ptr<frmMain>& window, ApsimProcess& agent,
                                  const QString& description)
{
    const quint16 port = freeUdpPort();
    QString why;
    if (!agent.start(QStringLiteral("127.0.0.2"), port,
                     {QStringLiteral("--profile"),
                      writeProfile(m_dir, QStringLiteral("agent"), description)},
                     {}, &why)) {
        qWarning("%s", qPrintable(why));
        return false;
    }
    window = std::make_unique<frmMain>(loopbackOptions(port));
    View view(*window);
    return QTest::qWaitFor([&] { return view.status() == QStringLiteral("Found 1 agents."); },
                           4000);
}

void TestFrmMain::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("caption");
    const QList<std::array<const char*, 3>> rows = {
        {"Label1", "QLabel", "AP   Name:"},
        {"apname", "QComboBox", ""},
        {"rescan", "QPushButton", "Rescan"},
        {"Labels_5", "QLabel", "Remote IP:"},
        {"txtHost", "QLineEdit", ""},
        {"cmdPing", "QPushButton", "Start"},
        {"cmdAbort", "QPushButton", "Abort"},
        {"Statistics", "QGroupBox", "Statistics"},
        {"Labels_0", "QLabel", "Attempts:"},
        {"Labels_1", "QLabel", "Responses:"},
        {"Labels_6", "QLabel", "Lost:"},
        {"Labels_4", "QLabel", "Avg Time:"},
        {"Labels_3", "QLabel", "Worst Time:"},
        {"Labels_2", "QLabel", "Best Time:"},
        {"lblAttempts", "QLabel", ""},
        {"lblResponse", "QLabel", ""},
        {"lblLost", "QLabel", ""},
        {"lblAvg", "QLabel", ""},
        {"lblWorst", "QLabel", ""},
        {"lblBest", "QLabel", ""},
        {"Label2", "QLabel", "Status:"},
        {"ap_survey", "QLabel", "Site Survey......"},
    };
    for (const auto& [name, className, caption] : rows)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(className)
                            << QString::fromLatin1(caption);
}

void TestFrmMain::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, caption);
    frmMain window(loopbackOptions(freeUdpPort()));
    QCOMPARE(window.windowTitle(), QStringLiteral("Trelling"));
    QWidget* widget = window.findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(textOf(widget), caption);
    // The counters sit in the Statistics frame.
    if (name.startsWith(QStringLiteral("lbl")))
        QCOMPARE(widget->parentWidget(), window.findChild<QWidget*>(QStringLiteral("Statistics")));
}

void TestFrmMain::surveyAndPick()
{
    const quint16 port = freeUdpPort();
    ApsimProcess north;
    QString why;
    QVERIFY2(
        north.start(QStringLiteral("127.0.0.2"), port,
                    {QStringLiteral("--profile"),
                     writeProfile(m_dir, QStringLiteral("north"), QStringLiteral("QX9304 north"))},
                    {}, &why),
        qPrintable(why));
    frmMain window(loopbackOptions(port));
    View view(window);
    // While the survey runs only the target field and Rescan are usable.
    QCOMPARE(view.status(), QStringLiteral("Site Survey......"));
    QCOMPARE(view.controls(), QStringLiteral("- rescan txtHost - -"));
    QTRY_COMPARE_WITH_TIMEOUT(view.status(), QStringLiteral("Found 1 agents."), 4000);
    QCOMPARE(view.controls(), QStringLiteral("apname rescan txtHost cmdPing cmdAbort"));
    QCOMPARE(view.apname()->count(), 1);
    QCOMPARE(view.apname()->itemText(0), QStringLiteral("QX9304 north"));
    QVERIFY(view.txtHost()->text().isEmpty());
    Q_EMIT view.apname()->activated(0);
    QCOMPARE(view.txtHost()->text(), QStringLiteral("127.0.0.2"));

    // Rescan with another agent in place of the first: the list starts
    // empty, and its first entry now stands for the new agent.
    north.stop();
    ApsimProcess south;
    QVERIFY2(
        south.start(QStringLiteral("127.0.0.3"), port,
                    {QStringLiteral("--profile"),
                     writeProfile(m_dir, QStringLiteral("south"), QStringLiteral("QX9304 south"))},
                    {}, &why),
        qPrintable(why));
    view.button("rescan")->click();
    QCOMPARE(view.status(), QStringLiteral("Site Survey......"));
    QCOMPARE(view.apname()->count(), 0);
    QCOMPARE(view.controls(), QStringLiteral("- rescan txtHost - -"));
    QTRY_COMPARE_WITH_TIMEOUT(view.status(), QStringLiteral("Found 1 agents."), 4000);
    QCOMPARE(view.apname()->itemText(0), QStringLiteral("QX9304 south"));
    Q_EMIT view.apname()->activated(0);
    QCOMPARE(view.txtHost()->text(), QStringLiteral("127.0.0.3"));
}

void TestFrmMain::noAgents()
{
    frmMain window(loopbackOptions(freeUdpPort()));
    View view(window);
    QTRY_COMPARE_WITH_TIMEOUT(view.status(), QStringLiteral("No agents found."), 3000);
    QCOMPARE(view.controls(), QStringLiteral("- rescan txtHost - -"));
    QCOMPARE(view.apname()->count(), 0);
    QVERIFY(m_boxes.isEmpty());
}

void TestFrmMain::portInUse()
{
    QUdpSocket other;
    TrellingOptions options = loopbackOptions(freeUdpPort());
    QVERIFY(other.bind(QHostAddress::AnyIPv4, options.trapPort, QAbstractSocket::DontShareAddress));
    frmMain window(options);
    View view(window);
    const QString expected =
        QStringLiteral("Port %1 is in use. Check to to see if another manager is running, then "
                       "restart this one.")
            .arg(options.trapPort);
    QCOMPARE(view.status(), expected);
    // No survey: the text stays, nothing is listed.
    QTest::qWait(1300);
    QCOMPARE(view.status(), expected);
    QCOMPARE(view.apname()->count(), 0);
    QVERIFY(!window.survey().timerRunning());
    QVERIFY(m_boxes.isEmpty());
}

void TestFrmMain::asynchronousError()
{
    TrellingOptions options = loopbackOptions(freeUdpPort());
    options.broadcast = QStringLiteral("a..b"); // refused by the resolver at once
    frmMain window(options);
    QTRY_COMPARE(m_boxes.size(), 1);
    QVERIFY2(m_boxes.at(0).startsWith(QStringLiteral("Asynchronous Error: ")),
             qPrintable(m_boxes.at(0)));
    QVERIFY(m_boxes.at(0).contains(QStringLiteral("a..b")));
}

void TestFrmMain::startWithEmptyTarget()
{
    std::unique_ptr<frmMain> window;
    ApsimProcess agent;
    QVERIFY(windowWithAgent(window, agent));
    View view(*window);
    const QString before = view.controls();
    view.txtHost()->clear();
    view.button("cmdPing")->click();
    QVERIFY(!window->pingRun().Running());
    QCOMPARE(window->pingRun().statistics().attempts, 0);
    QCOMPARE(view.counters(), QStringList(6, QString()));
    QCOMPARE(view.controls(), before);
    QCOMPARE(view.status(), QStringLiteral("Found 1 agents."));
}

void TestFrmMain::targetFocusSelectsAll()
{
    frmMain window(loopbackOptions(freeUdpPort()));
    View view(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    view.txtHost()->setText(QStringLiteral("127.0.0.1"));
    view.button("rescan")->setFocus();
    QTRY_VERIFY(!view.txtHost()->hasFocus());
    view.txtHost()->deselect();
    QVERIFY(view.txtHost()->selectedText().isEmpty());
    view.txtHost()->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(view.txtHost()->selectedText(), QStringLiteral("127.0.0.1"));
}

void TestFrmMain::pingRunOnLoopback()
{
    std::unique_ptr<frmMain> window;
    ApsimProcess agent;
    QVERIFY(windowWithAgent(window, agent));
    window->show();
    View view(*window);
    view.txtHost()->setText(QStringLiteral("127.0.0.1"));

    QString duringControls, duringStatus, afterAbortControls;
    QStringList duringCounters;
    QTimer::singleShot(400, window.get(), [&] {
        duringControls = view.controls();
        duringStatus = view.status();
        duringCounters = view.counters();
        screenshotIfAsked();
        view.button("cmdAbort")->click();
        afterAbortControls = view.controls();
    });
    view.button("cmdPing")->click(); // returns when the run is over

    // While running only Abort is usable; every echo on loopback is answered.
    QCOMPARE(duringControls, QStringLiteral("- - - - cmdAbort"));
    QCOMPARE(duringStatus, QStringLiteral("Processing..."));
    QVERIFY(duringCounters.at(0).toInt() > 0);
    // Abort disables itself and gives back the list and Rescan at once.
    QCOMPARE(afterAbortControls, QStringLiteral("apname rescan - - -"));
    // The run's end gives back the target, Start and Abort.
    QCOMPARE(view.controls(), QStringLiteral("apname rescan txtHost cmdPing cmdAbort"));
    QCOMPARE(view.status(), QStringLiteral("Abort..."));

    const PingStatistics s = window->pingRun().statistics();
    QVERIFY(s.attempts >= 10);
    QVERIFY(s.lost <= 1); // only the echo that Abort ended can be lost
    QCOMPARE(s.responses + s.lost, s.attempts);
    QCOMPARE(view.counters(),
             (QStringList{QString::number(s.attempts), QString::number(s.responses),
                          QString::number(s.lost), timeText(s.best), timeText(s.worst),
                          timeText(s.average)}));
    qInfo("400 ms on loopback: %s", qPrintable(view.counters().join(QStringLiteral(" / "))));

    // The next Start clears the figures and counts afresh.
    QTimer::singleShot(100, window.get(), [&] { view.button("cmdAbort")->click(); });
    view.button("cmdPing")->click();
    QVERIFY(window->pingRun().statistics().attempts < s.attempts);
}

void TestFrmMain::pingRunToSilentHost()
{
    // An agent in a namespace of the test's own, found by the default
    // limited broadcast from there, that answers SNMP but no echo.
    TestNetns netns;
    QString why;
    if (!netns.create(&why))
        QSKIP(qPrintable(QStringLiteral("no network namespaces: %1").arg(why)));
    QVERIFY(TestNetns::ip({"-n", netns.nearName(), "route", "add", "default", "dev", "qxnear"}));
    QVERIFY(netns.sysctl(netns.farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                         QStringLiteral("1")));
    ApsimProcess agent;
    QVERIFY2(agent.start(QLatin1String(TestNetns::FarAddress), 161,
                         {QStringLiteral("--broadcast"), QStringLiteral("255.255.255.255")},
                         netns.farName(), &why),
             qPrintable(why));

    TestNetns::Enter inside(netns.nearName());
    QVERIFY(inside.ok());
    frmMain window{TrellingOptions()};
    View view(window);
    QTRY_COMPARE_WITH_TIMEOUT(view.status(), QStringLiteral("Found 1 agents."), 4000);
    Q_EMIT view.apname()->activated(0);
    QCOMPARE(view.txtHost()->text(), QLatin1String(TestNetns::FarAddress));

    QString duringStatus;
    QStringList duringCounters;
    QTimer::singleShot(2300, &window, [&] {
        duringStatus = view.status();
        duringCounters = view.counters();
        view.button("cmdAbort")->click();
    });
    view.button("cmdPing")->click();

    // Two echoes timed out after 1000 ms each; the third was aborted.
    QCOMPARE(duringStatus, QStringLiteral("Request timed out..."));
    QCOMPARE(duringCounters, (QStringList{"2", "0", "2", "<10", "<10", "<10"}));
    QCOMPARE(view.counters(), (QStringList{"3", "0", "3", "<10", "<10", "<10"}));
    QCOMPARE(view.status(), QStringLiteral("Abort..."));
}

void TestFrmMain::closeDuringRun()
{
    std::unique_ptr<frmMain> window;
    ApsimProcess agent;
    QVERIFY(windowWithAgent(window, agent));
    View view(*window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    view.txtHost()->setText(QStringLiteral("127.0.0.1"));
    bool closeRefused = false;
    QTimer::singleShot(300, window.get(), [&] {
        closeRefused = !window->close();
        QVERIFY(window->isVisible());
    });
    view.button("cmdPing")->click(); // the close ends the run...
    QVERIFY(closeRefused);
    QVERIFY(window->pingRun().CloseRequested());
    QVERIFY(!window->pingRun().Running());
    QVERIFY(window->pingRun().statistics().attempts > 0);
    // ...and the run's end closes the window.
    QVERIFY(!window->isVisible());
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
