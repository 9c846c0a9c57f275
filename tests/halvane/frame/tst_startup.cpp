// Start-up of halvane: settings, the main window's creation handler, the
// status bar, and the failures that end the program with status 1.
#include "halvane_app.h"
#include "message_box.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void appModeSelectsMenus_data();
    void appModeSelectsMenus();
    void ipSettingsRoundTrip();

    void windowComesUpWithStatusPanes();
    void takenTrapPortEndsWithStatus1();
    void missingMibCannotCreateTraps();
    void badCommandLineIsRefused_data();
    void badCommandLineIsRefused();

private:
    QStringList arguments(const QStringList& extra = {}) const;
    void writeIni(const QString& appMode, const QString& appView);

    QTemporaryDir m_config;
    quint16 m_trapPort = 0;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QDir::setCurrent(QStringLiteral(QX_BIN_DIR));   // where QX9304.mib lies
}

void TestStartup::init()
{
    CMessageBox::setNextAnswer(QMessageBox::Ok);
    CMessageBox::clearShown();
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    m_trapPort = probe.localPort();
}

void TestStartup::cleanup()
{
    QFile::remove(m_config.filePath(QStringLiteral("Halvane.ini")));
}

QStringList TestStartup::arguments(const QStringList& extra) const
{
    return QStringList{QStringLiteral("halvane"), QStringLiteral("--trap-port"),
                       QString::number(m_trapPort), QStringLiteral("--broadcast"),
                       QStringLiteral("127.255.255.255")} +
           extra;
}

void TestStartup::writeIni(const QString& appMode, const QString& appView)
{
    QSettings ini(m_config.filePath(QStringLiteral("Halvane.ini")), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Halvane"));
    if (!appMode.isNull())
        ini.setValue(QStringLiteral("AppMode"), appMode);
    if (!appView.isNull())
        ini.setValue(QStringLiteral("AppView"), appView);
}

void TestStartup::appModeSelectsMenus_data()
{
    QTest::addColumn<bool>("writeFile");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::newRow("no file") << false << QString() << false;
    QTest::newRow("key missing") << true << QString() << false;
    QTest::newRow("0") << true << "0" << false;
    QTest::newRow("1") << true << "1" << true;
    QTest::newRow("00") << true << "00" << true;
    QTest::newRow("x") << true << "x" << true;
    QTest::newRow("only two characters count") << true << "0ab" << true;
}

void TestStartup::appModeSelectsMenus()
{
    QFETCH(bool, writeFile);
    QFETCH(QString, value);
    QFETCH(bool, on);
    if (writeFile)
        writeIni(value, value);
    const CHalvaneSettings settings = CHalvaneSettings::Read();
    QCOMPARE(settings.m_extendedMenus, on);
    QCOMPARE(settings.m_appView, on);
}

void TestStartup::ipSettingsRoundTrip()
{
    CHalvaneSettings::WriteIpSettings(QStringLiteral("10.0.0.7"));
    QCOMPARE(CHalvaneSettings::ReadIpSettings(), QStringLiteral("10.0.0.7"));
    // The profile lives under the configuration directory, as ZELCORA/Halvane.ini.
    QVERIFY(QFile::exists(m_config.filePath(QStringLiteral("ZELCORA/Halvane.ini"))));
}

void TestStartup::windowComesUpWithStatusPanes()
{
    CHalvaneApp app;
    QVERIFY(app.InitInstance(arguments()));
    CMainFrame* frame = app.MainFrame();
    QVERIFY(frame);
    QCOMPARE(frame->windowTitle(), QStringLiteral(" Access Point SNMP Manager"));
    QCOMPARE(frame->StatusText(0), QStringLiteral("Manager opened successfully"));
    QVERIFY(!frame->PaneVisible(1));
    QVERIFY(!frame->PaneVisible(2));
    QCOMPARE(frame->CurrentMenu(), 128);
    QCOMPARE(frame->Session().m_sessionState, quint8(CDeviceSession::StateIdle));
    QCOMPARE(frame->Session().m_requestCounter, 0);
    QVERIFY(frame->Session().Manager()->isOpen());
    QVERIFY(!frame->Session().IdentifierOf(QStringLiteral("sysDescr")).isEmpty());
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestStartup::takenTrapPortEndsWithStatus1()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress::AnyIPv4, m_trapPort, QAbstractSocket::DontShareAddress));
    QCOMPARE(CHalvaneApp::Main(arguments()), 1);
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Port 162 is in use. Check to to see if another manager "
                                        "is running, then restart this one.")});
    const QString detail = CMessageBox::shownDetails().value(0);
    QVERIFY2(detail.contains(QLatin1String("--trap-port")), qPrintable(detail));
    QVERIFY2(detail.contains(QString::number(m_trapPort)), qPrintable(detail));
}

void TestStartup::missingMibCannotCreateTraps()
{
    QTemporaryDir empty;
    const QString here = QDir::currentPath();
    QDir::setCurrent(empty.path());
    CHalvaneOptions options;
    options.trapPort = m_trapPort;
    options.mibFile = QStringLiteral("Missing-QX9304.mib");
    CMainFrame frame(CHalvaneSettings{}, options);
    const int result = frame.OnCreate();
    QDir::setCurrent(here);
    QCOMPARE(result, -1);
    QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("Cannot create Traps")});
}

void TestStartup::badCommandLineIsRefused_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::newRow("port zero") << QStringList{QStringLiteral("--agent-port"), QStringLiteral("0")};
    QTest::newRow("port too big") << QStringList{QStringLiteral("--trap-port"),
                                                 QStringLiteral("70000")};
    QTest::newRow("not an address") << QStringList{QStringLiteral("--broadcast"),
                                                   QStringLiteral("everyone")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")};
}

void TestStartup::badCommandLineIsRefused()
{
    QFETCH(QStringList, extra);
    CHalvaneApp app;
    QVERIFY(!app.InitInstance(arguments(extra)));
    QVERIFY(!app.CommandLineError().isEmpty());
    QVERIFY(!app.MainFrame());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
