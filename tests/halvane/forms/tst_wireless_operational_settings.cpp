// The wireless operational settings form: filled from a prepared cache,
// changed through its controls, OK and Cancel; the channel rules of every
// regulatory domain, the rate boxes, the up-down step and the checks on OK.
// One round trip goes through a real apsim and Download Changes.
#include "form_fixture.h"
#include "threshold_spin_box.h"
#include "wireless_operational_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSpinBox>

using namespace WirelessSettings;

namespace
{

constexpr int kFcc = 0x10, kDoc = 0x20, kEtsi = 0x30, kSpain = 0x31, kFrance = 0x32, kMkk = 0x40,
              kMkk1 = 0x41;
const char* const kMismatch =
    "Channel does not agree with Regulatory Domain. It's necessary to update it.";
const char* const kUnknownDomain = "It's necessary to update Regulatory Domain.";

// A cache as a Get Configuration from a typical device leaves it.
void PrepareCache(CDeviceSession& s)
{
    s.m_regulatoryDomain = kEtsi;
    s.operChannelID = 6;
    s.operESSID = QStringLiteral("Harbour");
    s.operAccessPointName = QStringLiteral("Pier 4");
    s.operRTSThreshold = 2347;
    s.operFragmentationThreshold = 2346;
    s.operPreambleType = 2;
    s.operAuthenticationType = 3;
    s.operBasicRates = QStringLiteral("82840B16");
    s.operAutoRateFallBack = 1;
    s.operSSIDBroadcasting = 2;
    s.operInterRoaming = 1;
    s.operAntennaSettings = 3;
}

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QStringList ComboEntries(QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

// The eight rate boxes as "SSSS/BBBB" with 1 for checked, in the order 1, 2, 5.5, 11.
QString RateBoxesText(QWidget* form)
{
    QString text;
    for (const char* n : {"1", "2", "55", "11"})
        text +=
            Child<QCheckBox>(form, (QByteArray("supported") + n + "Check").constData())->isChecked()
                ? QLatin1Char('1')
                : QLatin1Char('0');
    text += QLatin1Char('/');
    for (const char* n : {"1", "2", "55", "11"})
        text += Child<QCheckBox>(form, (QByteArray("basic") + n + "Check").constData())->isChecked()
                    ? QLatin1Char('1')
                    : QLatin1Char('0');
    return text;
}

void ClickUpArrow(QSpinBox* spin)
{
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.subControls = QStyle::SC_All;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = true;
    const QRect up =
        spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin);
    QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
}

} // namespace

class TestWirelessOperationalSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void channelRules_data();
    void channelRules();
    void fillingChannelList_data();
    void fillingChannelList();
    void okStoresChannel_data();
    void okStoresChannel();
    void rateText_data();
    void rateText();
    void ratesThroughTheForm_data();
    void ratesThroughTheForm();
    void rateBoxCoupling();
    void upDownStepsBy64();
    void okStoresEveryValue();
    void okRefusesBadValues_data();
    void okRefusesBadValues();
    void cancelAndCloseBoxStoreNothing();
    void joinedBssReplacesUnconfirmedEdits();
    void downloadThroughApsim();

private:
    CWireLessOperationalSettings* OpenForm();

    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestWirelessOperationalSettings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestWirelessOperationalSettings::init()
{
    FormFixture::ResetMessages();
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    PrepareCache(m_frame->Session());
}

void TestWirelessOperationalSettings::cleanup()
{
    m_frame.reset();
    CMessageBox::clearNextAnswer();
}

CWireLessOperationalSettings* TestWirelessOperationalSettings::OpenForm()
{
    return FormFixture::Open<CWireLessOperationalSettings>(*m_frame,
                                                           FormWirelessOperationalSettings);
}

void TestWirelessOperationalSettings::channelRules_data()
{
    QTest::addColumn<int>("domain");
    QTest::addColumn<quint32>("channel");
    QTest::addColumn<int>("fit");
    QTest::addColumn<int>("index");
    QTest::newRow("FCC 11") << kFcc << 11u << int(ChannelSelection::Fits) << 10;
    QTest::newRow("FCC 12") << kFcc << 12u << int(ChannelSelection::Mismatch) << -1;
    QTest::newRow("FCC 0: no index, no mismatch")
        << kFcc << 0u << int(ChannelSelection::Fits) << -1;
    QTest::newRow("DOC 1") << kDoc << 1u << int(ChannelSelection::Fits) << 0;
    QTest::newRow("ETSI 13") << kEtsi << 13u << int(ChannelSelection::Fits) << 12;
    QTest::newRow("ETSI 14") << kEtsi << 14u << int(ChannelSelection::Mismatch) << -1;
    QTest::newRow("SPAIN 9") << kSpain << 9u << int(ChannelSelection::Mismatch) << -1;
    QTest::newRow("SPAIN 11") << kSpain << 11u << int(ChannelSelection::Fits) << 1;
    QTest::newRow("SPAIN 12") << kSpain << 12u << int(ChannelSelection::Mismatch) << -1;
    QTest::newRow("FRANCE 13") << kFrance << 13u << int(ChannelSelection::Fits) << 3;
    QTest::newRow("MKK 14") << kMkk << 14u << int(ChannelSelection::Fits) << 0;
    QTest::newRow("MKK 13") << kMkk << 13u << int(ChannelSelection::Mismatch) << -1;
    QTest::newRow("MKK1 14") << kMkk1 << 14u << int(ChannelSelection::Fits) << 13;
    QTest::newRow("MKK1 15: no check") << kMkk1 << 15u << int(ChannelSelection::Fits) << -1;
    QTest::newRow("MKK1 huge") << kMkk1 << 0xFFFFFFFFu << int(ChannelSelection::Fits) << -1;
    QTest::newRow("unknown") << 0x55 << 3u << int(ChannelSelection::UnknownDomain) << -1;
}

void TestWirelessOperationalSettings::channelRules()
{
    QFETCH(int, domain);
    QFETCH(quint32, channel);
    QFETCH(int, fit);
    QFETCH(int, index);
    const ChannelSelection selection = SelectionForChannel(domain, channel);
    QCOMPARE(int(selection.fit), fit);
    QCOMPARE(selection.index, index);
    // The way back: the selected entry names the same channel.
    if (index >= 0) {
        QCOMPARE(ChannelForIndex(domain, index).value_or(0), channel);
        QCOMPARE(ChannelEntries(domain).at(index), QStringLiteral("Channel %1").arg(channel));
    }
}

void TestWirelessOperationalSettings::fillingChannelList_data()
{
    QTest::addColumn<int>("domain");
    QTest::addColumn<quint32>("channel");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("domainName");
    QTest::addColumn<QString>("message");
    QTest::newRow("SPAIN with channel 12")
        << kSpain << 12u << QStringList{"Channel 10", "Channel 11"} << -1 << "SPAIN"
        << QString::fromLatin1(kMismatch);
    QTest::newRow("FCC with channel 0")
        << kFcc << 0u << ChannelEntries(kFcc) << -1 << "FCC" << QString();
    QTest::newRow("MKK with channel 14")
        << kMkk << 14u << QStringList{"Channel 14"} << 0 << "MKK" << QString();
    QTest::newRow("FRANCE with channel 12")
        << kFrance << 12u << QStringList{"Channel 10", "Channel 11", "Channel 12", "Channel 13"}
        << 2 << "FRANCE" << QString();
    QTest::newRow("ETSI with channel 13")
        << kEtsi << 13u << ChannelEntries(kEtsi) << 12 << "ETSI" << QString();
    QTest::newRow("DOC with channel 12")
        << kDoc << 12u << ChannelEntries(kDoc) << -1 << "DOC" << QString::fromLatin1(kMismatch);
    QTest::newRow("MKK1 with channel 15")
        << kMkk1 << 15u << ChannelEntries(kMkk1) << -1 << "MKK1" << QString();
    QTest::newRow("unknown domain")
        << 0x99 << 6u << QStringList{} << -1 << QString() << QString::fromLatin1(kUnknownDomain);
}

void TestWirelessOperationalSettings::fillingChannelList()
{
    QFETCH(int, domain);
    QFETCH(quint32, channel);
    QFETCH(QStringList, entries);
    QFETCH(int, selected);
    QFETCH(QString, domainName);
    QFETCH(QString, message);
    m_frame->Session().m_regulatoryDomain = domain;
    m_frame->Session().operChannelID = channel;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    auto* combo = Child<QComboBox>(form, "channelCombo");
    QCOMPARE(ComboEntries(combo), entries);
    QCOMPARE(combo->currentIndex(), selected);
    QCOMPARE(Child<QLineEdit>(form, "regulatoryDomainEdit")->text(), domainName);
    QCOMPARE(CMessageBox::shownTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Plain});
}

void TestWirelessOperationalSettings::okStoresChannel_data()
{
    QTest::addColumn<int>("domain");
    QTest::addColumn<quint32>("cached");
    QTest::addColumn<int>("select"); // -2: leave the list as filled
    QTest::addColumn<quint32>("stored");
    QTest::newRow("FRANCE, Channel 12 picked") << kFrance << 10u << 2 << 12u;
    QTest::newRow("SPAIN, Channel 11 picked") << kSpain << 10u << 1 << 11u;
    QTest::newRow("MKK 14 unchanged") << kMkk << 14u << -2 << 14u;
    QTest::newRow("ETSI, Channel 1 picked") << kEtsi << 13u << 0 << 1u;
    QTest::newRow("MKK1, Channel 14 picked") << kMkk1 << 3u << 13 << 14u;
    // Without a selection the cached channel stays (no 0, 9 or 13 made up).
    QTest::newRow("SPAIN 12, nothing selected") << kSpain << 12u << -2 << 12u;
    QTest::newRow("FCC 0, nothing selected") << kFcc << 0u << -2 << 0u;
    QTest::newRow("MKK 3, nothing selected") << kMkk << 3u << -2 << 3u;
    QTest::newRow("unknown domain keeps the channel") << 0x77 << 7u << -2 << 7u;
}

void TestWirelessOperationalSettings::okStoresChannel()
{
    QFETCH(int, domain);
    QFETCH(quint32, cached);
    QFETCH(int, select);
    QFETCH(quint32, stored);
    m_frame->Session().m_regulatoryDomain = domain;
    m_frame->Session().operChannelID = cached;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    auto* combo = Child<QComboBox>(form, "channelCombo");
    if (select >= 0) {
        // Pick the entry as a user does: open the list, choose, confirm.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < select; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), select);
    }
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormWirelessOperationalSettings));
    QCOMPARE(m_frame->Session().operChannelID, stored);
}

void TestWirelessOperationalSettings::rateText_data()
{
    QTest::addColumn<QString>("cached");
    QTest::addColumn<QString>("boxes");
    QTest::addColumn<QString>("written");
    QTest::newRow("all four, 1 and 2 basic") << "82840B16"
                                             << "1111/1100"
                                             << "82840B16";
    QTest::newRow("lower-case 0b matches nothing") << "82840b16"
                                                   << "1101/1100"
                                                   << "828416";
    QTest::newRow("odd length: last character ignored") << "828400"
                                                        << "1100/1100"
                                                        << "8284";
    QTest::newRow("odd length, single 0 at the end") << "82840"
                                                     << "1100/1100"
                                                     << "8284";
    QTest::newRow("all basic, other order") << "968B8482"
                                            << "1111/1111"
                                            << "82848B96";
    QTest::newRow("unknown pairs skipped") << "FF0416XX"
                                           << "0101/0000"
                                           << "0416";
    QTest::newRow("basic and supported of one rate") << "0282"
                                                     << "1000/1000"
                                                     << "82";
    QTest::newRow("empty") << ""
                           << "0000/0000"
                           << "";
}

void TestWirelessOperationalSettings::rateText()
{
    QFETCH(QString, cached);
    QFETCH(QString, boxes);
    QFETCH(QString, written);
    const RateBoxes parsed = RatesFromText(cached);
    QString text;
    for (bool b : parsed.supported)
        text += b ? QLatin1Char('1') : QLatin1Char('0');
    text += QLatin1Char('/');
    for (bool b : parsed.basic)
        text += b ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(text, boxes);
    QCOMPARE(RatesToText(parsed), written);
}

void TestWirelessOperationalSettings::ratesThroughTheForm_data()
{
    rateText_data();
}

void TestWirelessOperationalSettings::ratesThroughTheForm()
{
    QFETCH(QString, cached);
    QFETCH(QString, boxes);
    QFETCH(QString, written);
    m_frame->Session().operBasicRates = cached;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(RateBoxesText(form), boxes);
    QVERIFY(form->OnOk());
    QCOMPARE(m_frame->Session().operBasicRates, written);
}

void TestWirelessOperationalSettings::rateBoxCoupling()
{
    m_frame->Session().operBasicRates = QStringLiteral("82840B16");
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(RateBoxesText(form), QStringLiteral("1111/1100"));
    // Clearing Supported 2 clears Basic 2.
    FormFixture::Click(Child<QCheckBox>(form, "supported2Check"));
    QCOMPARE(RateBoxesText(form), QStringLiteral("1011/1000"));
    // Checking Basic 11 checks Supported 11 (already checked) ...
    FormFixture::Click(Child<QCheckBox>(form, "basic11Check"));
    QCOMPARE(RateBoxesText(form), QStringLiteral("1011/1001"));
    // ... and checking Basic 2 checks Supported 2 again.
    FormFixture::Click(Child<QCheckBox>(form, "basic2Check"));
    QCOMPARE(RateBoxesText(form), QStringLiteral("1111/1101"));
    // Clearing and checking Supported 5.5 leaves Basic 5.5 as it was.
    FormFixture::Click(Child<QCheckBox>(form, "supported55Check"));
    FormFixture::Click(Child<QCheckBox>(form, "supported55Check"));
    QCOMPARE(RateBoxesText(form), QStringLiteral("1111/1101"));
    // Clearing a Basic box leaves its Supported box.
    FormFixture::Click(Child<QCheckBox>(form, "basic1Check"));
    QCOMPARE(RateBoxesText(form), QStringLiteral("1111/0101"));
    QVERIFY(form->OnOk());
    QCOMPARE(m_frame->Session().operBasicRates, QStringLiteral("02840B96"));
}

void TestWirelessOperationalSettings::upDownStepsBy64()
{
    m_frame->Session().operFragmentationThreshold = 256;
    m_frame->Session().operRTSThreshold = 0;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    auto* fragmentation = Child<CThresholdSpinBox>(form, "fragmentationSpin");
    auto* rts = Child<CThresholdSpinBox>(form, "rtsSpin");
    QCOMPARE(fragmentation->text(), QStringLiteral("256"));
    ClickUpArrow(fragmentation);
    QCOMPARE(fragmentation->text(), QStringLiteral("320"));
    fragmentation->setFocus();
    QTest::keyClick(fragmentation, Qt::Key_Up);
    QCOMPARE(fragmentation->text(), QStringLiteral("384"));
    QTest::keyClick(fragmentation, Qt::Key_Down);
    QTest::keyClick(fragmentation, Qt::Key_Down);
    QTest::keyClick(fragmentation, Qt::Key_Down); // would be 192: the range stops it
    QCOMPARE(fragmentation->text(), QStringLiteral("256"));
    // Near the top the control stops at the end of its range.
    fragmentation->setValue(2300);
    QTest::keyClick(fragmentation, Qt::Key_Up);
    QCOMPARE(fragmentation->text(), QStringLiteral("2346"));
    rts->setFocus();
    QTest::keyClick(rts, Qt::Key_Down);
    QCOMPARE(rts->text(), QStringLiteral("0"));
    QTest::keyClick(rts, Qt::Key_Up);
    QCOMPARE(rts->text(), QStringLiteral("64"));
    rts->setValue(2300);
    QTest::keyClick(rts, Qt::Key_Up);
    QCOMPARE(rts->text(), QStringLiteral("2347"));
    QVERIFY(form->OnOk());
    QCOMPARE(m_frame->Session().operFragmentationThreshold, 2346u);
    QCOMPARE(m_frame->Session().operRTSThreshold, 2347u);
}

void TestWirelessOperationalSettings::okStoresEveryValue()
{
    CDeviceSession& s = m_frame->Session();
    s.operAntennaSettings = 0x0102; // only the low byte counts: right antenna
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    // What the cache shows.
    QCOMPARE(Child<QLineEdit>(form, "accessPointNameEdit")->text(), QStringLiteral("Pier 4"));
    QCOMPARE(Child<QLineEdit>(form, "essidEdit")->text(), QStringLiteral("Harbour"));
    QCOMPARE(Child<QComboBox>(form, "channelCombo")->currentText(), QStringLiteral("Channel 6"));
    QVERIFY(!Child<QCheckBox>(form, "ssidBroadcastingCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(form, "autoRateFallBackCheck")->isChecked());
    QVERIFY(Child<QCheckBox>(form, "interRoamingCheck")->isChecked());
    QVERIFY(Child<QRadioButton>(form, "bothRadio")->isChecked());
    QVERIFY(Child<QRadioButton>(form, "longPreambleRadio")->isChecked());
    QVERIFY(Child<QRadioButton>(form, "rightAntennaRadio")->isChecked());
    QVERIFY(!Child<QWidget>(form, "antennaBox")->isVisible());
    QCOMPARE(Child<QSpinBox>(form, "rtsSpin")->text(), QStringLiteral("2347"));

    // Change everything a user can change.
    auto* name = Child<QLineEdit>(form, "accessPointNameEdit");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Pier 5"));
    auto* essid = Child<QLineEdit>(form, "essidEdit");
    essid->selectAll();
    QTest::keyClicks(essid, QStringLiteral("Harbour-West"));
    FormFixture::Click(Child<QCheckBox>(form, "ssidBroadcastingCheck"));
    FormFixture::Click(Child<QCheckBox>(form, "autoRateFallBackCheck"));
    FormFixture::Click(Child<QCheckBox>(form, "interRoamingCheck"));
    FormFixture::Click(Child<QRadioButton>(form, "sharedKeyRadio"));
    FormFixture::Click(Child<QRadioButton>(form, "shortPreambleRadio"));
    auto* rts = Child<QSpinBox>(form, "rtsSpin");
    rts->setFocus();
    rts->selectAll();
    QTest::keyClicks(rts, QStringLiteral("500"));
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormWirelessOperationalSettings));

    QCOMPARE(s.operAccessPointName, QStringLiteral("Pier 5"));
    QCOMPARE(s.operESSID, QStringLiteral("Harbour-West"));
    QCOMPARE(s.operChannelID, 6u);
    QCOMPARE(s.operSSIDBroadcasting, 1u);
    QCOMPARE(s.operAutoRateFallBack, 2u);
    QCOMPARE(s.operInterRoaming, 2u);
    QCOMPARE(s.operAuthenticationType, 2u);
    QCOMPARE(s.operPreambleType, 1u);
    QCOMPARE(s.operRTSThreshold, 500u);
    QCOMPARE(s.operFragmentationThreshold, 2346u);
    QCOMPARE(s.operAntennaSettings, 2u);
    QCOMPARE(s.operBasicRates, QStringLiteral("82840B16"));
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestWirelessOperationalSettings::okRefusesBadValues_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text"); // typed into the control; empty: cached value stays
    QTest::addColumn<quint32>("cachedRts");
    QTest::addColumn<QString>("message");
    const QString longText(33, QLatin1Char('x'));
    QTest::newRow("cached RTS 3000")
        << "rtsSpin" << QString() << 3000u << "Please enter an integer between 0 and 2347.";
    QTest::newRow("RTS 2348") << "rtsSpin"
                              << "2348" << 100u << "Please enter an integer between 0 and 2347.";
    QTest::newRow("fragmentation 255")
        << "fragmentationSpin"
        << "255" << 100u << "Please enter an integer between 256 and 2346.";
    QTest::newRow("fragmentation 2347")
        << "fragmentationSpin"
        << "2347" << 100u << "Please enter an integer between 256 and 2346.";
    QTest::newRow("fragmentation empty") << "fragmentationSpin"
                                         << "\b" << 100u << "Please enter a positive integer.";
    QTest::newRow("name of 33") << "accessPointNameEdit" << longText << 100u
                                << "Please enter no more than 32 characters.";
    QTest::newRow("ESSID of 33") << "essidEdit" << longText << 100u
                                 << "Please enter no more than 32 characters.";
}

void TestWirelessOperationalSettings::okRefusesBadValues()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(quint32, cachedRts);
    QFETCH(QString, message);
    CDeviceSession& s = m_frame->Session();
    s.operRTSThreshold = cachedRts;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    // A change that would be stored if OK went through.
    FormFixture::Click(Child<QCheckBox>(form, "ssidBroadcastingCheck"));
    auto* widget = Child<QWidget>(form, control.toLatin1().constData());
    if (cachedRts > 2347)
        QCOMPARE(Child<QSpinBox>(form, "rtsSpin")->text(), QString::number(cachedRts));
    if (!text.isEmpty()) {
        widget->setFocus();
        if (auto* spin = qobject_cast<QSpinBox*>(widget))
            spin->selectAll();
        else
            static_cast<QLineEdit*>(widget)->selectAll();
        if (text == QLatin1String("\b"))
            QTest::keyClick(widget, Qt::Key_Backspace);
        else
            QTest::keyClicks(widget, text);
    }
    // OK through the code path (a click would first let the spin box
    // correct an empty field when it loses the focus).
    QVERIFY(!form->OnOk());
    QCOMPARE(CMessageBox::shownTexts(), QStringList{message});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Exclamation});
    QWidget* focus = widget->window()->focusWidget();
    QVERIFY(focus == widget || widget->isAncestorOf(focus));
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormWirelessOperationalSettings));
    // Nothing was stored.
    QCOMPARE(s.operSSIDBroadcasting, 2u);
    QCOMPARE(s.operRTSThreshold, cachedRts);
    QCOMPARE(s.operAccessPointName, QStringLiteral("Pier 4"));
    QCOMPARE(s.operESSID, QStringLiteral("Harbour"));
    QCOMPARE(s.operFragmentationThreshold, 2346u);
}

void TestWirelessOperationalSettings::cancelAndCloseBoxStoreNothing()
{
    CDeviceSession& s = m_frame->Session();
    for (bool closeBox : {false, true}) {
        CWireLessOperationalSettings* form = OpenForm();
        QVERIFY(form);
        auto* essid = Child<QLineEdit>(form, "essidEdit");
        essid->selectAll();
        QTest::keyClicks(essid, QStringLiteral("Changed"));
        FormFixture::Click(Child<QCheckBox>(form, "basic11Check"));
        if (closeBox)
            m_frame->FormChild(FormWirelessOperationalSettings)->close();
        else
            FormFixture::Click(Child<QPushButton>(form, "cancelButton"));
        QVERIFY(FormFixture::WaitClosed(*m_frame, FormWirelessOperationalSettings));
        QCOMPARE(s.operESSID, QStringLiteral("Harbour"));
        QCOMPARE(s.operBasicRates, QStringLiteral("82840B16"));
    }
}

void TestWirelessOperationalSettings::joinedBssReplacesUnconfirmedEdits()
{
    m_frame->Session().m_regulatoryDomain = kFrance;
    m_frame->Session().operChannelID = 10;
    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    auto* name = Child<QLineEdit>(form, "accessPointNameEdit");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("typed, not confirmed"));
    form->ApplyJoinedBss(QStringLiteral("Far"), 13);
    QCOMPARE(Child<QLineEdit>(form, "essidEdit")->text(), QStringLiteral("Far"));
    QCOMPARE(Child<QComboBox>(form, "channelCombo")->currentText(), QStringLiteral("Channel 13"));
    QCOMPARE(name->text(), QStringLiteral("Pier 4"));
    // A channel outside the list leaves it without a selection.
    form->ApplyJoinedBss(QStringLiteral("Near"), 3);
    QCOMPARE(Child<QComboBox>(form, "channelCombo")->currentIndex(), -1);
    QVERIFY(form->OnOk());
    QCOMPARE(m_frame->Session().operESSID, QStringLiteral("Near"));
    QCOMPARE(m_frame->Session().operChannelID, 10u);
}

void TestWirelessOperationalSettings::downloadThroughApsim()
{
    // Read from the device, edit in the form, Download Changes, read back.
    m_frame.reset();
    const quint16 port = FormFixture::FreePort();
    ApsimProcess ap(QStringLiteral(QX_BIN_DIR));
    QVERIFY(FormFixture::StartApsim(ap, QStringLiteral("127.0.0.21"), port));
    m_frame = FormFixture::Frame(false, port);
    QVERIFY(m_frame);
    FormFixture::Attach(*m_frame, QStringLiteral("127.0.0.21"));
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration done"));
    CMessageBox::clearShown();

    CWireLessOperationalSettings* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(Child<QLineEdit>(form, "essidEdit")->text(), FormFixture::ApsimValue(ap, "operESSID"));
    QVERIFY(CMessageBox::shownTexts().isEmpty()); // the device's channel fits its domain
    auto* essid = Child<QLineEdit>(form, "essidEdit");
    essid->selectAll();
    QTest::keyClicks(essid, QStringLiteral("Dock-9"));
    auto* combo = Child<QComboBox>(form, "channelCombo");
    combo->setCurrentIndex(combo->count() - 1);
    FormFixture::Click(Child<QCheckBox>(form, "basic11Check"));
    FormFixture::Click(Child<QCheckBox>(form, "supported2Check"));
    const QString channel = combo->currentText().mid(8);
    const QByteArray expectedRates =
        RatesToText(RatesFromText(m_frame->Session().operBasicRates)).toLatin1();
    QVERIFY(!expectedRates.isEmpty());
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormWirelessOperationalSettings));

    CMessageBox::setNextAnswer(QMessageBox::Yes);
    m_frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Configuration done"));
    QCOMPARE(FormFixture::ApsimValue(ap, "operESSID"), QStringLiteral("Dock-9"));
    QCOMPARE(FormFixture::ApsimValue(ap, "operChannelID"), channel);
    QCOMPARE(FormFixture::ApsimValue(ap, "operBasicRates").toUpper(),
             m_frame->Session().operBasicRates);
    QVERIFY(!m_frame->Session().operBasicRates.contains(QLatin1String("04")));
    QVERIFY(!m_frame->Session().operBasicRates.contains(QLatin1String("84")));
    QVERIFY(m_frame->Session().operBasicRates.endsWith(QLatin1String("96")));
}

QTEST_MAIN(TestWirelessOperationalSettings)
#include "tst_wireless_operational_settings.moc"
