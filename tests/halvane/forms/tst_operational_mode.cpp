// The operational mode dialogs and the older Bridge Operational Mode form,
// against a prepared cache: what each shows for a cached mode, the enabling
// rules as a user clicks through them, and what OK stores.
#include "bridge_operational_mode.h"
#include "form_fixture.h"
#include "masked_edit.h"
#include "operational_mode_dialog.h"
#include "select_operational_mode_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace
{

using Values = COperationalModeDialog::Values;
using Enabling = COperationalModeDialog::Enabling;

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QString kZeros = QStringLiteral("000000000000");
const QString kCachedMac = QStringLiteral("00A0F8123456");

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// The checked mode radio of the dialog, by name ("" when none).
QString CheckedName(QWidget* dialog, const char* group)
{
    const auto* buttons = dialog->findChild<QButtonGroup*>(QLatin1String(group));
    return buttons && buttons->checkedButton() ? buttons->checkedButton()->objectName() : QString();
}

// Which controls are enabled, in the order of the Enabling fields.
Enabling EnablingShown(QWidget* d)
{
    Enabling on;
    on.kindRadios = Child<QRadioButton>(d, "pointToPointRadio")->isEnabled();
    on.clientBox = Child<QCheckBox>(d, "clientPreferredBox")->isEnabled();
    on.clientMac = Child<CMSMask>(d, "clientMacEdit")->isEnabled();
    on.remoteMac = Child<CMSMask>(d, "remoteMacEdit")->isEnabled();
    on.repeaterBox = Child<QCheckBox>(d, "repeaterPreferredBox")->isEnabled();
    on.repeaterMac = Child<CMSMask>(d, "repeaterMacEdit")->isEnabled();
    return on;
}

Enabling Make(bool kind, bool clientBox, bool clientMac, bool remote, bool repeaterBox,
              bool repeaterMac)
{
    Enabling on;
    on.kindRadios = kind;
    on.clientBox = clientBox;
    on.clientMac = clientMac;
    on.remoteMac = remote;
    on.repeaterBox = repeaterBox;
    on.repeaterMac = repeaterMac;
    return on;
}

} // namespace

Q_DECLARE_METATYPE(Enabling)

class TestOperationalMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void dialogOpensFromCache_data();
    void dialogOpensFromCache();
    void enablingFollowsClicks();
    void okTable_data();
    void okTable();
    void okThroughTheDialog();
    void okRefusesIncompleteMac();
    void cancelChangesNothing();

    void selectDialogRules_data();
    void selectDialogRules();

    void bridgeFormPopulate_data();
    void bridgeFormPopulate();
    void bridgeFormOkAndCancel();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestOperationalMode::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestOperationalMode::init()
{
    FormFixture::ResetMessages();
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
}

void TestOperationalMode::cleanup()
{
    m_frame.reset();
}

void TestOperationalMode::dialogOpensFromCache_data()
{
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("modeRadio");
    QTest::addColumn<QString>("kindRadio");
    QTest::addColumn<bool>("clientBox");
    QTest::addColumn<bool>("repeaterBox");
    QTest::addColumn<QString>("macField"); // the field holding the cached MAC
    QTest::addColumn<Enabling>("enabling");

    QTest::newRow("1 point to multipoint") << 1u << kCachedMac << "wirelessBridgeRadio"
                                           << "pointToMultiPointRadio" << false << false << ""
                                           << Make(true, false, false, false, false, false);
    QTest::newRow("2 access point")
        << 2u << kCachedMac << "accessPointRadio"
        << "" << false << false << "" << Make(false, false, false, false, false, false);
    QTest::newRow("3 client, no preferred BSS")
        << 3u << kZeros << "accessPointClientRadio"
        << "" << false << false << "clientMacEdit" << Make(false, true, false, false, false, false);
    QTest::newRow("3 client, preferred BSS")
        << 3u << kCachedMac << "accessPointClientRadio"
        << "" << true << false << "clientMacEdit" << Make(false, true, true, false, false, false);
    QTest::newRow("4 point to point") << 4u << kCachedMac << "wirelessBridgeRadio"
                                      << "pointToPointRadio" << false << false << "remoteMacEdit"
                                      << Make(true, false, false, true, false, false);
    QTest::newRow("5 repeater, preferred BSS")
        << 5u << kCachedMac << "wirelessRepeaterRadio"
        << "" << false << true << "repeaterMacEdit" << Make(false, false, false, false, true, true);
    QTest::newRow("5 repeater, none") << 5u << kZeros << "wirelessRepeaterRadio"
                                      << "" << false << false << "repeaterMacEdit"
                                      << Make(false, false, false, false, true, false);
    QTest::newRow("0 unknown") << 0u << kCachedMac << ""
                               << "" << false << false << ""
                               << Make(false, false, false, false, false, false);
    QTest::newRow("6 unknown") << 6u << kCachedMac << ""
                               << "" << false << false << ""
                               << Make(false, false, false, false, false, false);
}

void TestOperationalMode::dialogOpensFromCache()
{
    QFETCH(quint32, mode);
    QFETCH(QString, mac);
    QFETCH(QString, modeRadio);
    QFETCH(QString, kindRadio);
    QFETCH(bool, clientBox);
    QFETCH(bool, repeaterBox);
    QFETCH(QString, macField);
    QFETCH(Enabling, enabling);

    m_frame->Session().bridgeOperationalMode = mode;
    m_frame->Session().bridgeRemoteBridgeBSSID = mac;
    COperationalModeDialog dialog(m_frame.get());
    QCOMPARE(CheckedName(&dialog, "modeGroup"), modeRadio);
    QCOMPARE(CheckedName(&dialog, "kindGroup"), kindRadio);
    QCOMPARE(Child<QCheckBox>(&dialog, "clientPreferredBox")->isChecked(), clientBox);
    QCOMPARE(Child<QCheckBox>(&dialog, "repeaterPreferredBox")->isChecked(), repeaterBox);
    for (const char* name : {"clientMacEdit", "remoteMacEdit", "repeaterMacEdit"}) {
        auto* field = Child<CMSMask>(&dialog, name);
        QCOMPARE(field->Text(), macField == QLatin1String(name) ? mac : QString());
        // A field out of use is grey; one in use has the colour of an edit.
        if (field->isEnabled())
            QVERIFY(field->BackColor() != kGrey);
        else
            QCOMPARE(field->BackColor(), kGrey);
    }
    QCOMPARE(EnablingShown(&dialog), enabling);
    QCOMPARE(Child<QLabel>(&dialog, "remoteMacLabel")->isEnabled(), enabling.remoteMac);
    // The rules are those of the pure function too.
    QCOMPARE(COperationalModeDialog::EnablingOf(COperationalModeDialog::FromCache(mode, mac)),
             enabling);
}

void TestOperationalMode::enablingFollowsClicks()
{
    m_frame->Session().bridgeOperationalMode = 2;
    m_frame->Session().bridgeRemoteBridgeBSSID = kCachedMac;
    COperationalModeDialog dialog(m_frame.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The colour an edit has before the dialog greys it.
    const QColor enabled = CMSMask().BackColor();

    FormFixture::Click(Child<QRadioButton>(&dialog, "accessPointClientRadio"));
    QCOMPARE(EnablingShown(&dialog), Make(false, true, false, false, false, false));
    FormFixture::Click(Child<QCheckBox>(&dialog, "clientPreferredBox"));
    QCOMPARE(EnablingShown(&dialog), Make(false, true, true, false, false, false));
    QVERIFY(Child<CMSMask>(&dialog, "clientMacEdit")->BackColor() != kGrey);
    FormFixture::Click(Child<QCheckBox>(&dialog, "clientPreferredBox"));
    QCOMPARE(Child<CMSMask>(&dialog, "clientMacEdit")->BackColor(), kGrey);

    FormFixture::Click(Child<QRadioButton>(&dialog, "wirelessBridgeRadio"));
    // No bridge kind chosen yet: the remote field waits for "Point to Point".
    QCOMPARE(EnablingShown(&dialog), Make(true, false, false, false, false, false));
    FormFixture::Click(Child<QRadioButton>(&dialog, "pointToPointRadio"));
    QCOMPARE(EnablingShown(&dialog), Make(true, false, false, true, false, false));
    QVERIFY(Child<QLabel>(&dialog, "remoteMacLabel")->isEnabled());
    FormFixture::Click(Child<QRadioButton>(&dialog, "pointToMultiPointRadio"));
    QCOMPARE(EnablingShown(&dialog), Make(true, false, false, false, false, false));
    QVERIFY(!Child<QLabel>(&dialog, "remoteMacLabel")->isEnabled());
    QCOMPARE(Child<CMSMask>(&dialog, "remoteMacEdit")->BackColor(), kGrey);

    FormFixture::Click(Child<QRadioButton>(&dialog, "wirelessRepeaterRadio"));
    QCOMPARE(EnablingShown(&dialog), Make(false, false, false, false, true, false));
    FormFixture::Click(Child<QCheckBox>(&dialog, "repeaterPreferredBox"));
    QCOMPARE(EnablingShown(&dialog), Make(false, false, false, false, true, true));
    QCOMPARE(Child<CMSMask>(&dialog, "repeaterMacEdit")->BackColor(), enabled);

    FormFixture::Click(Child<QRadioButton>(&dialog, "accessPointRadio"));
    QCOMPARE(EnablingShown(&dialog), Make(false, false, false, false, false, false));
    for (const char* name : {"clientMacEdit", "remoteMacEdit", "repeaterMacEdit"})
        QCOMPARE(Child<CMSMask>(&dialog, name)->BackColor(), kGrey);
}

void TestOperationalMode::okTable_data()
{
    QTest::addColumn<int>("modeIndex");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("clientBox");
    QTest::addColumn<bool>("repeaterBox");
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QString>("mac");

    // The cache starts at mode 3 with kCachedMac; the fields hold
    // 111111111111 (client), 222222222222 (remote), 333333333333 (repeater).
    QTest::newRow("access point") << 0 << -1 << false << false << 2u << kCachedMac;
    QTest::newRow("client, preferred") << 1 << -1 << true << false << 3u << "111111111111";
    QTest::newRow("client, none") << 1 << -1 << false << false << 3u << kZeros;
    QTest::newRow("point to point") << 2 << 0 << false << false << 4u << "222222222222";
    QTest::newRow("point to multipoint") << 2 << 1 << false << false << 1u << kCachedMac;
    QTest::newRow("bridge, no kind") << 2 << -1 << false << false << 3u << kCachedMac;
    QTest::newRow("repeater, preferred") << 3 << -1 << false << true << 5u << "333333333333";
    QTest::newRow("repeater, none") << 3 << -1 << false << false << 5u << kZeros;
    QTest::newRow("no mode") << -1 << -1 << true << true << 3u << kCachedMac;
}

void TestOperationalMode::okTable()
{
    QFETCH(int, modeIndex);
    QFETCH(int, kind);
    QFETCH(bool, clientBox);
    QFETCH(bool, repeaterBox);
    QFETCH(quint32, mode);
    QFETCH(QString, mac);

    Values values;
    values.mode = modeIndex;
    values.kind = kind;
    values.clientPreferred = clientBox;
    values.repeaterPreferred = repeaterBox;
    values.clientMac = QStringLiteral("111111111111");
    values.remoteMac = QStringLiteral("222222222222");
    values.repeaterMac = QStringLiteral("333333333333");

    CDeviceSession& session = m_frame->Session();
    session.bridgeOperationalMode = 3;
    session.bridgeRemoteBridgeBSSID = kCachedMac;
    COperationalModeDialog dialog(m_frame.get());
    dialog.PushValues(values);
    Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(session.bridgeOperationalMode, mode);
    QCOMPARE(session.bridgeRemoteBridgeBSSID, mac);
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestOperationalMode::okThroughTheDialog()
{
    CDeviceSession& session = m_frame->Session();
    // Mode 3 without a preferred BSS: OK without changes keeps it so.
    session.bridgeOperationalMode = 3;
    session.bridgeRemoteBridgeBSSID = kZeros;
    {
        COperationalModeDialog dialog(m_frame.get());
        Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(session.bridgeOperationalMode, 3u);
        QCOMPARE(session.bridgeRemoteBridgeBSSID, kZeros);
    }
    // The user makes it a point-to-point bridge and types the remote address.
    {
        COperationalModeDialog dialog(m_frame.get());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        FormFixture::Click(Child<QRadioButton>(&dialog, "wirelessBridgeRadio"));
        FormFixture::Click(Child<QRadioButton>(&dialog, "pointToPointRadio"));
        auto* remote = Child<CMSMask>(&dialog, "remoteMacEdit");
        remote->setFocus();
        remote->setCursorPosition(0);
        QTest::keyClicks(remote, QStringLiteral("00a0f8654321"));
        QCOMPARE(remote->displayText(), QStringLiteral("00 A0 F8 65 43 21"));
        Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(session.bridgeOperationalMode, 4u);
        QCOMPARE(session.bridgeRemoteBridgeBSSID, QStringLiteral("00A0F8654321"));
    }
}

void TestOperationalMode::okRefusesIncompleteMac()
{
    CDeviceSession& session = m_frame->Session();
    session.bridgeOperationalMode = 2;
    session.bridgeRemoteBridgeBSSID = kCachedMac;
    for (const QString& typed : {QStringLiteral("00A0F8"), QStringLiteral("00A0F8GG0000")}) {
        FormFixture::ResetMessages();
        COperationalModeDialog dialog(m_frame.get());
        Values values = dialog.TakeValues();
        values.mode = COperationalModeDialog::WirelessRepeater;
        values.repeaterPreferred = true;
        values.repeaterMac = typed;
        dialog.PushValues(values);
        Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("Invalid Mac Address")});
        QVERIFY(dialog.result() != int(QDialog::Accepted));
        QCOMPARE(session.bridgeOperationalMode, 2u);
        QCOMPARE(session.bridgeRemoteBridgeBSSID, kCachedMac);
    }
}

void TestOperationalMode::cancelChangesNothing()
{
    CDeviceSession& session = m_frame->Session();
    session.bridgeOperationalMode = 4;
    session.bridgeRemoteBridgeBSSID = kCachedMac;
    COperationalModeDialog dialog(m_frame.get());
    Values values = dialog.TakeValues();
    values.mode = COperationalModeDialog::AccessPoint;
    dialog.PushValues(values);
    Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(session.bridgeOperationalMode, 4u);
    QCOMPARE(session.bridgeRemoteBridgeBSSID, kCachedMac);
}

void TestOperationalMode::selectDialogRules_data()
{
    QTest::addColumn<QString>("modeRadio");
    QTest::addColumn<QString>("kindRadio");
    QTest::addColumn<bool>("kindEnabled");
    QTest::addColumn<quint32>("mode");

    QTest::newRow("client") << ""
                            << "" << false << 3u;
    QTest::newRow("bridge point to point") << "wirelessBridgeRadio"
                                           << "" << true << 4u;
    QTest::newRow("bridge point to multipoint") << "wirelessBridgeRadio"
                                                << "pointToMultiPointRadio" << true << 1u;
    QTest::newRow("repeater") << "wirelessRepeaterRadio"
                              << "" << false << 5u;
}

void TestOperationalMode::selectDialogRules()
{
    QFETCH(QString, modeRadio);
    QFETCH(QString, kindRadio);
    QFETCH(bool, kindEnabled);
    QFETCH(quint32, mode);

    m_frame->Session().bridgeOperationalMode = 2;
    CSelectOperationalModeDialog dialog(m_frame.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Opening: client and point to point checked, the kinds disabled.
    QCOMPARE(CheckedName(&dialog, "modeGroup"), QStringLiteral("accessPointClientRadio"));
    QCOMPARE(CheckedName(&dialog, "kindGroup"), QStringLiteral("pointToPointRadio"));
    QVERIFY(!Child<QRadioButton>(&dialog, "pointToPointRadio")->isEnabled());
    QVERIFY(!Child<QRadioButton>(&dialog, "pointToMultiPointRadio")->isEnabled());

    if (!modeRadio.isEmpty())
        FormFixture::Click(Child<QRadioButton>(&dialog, modeRadio.toLatin1().constData()));
    QCOMPARE(Child<QRadioButton>(&dialog, "pointToPointRadio")->isEnabled(), kindEnabled);
    QCOMPARE(Child<QRadioButton>(&dialog, "pointToMultiPointRadio")->isEnabled(), kindEnabled);
    if (!kindRadio.isEmpty())
        FormFixture::Click(Child<QRadioButton>(&dialog, kindRadio.toLatin1().constData()));
    Child<QDialogButtonBox>(&dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(m_frame->Session().bridgeOperationalMode, mode);
}

void TestOperationalMode::bridgeFormPopulate_data()
{
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("fieldEnabled");

    QTest::newRow("1 building to building") << 1u << 0 << kCachedMac << true;
    QTest::newRow("2 access point") << 2u << 2 << QString() << false;
    QTest::newRow("3 wireless bridge") << 3u << 1 << kCachedMac << true;
    QTest::newRow("4 not offered") << 4u << -1 << QString() << false;
    QTest::newRow("5 not offered") << 5u << -1 << QString() << false;
}

void TestOperationalMode::bridgeFormPopulate()
{
    QFETCH(quint32, mode);
    QFETCH(int, choice);
    QFETCH(QString, field);
    QFETCH(bool, fieldEnabled);

    m_frame->Session().bridgeOperationalMode = mode;
    m_frame->Session().bridgeRemoteBridgeBSSID = kCachedMac;
    auto* form = FormFixture::Open<CBridgeOperationalMode>(*m_frame, FormBridgeOperationalMode);
    QVERIFY(form);
    QCOMPARE(form->Choice(), choice);
    QCOMPARE(form->MacText(), field);
    QCOMPARE(Child<CMSMask>(form, "macEdit")->isEnabled(), fieldEnabled);
    // The child window holds the whole form.
    QVERIFY(m_frame->FormChild(FormBridgeOperationalMode)->height() > form->sizeHint().height());
}

void TestOperationalMode::bridgeFormOkAndCancel()
{
    CDeviceSession& session = m_frame->Session();
    session.bridgeOperationalMode = 2;
    session.bridgeRemoteBridgeBSSID = kCachedMac;
    auto* form = FormFixture::Open<CBridgeOperationalMode>(*m_frame, FormBridgeOperationalMode);
    QVERIFY(form);
    // "Wireless Bridge" enables the field; the typed address goes with mode 3.
    FormFixture::Click(Child<QRadioButton>(form, "wirelessBridgeRadio"));
    auto* mac = Child<CMSMask>(form, "macEdit");
    QVERIFY(mac->isEnabled());
    mac->SetText(QStringLiteral("00A0F8000042"));
    FormFixture::Click(Child<QRadioButton>(form, "accessPointRadio"));
    QVERIFY(!mac->isEnabled());
    FormFixture::Click(Child<QRadioButton>(form, "wirelessBridgeRadio"));
    Child<QPushButton>(form, "okButton")->click();
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeOperationalMode));
    QCOMPARE(session.bridgeOperationalMode, 3u);
    QCOMPARE(session.bridgeRemoteBridgeBSSID, QStringLiteral("00A0F8000042"));

    // Cancel and the close box only close.
    for (bool closeBox : {false, true}) {
        form = FormFixture::Open<CBridgeOperationalMode>(*m_frame, FormBridgeOperationalMode);
        QVERIFY(form);
        FormFixture::Click(Child<QRadioButton>(form, "buildingToBuildingRadio"));
        if (closeBox)
            m_frame->FormChild(FormBridgeOperationalMode)->close();
        else
            Child<QPushButton>(form, "cancelButton")->click();
        QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeOperationalMode));
        QCOMPARE(session.bridgeOperationalMode, 3u);
    }
}

QTEST_MAIN(TestOperationalMode)
#include "tst_operational_mode.moc"
