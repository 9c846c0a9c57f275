// The Known BSSs form: the row texts of the list, a site survey against
// apsim with the real 5.5-second timer, Connect with the Select Operational
// Mode dialog, the refusal of ad-hoc BSSs and the roll-back after a failed
// connection, Cancel, and the wireless settings form updated after a join.
#include "device_fixture.h"
#include "dialog_runner.h"
#include "known_bsss.h"
#include "wireless_operational_settings.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace
{

const QString kAddress = QStringLiteral("127.0.0.31");

QJsonObject Neighbour(const char* bssid, const char* ssid, int channel, int rssi, int flags)
{
    return QJsonObject{{QStringLiteral("bssid"), QLatin1String(bssid)},
                       {QStringLiteral("ssid"), QLatin1String(ssid)},
                       {QStringLiteral("channel"), channel},
                       {QStringLiteral("rssi"), rssi},
                       {QStringLiteral("flags"), flags}};
}

// An FRANCE access point in mode 2 with four neighbours: one on channel
// 12, one with the raw signal 250, one infrastructure network that also
// carries the ad-hoc flag, one wireless bridge.
QJsonObject SurveyProfile()
{
    return QJsonObject{{QStringLiteral("domain"), QStringLiteral("FRANCE")},
                       {QStringLiteral("config"),
                        QJsonObject{{QStringLiteral("operChannelID"), 10},
                                    {QStringLiteral("operESSID"), QStringLiteral("Quay")},
                                    {QStringLiteral("bridgeOperationalMode"), 2}}},
                       {QStringLiteral("neighbours"),
                        QJsonArray{Neighbour("665544332211", "Far", 12, 20, 0x21),
                                   Neighbour("00A0F8123456", "Office", 11, 250, 0x11),
                                   Neighbour("020000ABCDEF", "Mixed", 13, 0, 0x03),
                                   Neighbour("00A0F8777777", "Roof bridge", 10, 11, 0x00)}}};
}

const QList<QStringList> kSurveyRows = {
    {"Far", "66-55-44-33-22-11", "75%", "12", "No", "Infrastructure", "Short"},
    {"Office", "00-A0-F8-12-34-56", "10%", "11", "Yes", "Infrastructure", "Long"},
    {"Mixed", "02-00-00-AB-CD-EF", "25%", "13", "No", "Infrastructure", "Long"},
    {"Roof bridge", "00-A0-F8-77-77-77", "52%", "10", "No", "Wireless Bridge", "Long"},
};

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

} // namespace

class TestKnownBSSs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void rowTexts_data();
    void rowTexts();
    void surveyListsNeighbours();
    void surveyRefusedWhileBusy();
    void surveyReadFailsOnTimer();
    void connectNeedsSelection();
    void cancelInSelectDialogKeepsForm();
    void adHocIsRefusedAndRolledBack();
    void connectJoinsAndUpdatesWirelessForm();
    void failedConnectRollsBack();
    void cancelWritesModeAndCloses();

private:
    // apsim with the survey profile, the form open, and (when surveyed) the
    // list read through a survey whose timer is taken at once.
    CKnownBSSs* OpenForm(bool surveyed, int authority = 1);
    void AcceptSelectDialog(int modeIndex = 0);

    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryFile> m_profile;
    std::unique_ptr<ApsimProcess> m_ap;
    std::unique_ptr<CMainFrame> m_frame;
    int m_selectDialogs = 0;
};

void TestKnownBSSs::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
    m_profile = DeviceFixture::Profile(SurveyProfile());
    QVERIFY(m_profile);
}

void TestKnownBSSs::init()
{
    FormFixture::ResetMessages();
    m_selectDialogs = 0;
}

void TestKnownBSSs::cleanup()
{
    CDialogRunner::clearRunner();
    m_frame.reset();
    m_ap.reset();
}

CKnownBSSs* TestKnownBSSs::OpenForm(bool surveyed, int authority)
{
    m_ap = std::make_unique<ApsimProcess>(QStringLiteral(QX_BIN_DIR));
    m_frame = DeviceFixture::Connect(*m_ap, kAddress,
                                     {QStringLiteral("--profile"), m_profile->fileName(),
                                      QStringLiteral("--scan-delay"), QStringLiteral("100")},
                                     authority);
    if (!m_frame)
        return nullptr;
    auto* form = FormFixture::Open<CKnownBSSs>(*m_frame, FormKnownBSSs);
    if (!form || !surveyed)
        return form;
    form->OnGetRefresh();
    QTest::qWait(400); // apsim's scan takes 100 ms
    form->OnSurveyTimer();
    if (form->RowsShown().size() != kSurveyRows.size())
        return nullptr;
    CMessageBox::clearShown();
    return form;
}

void TestKnownBSSs::AcceptSelectDialog(int modeIndex)
{
    CDialogRunner::setRunner([this, modeIndex](QDialog& dialog) {
        ++m_selectDialogs;
        const char* radios[] = {"accessPointClientRadio", "wirelessBridgeRadio",
                                "wirelessRepeaterRadio"};
        dialog.findChild<QRadioButton*>(QLatin1String(radios[modeIndex]))->setChecked(true);
        dialog.accept();
        return int(QDialog::Accepted);
    });
}

void TestKnownBSSs::rowTexts_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QStringList>("texts");

    const auto row = [](const char* rssi, const char* wep, const char* type, const char* pre) {
        return QStringList{"Net", "00-0A-1B-2C-3D-4E", rssi, "7", wep, type, pre};
    };
    QTest::newRow("signal 0") << 0 << 0x01 << row("25%", "No", "Infrastructure", "Long");
    QTest::newRow("signal 11") << 11 << 0x01 << row("52%", "No", "Infrastructure", "Long");
    QTest::newRow("signal 30") << 30 << 0x01 << row("100%", "No", "Infrastructure", "Long");
    QTest::newRow("signal 245") << 245 << 0x01 << row("100%", "No", "Infrastructure", "Long");
    QTest::newRow("signal 246 wraps") << 246 << 0x01 << row("0%", "No", "Infrastructure", "Long");
    QTest::newRow("signal 250 wraps") << 250 << 0x01 << row("10%", "No", "Infrastructure", "Long");
    QTest::newRow("ad hoc") << 40 << 0x02 << row("100%", "No", "Ad-Hoc", "Long");
    QTest::newRow("infrastructure wins")
        << 40 << 0x03 << row("100%", "No", "Infrastructure", "Long");
    QTest::newRow("bridge, WEP, short")
        << 40 << 0x30 << row("100%", "Yes", "Wireless Bridge", "Short");
}

void TestKnownBSSs::rowTexts()
{
    QFETCH(int, signal);
    QFETCH(int, flags);
    QFETCH(QStringList, texts);
    CDeviceSession::KnownBss entry;
    entry.bssid = QStringLiteral("000A1B2C3D4E");
    entry.signal = quint8(signal);
    entry.channel = 7;
    entry.flags = quint8(flags);
    entry.ssid = QStringLiteral("Net");
    QCOMPARE(CKnownBSSs::RowTexts(entry), texts);
}

void TestKnownBSSs::surveyListsNeighbours()
{
    CKnownBSSs* form = OpenForm(false);
    QVERIFY(form);
    // Populate leaves the list empty, with its seven columns.
    auto* list = Child<QTreeWidget>(form, "bssList");
    QCOMPARE(list->columnCount(), 7);
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("BSSID"));
    QVERIFY(list->columnWidth(0) >= 110 && list->columnWidth(2) >= 40);
    QVERIFY(form->RowsShown().isEmpty());

    auto* refresh = Child<QPushButton>(form, "getRefreshButton");
    QElapsedTimer clock;
    clock.start();
    FormFixture::Click(refresh);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("SiteSurveyCommand")),
             QStringLiteral("1"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Known BSSs in progress..."));
    QVERIFY(form->Busy());
    QVERIFY(form->SurveyTimerActive());
    QVERIFY(!refresh->isEnabled());
    QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
    // The list is read 5.5 seconds after the survey started, not before.
    QVERIFY(QTest::qWaitFor([&] { return !form->RowsShown().isEmpty(); }, 9000));
    QVERIFY2(clock.elapsed() >= 5400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(form->RowsShown(), kSurveyRows);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Known BSSs done."));
    QVERIFY(!form->Busy());
    QVERIFY(refresh->isEnabled());
    QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestKnownBSSs::surveyRefusedWhileBusy()
{
    CKnownBSSs* form = OpenForm(false);
    QVERIFY(form);
    m_frame->Session().m_sessionState = CDeviceSession::StateReading;
    form->OnGetRefresh();
    m_frame->Session().m_sessionState = CDeviceSession::StateIdle;
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Known BSSs failed."));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral(
                 "Unable to Get Known BSSs. Possibly Access Point is not connected.")});
    QVERIFY(!form->Busy());
    QVERIFY(!form->SurveyTimerActive());
    QVERIFY(Child<QPushButton>(form, "getRefreshButton")->isEnabled());
}

void TestKnownBSSs::surveyReadFailsOnTimer()
{
    CKnownBSSs* form = OpenForm(false);
    QVERIFY(form);
    form->OnGetRefresh();
    QVERIFY(form->SurveyTimerActive());
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    form->OnSurveyTimer();
    QVERIFY(!form->SurveyTimerActive());
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Known BSSs failed."));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Unable to Get Known BSSs. Possibly Access Point is not "
                                        "connected or this Firmware Version does not support "
                                        "this capability.")});
    QVERIFY(Child<QPushButton>(form, "getRefreshButton")->isEnabled());
    QVERIFY(!form->Busy());
}

void TestKnownBSSs::connectNeedsSelection()
{
    CKnownBSSs* form = OpenForm(true);
    QVERIFY(form);
    AcceptSelectDialog();
    m_frame->Session().SelectedBSSListNumber = 7;
    Child<QTreeWidget>(form, "bssList")->clearSelection();
    FormFixture::Click(Child<QPushButton>(form, "connectButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("You must select a BSS")});
    QCOMPARE(m_selectDialogs, 0);
    QCOMPARE(m_frame->Session().SelectedBSSListNumber, 7u);
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormKnownBSSs));
}

void TestKnownBSSs::cancelInSelectDialogKeepsForm()
{
    CKnownBSSs* form = OpenForm(true);
    QVERIFY(form);
    CDeviceSession& session = m_frame->Session();
    const QString essid = session.operESSID;
    const QString mac = session.bridgeRemoteBridgeBSSID;
    bool clientChecked = false;
    CDialogRunner::setRunner([this, &clientChecked](QDialog& dialog) {
        ++m_selectDialogs;
        clientChecked =
            dialog.findChild<QRadioButton*>(QStringLiteral("accessPointClientRadio"))->isChecked();
        dialog.reject();
        return int(QDialog::Rejected);
    });
    form->SelectRow(1);
    form->OnConnect();
    QCOMPARE(m_selectDialogs, 1);
    QVERIFY(clientChecked); // the dialog opens on "Access Point Client"
    QCOMPARE(session.SelectedBSSListNumber, 2u);
    QCOMPARE(session.bridgeOperationalMode, 2u);
    QCOMPARE(session.operESSID, essid);
    QCOMPARE(session.bridgeRemoteBridgeBSSID, mac);
    QVERIFY(CMessageBox::shownTexts().isEmpty());
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormKnownBSSs));
}

void TestKnownBSSs::adHocIsRefusedAndRolledBack()
{
    CKnownBSSs* form = OpenForm(true);
    QVERIFY(form);
    CDeviceSession& session = m_frame->Session();
    AcceptSelectDialog(2); // repeater
    // The row says "Infrastructure", but the entry carries the ad-hoc flag.
    form->SelectRow(2);
    QTest::keyClick(Child<QTreeWidget>(form, "bssList"), Qt::Key_Return);
    QCOMPARE(m_selectDialogs, 1);
    QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("Not supported BSS Type!")});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Information});
    // Cache and device are back at the state of the last survey.
    QCOMPARE(session.SelectedBSSListNumber, 3u);
    QCOMPARE(session.bridgeOperationalMode, 2u);
    QCOMPARE(session.operESSID, QStringLiteral("Quay"));
    QCOMPARE(session.operChannelID, 10u);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("bridgeOperationalMode")),
             QStringLiteral("2"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("operESSID")), QStringLiteral("Quay"));
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormKnownBSSs));
}

void TestKnownBSSs::connectJoinsAndUpdatesWirelessForm()
{
    CKnownBSSs* form = OpenForm(true);
    QVERIFY(form);
    CDeviceSession& session = m_frame->Session();
    m_frame->OnCommand(ID_OPERATIONAL_SETTINGS);
    auto* settings = qobject_cast<CWireLessOperationalSettings*>(
        m_frame->FormView(FormWirelessOperationalSettings));
    QVERIFY(settings);
    auto* essidEdit = Child<QLineEdit>(settings, "essidEdit");
    essidEdit->setText(QStringLiteral("typed, not confirmed"));
    CMessageBox::clearShown();

    AcceptSelectDialog(0); // access point client
    form->SelectRow(0);    // "Far" on channel 12
    FormFixture::Click(Child<QPushButton>(form, "connectButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("Device is Connecting...")});
    QCOMPARE(session.bridgeOperationalMode, 3u);
    QCOMPARE(session.SelectedBSSListNumber, 1u);
    QCOMPARE(session.bridgeRemoteBridgeBSSID, QStringLiteral("665544332211"));
    QCOMPARE(session.operESSID, QStringLiteral("Far"));
    QCOMPARE(session.operChannelID, 12u);
    // The device joined that BSS.
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("bridgeOperationalMode")),
             QStringLiteral("3"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("operESSID")), QStringLiteral("Far"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("operChannelID")), QStringLiteral("12"));
    // FRANCE lists channels 10 to 13: "Channel 12" is selected.
    QCOMPARE(essidEdit->text(), QStringLiteral("Far"));
    QCOMPARE(Child<QComboBox>(settings, "channelCombo")->currentText(),
             QStringLiteral("Channel 12"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormKnownBSSs));
    QVERIFY(m_frame->FormOpen(FormWirelessOperationalSettings));
}

void TestKnownBSSs::failedConnectRollsBack()
{
    CKnownBSSs* form = OpenForm(true);
    QVERIFY(form);
    CDeviceSession& session = m_frame->Session();
    AcceptSelectDialog(1); // point-to-point bridge
    form->SelectRow(3);
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    form->OnConnect();
    QCOMPARE(CMessageBox::shownTexts(),
             (QStringList{QStringLiteral("Unable to Connect!!"),
                          QStringLiteral("Access Point failed return to previous state.")}));
    QCOMPARE(session.bridgeOperationalMode, 2u);
    QCOMPARE(session.operESSID, QStringLiteral("Quay"));
    QCOMPARE(session.operChannelID, 10u);
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormKnownBSSs));
}

void TestKnownBSSs::cancelWritesModeAndCloses()
{
    CKnownBSSs* form = OpenForm(false);
    QVERIFY(form);
    // The cache holds a mode the device does not have yet; Cancel tells it.
    m_frame->Session().bridgeOperationalMode = 4;
    m_frame->Session().bridgeRemoteBridgeBSSID = QStringLiteral("00A0F8777777");
    FormFixture::Click(Child<QPushButton>(form, "cancelButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormKnownBSSs));
    QVERIFY(CMessageBox::shownTexts().isEmpty());
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("bridgeOperationalMode")),
             QStringLiteral("4"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("bridgeRemoteBridgeBSSID")),
             QStringLiteral("00A0F8777777"));

    // The close box does the same; a device that does not answer is reported.
    form = FormFixture::Open<CKnownBSSs>(*m_frame, FormKnownBSSs);
    QVERIFY(form);
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    m_frame->FormChild(FormKnownBSSs)->close();
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Access Point failed return to previous state.")});
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormKnownBSSs));
}

QTEST_MAIN(TestKnownBSSs)
#include "tst_known_bsss.moc"
