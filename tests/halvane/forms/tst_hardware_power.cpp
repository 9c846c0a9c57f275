// The hardware configuration and power regulator forms: their checks, what
// they show for a cached record, and Set against apsim, with SNMP_CR17.ini
// on the first and later Sets and "Restore Default".
#include "device_fixture.h"
#include "hardware_configuration.h"
#include "masked_edit.h"
#include "radio_configuration.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>

namespace
{

const QString kAddress = QStringLiteral("127.0.0.32");
using Values = CHardwareConfiguration::Values;

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QStringList Entries(QComboBox* combo)
{
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    return entries;
}

Values Valid()
{
    Values v;
    v.mac = QStringLiteral("00A0F8123456");
    v.domainIndex = 2; // ETSI
    v.channelIndex = 5;
    v.productType = QStringLiteral("7");
    v.productName = QStringLiteral("Bridge");
    v.oemId = QStringLiteral("-3");
    v.oemName = QStringLiteral("OEM");
    v.hardwareRevision = QStringLiteral("2");
    return v;
}

// A radio record whose CR17 of every channel is cr17 and whose other 33
// octets count up from 0x20.
QString RadioRecord(const QString& cr17)
{
    QString text = cr17.repeated(14);
    for (int n = 0; n < 33; ++n)
        text += QStringLiteral("%1").arg(0x20 + n, 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

} // namespace

class TestHardwarePower : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void hardwareChecks_data();
    void hardwareChecks();
    void hardwarePopulate_data();
    void hardwarePopulate();
    void hardwareSetAgainstApsim();
    void hardwareSetRefusals();

    void sliderPositions_data();
    void sliderPositions();
    void powerSetWritesAllChannels_data();
    void powerSetWritesAllChannels();
    void cr17FileOnFirstAndSecondSet();
    void restoreDefaultWithoutFile();
    void powerSetRefusalsAndFailure();

private:
    bool Connect(int authority = 1);
    // Puts a radio record on the device and reads the configuration again.
    bool DeviceRadio(const QString& record);

    QTemporaryDir m_dir;
    std::unique_ptr<ApsimProcess> m_ap;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestHardwarePower::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestHardwarePower::init()
{
    FormFixture::ResetMessages();
    // Questions are answered Yes.
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    QFile::remove(CRadioConfiguration::SettingsPath());
}

void TestHardwarePower::cleanup()
{
    m_frame.reset();
    m_ap.reset();
}

bool TestHardwarePower::Connect(int authority)
{
    m_ap = std::make_unique<ApsimProcess>(QStringLiteral(QX_BIN_DIR));
    m_frame =
        DeviceFixture::Connect(*m_ap, kAddress, {}, authority,
                               authority ? QStringLiteral("private") : QStringLiteral("public"));
    return m_frame != nullptr;
}

bool TestHardwarePower::DeviceRadio(const QString& record)
{
    if (!FormFixture::Control(*m_ap, "set TestModeRadioConfiguration " + record.toLatin1())
             .startsWith(QLatin1String("ok")))
        return false;
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    return m_frame->Session().TestModeRadioConfiguration == record;
}

void TestHardwarePower::hardwareChecks_data()
{
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("error");

    QTest::newRow("valid") << "00A0F8123456" << 2 << 5 << "";
    QTest::newRow("lower case") << "00a0f8abcdef" << 2 << 5 << "";
    QTest::newRow("10 characters") << "00A0F81234" << 2 << 5 << "Invalid Mac";
    QTest::newRow("length before domain") << "00A0F81234" << -1 << -1 << "Invalid Mac";
    QTest::newRow("no domain") << "00A0F8123456" << -1 << 0 << "Invalid Regulatory Domain";
    QTest::newRow("no channel") << "00A0F8123456" << 3 << -1 << "Invalid Channel";
    QTest::newRow("SPAIN has two channels") << "00A0F8123456" << 3 << 2 << "Invalid Channel";
    QTest::newRow("G in the last pair") << "00A0B1C2D3G4" << 2 << 5 << "Invalid Mac Address";
    QTest::newRow("blank inside") << "00A0B1C2D3 4" << 2 << 5 << "Invalid Mac Address";
}

void TestHardwarePower::hardwareChecks()
{
    QFETCH(QString, mac);
    QFETCH(int, domain);
    QFETCH(int, channel);
    QFETCH(QString, error);
    Values v = Valid();
    v.mac = mac;
    v.domainIndex = domain;
    v.channelIndex = channel;
    QCOMPARE(CHardwareConfiguration::CheckValues(v), error);

    // The exchange rules come first: signed integers, texts of 31.
    QVERIFY(CHardwareConfiguration::CheckExchange(Valid()).isEmpty());
    Values bad = Valid();
    bad.oemId = QStringLiteral("12x");
    int field = -1;
    QCOMPARE(CHardwareConfiguration::CheckExchange(bad, &field),
             QStringLiteral("Please enter an integer."));
    QCOMPARE(field, 2);
    bad = Valid();
    bad.productName = QString(32, QLatin1Char('n'));
    QCOMPARE(CHardwareConfiguration::CheckExchange(bad, &field),
             QStringLiteral("Please enter no more than 31 characters."));
    QCOMPARE(field, 1);
    bad = Valid();
    bad.hardwareRevision = QStringLiteral("2147483648");
    QVERIFY(!CHardwareConfiguration::CheckExchange(bad).isEmpty());
}

void TestHardwarePower::hardwarePopulate_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("domainShown");
    QTest::addColumn<QStringList>("channels");
    QTest::addColumn<QString>("channelShown");

    QTest::newRow("ETSI 13") << 0x30 << 13 << "ETSI"
                             << QStringList{"Channel 1", "Channel 2",  "Channel 3",  "Channel 4",
                                            "Channel 5", "Channel 6",  "Channel 7",  "Channel 8",
                                            "Channel 9", "Channel 10", "Channel 11", "Channel 12",
                                            "Channel 13"}
                             << "Channel 13";
    QTest::newRow("SPAIN 11") << 0x31 << 11 << "SPAIN" << QStringList{"Channel 10", "Channel 11"}
                              << "Channel 11";
    QTest::newRow("MKK 14") << 0x40 << 14 << "MKK" << QStringList{"Channel 14"} << "Channel 14";
    QTest::newRow("FCC 13 is outside")
        << 0x10 << 13 << "FCC" << QStringList{"Channel 1", "Channel 2",  "Channel 3", "Channel 4",
                                              "Channel 5", "Channel 6",  "Channel 7", "Channel 8",
                                              "Channel 9", "Channel 10", "Channel 11"}
        << "";
    QTest::newRow("FRANCE 2 is outside")
        << 0x32 << 2 << "FRANCE"
        << QStringList{"Channel 10", "Channel 11", "Channel 12", "Channel 13"} << "";
    QTest::newRow("unknown code") << 0x55 << 3 << "" << QStringList{} << "";
}

void TestHardwarePower::hardwarePopulate()
{
    QFETCH(int, code);
    QFETCH(int, channel);
    QFETCH(QString, domainShown);
    QFETCH(QStringList, channels);
    QFETCH(QString, channelShown);

    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    auto& record = m_frame->Session().sysDeviceInfo;
    record.fill(0);
    const quint8 mac[] = {0x00, 0xA0, 0xF8, 0xAB, 0xCD, 0xEF};
    std::copy(std::begin(mac), std::end(mac), record.begin() + 4);
    record[10] = quint8(channel);
    record[11] = quint8(code);
    record[12] = 0xFE; // product type -2
    record[13] = record[14] = record[15] = 0xFF;
    const QByteArray oem("ZELCORA");
    std::copy(oem.begin(), oem.end(), record.begin() + 16);
    record[48] = 42;
    const QByteArray product("Outdoor unit");
    std::copy(product.begin(), product.end(), record.begin() + 52);
    record[84] = 3;

    auto* form = FormFixture::Open<CHardwareConfiguration>(*m_frame, FormHardwareConfiguration);
    QVERIFY(form);
    QCOMPARE(Entries(Child<QComboBox>(form, "domainCombo")),
             (QStringList{"FCC", "DOC", "ETSI", "SPAIN", "FRANCE", "MKK", "MKK1"}));
    QCOMPARE(Child<QComboBox>(form, "domainCombo")->currentText(), domainShown);
    QCOMPARE(Entries(Child<QComboBox>(form, "channelCombo")), channels);
    QCOMPARE(Child<QComboBox>(form, "channelCombo")->currentText(), channelShown);
    QCOMPARE(Child<CMSMask>(form, "macEdit")->Text(), QStringLiteral("00A0F8ABCDEF"));
    QCOMPARE(Child<CMSMask>(form, "macEdit")->displayText(), QStringLiteral("00 A0 F8 AB CD EF"));
    QCOMPARE(Child<QLineEdit>(form, "productTypeEdit")->text(), QStringLiteral("-2"));
    QCOMPARE(Child<QLineEdit>(form, "oemNameEdit")->text(), QStringLiteral("ZELCORA"));
    QCOMPARE(Child<QLineEdit>(form, "oemIdEdit")->text(), QStringLiteral("42"));
    QCOMPARE(Child<QLineEdit>(form, "productNameEdit")->text(), QStringLiteral("Outdoor unit"));
    QCOMPARE(Child<QLineEdit>(form, "hardwareRevisionEdit")->text(), QStringLiteral("3"));
}

void TestHardwarePower::hardwareSetAgainstApsim()
{
    QVERIFY(Connect());
    auto* form = FormFixture::Open<CHardwareConfiguration>(*m_frame, FormHardwareConfiguration);
    QVERIFY(form);
    const QByteArray before = CDeviceSession::BlockBytes(m_frame->Session().sysDeviceInfo);

    // SPAIN chosen: the channel list changes and nothing is selected.
    auto* domain = Child<QComboBox>(form, "domainCombo");
    domain->setCurrentIndex(3);
    Q_EMIT domain->activated(3);
    auto* channel = Child<QComboBox>(form, "channelCombo");
    QCOMPARE(Entries(channel), (QStringList{"Channel 10", "Channel 11"}));
    QCOMPARE(channel->currentIndex(), -1);
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(),
             (QStringList{"Do you want to Set these values?", "Invalid Channel"}));
    QCOMPARE(CDeviceSession::BlockBytes(m_frame->Session().sysDeviceInfo), before);

    CMessageBox::clearShown();
    channel->setCurrentIndex(1);
    Child<CMSMask>(form, "macEdit")->SetText(QStringLiteral("00a0f8beef01"));
    Child<QLineEdit>(form, "productNameEdit")->setText(QStringLiteral("Roof unit"));
    Child<QLineEdit>(form, "oemIdEdit")->setText(QStringLiteral("-7"));
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Do you want to Set these values?"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Question});
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Hardware Configuration Done"));
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormHardwareConfiguration));

    const QByteArray device = QByteArray::fromHex(
        FormFixture::ApsimValue(*m_ap, QStringLiteral("sysDeviceInfo")).toLatin1());
    QCOMPARE(device.size(), 92);
    QCOMPARE(device.mid(4, 6), QByteArray::fromHex("00A0F8BEEF01"));
    QCOMPARE(quint8(device[10]), quint8(11));
    QCOMPARE(quint8(device[11]), quint8(0x31));
    QCOMPARE(device.mid(52, 10), QByteArray("Roof unit\0", 10));
    QCOMPARE(device.mid(48, 4), QByteArray::fromHex("F9FFFFFF"));
    // Bytes the form does not show go back as they were read.
    QCOMPARE(device.left(4), before.left(4));
    QCOMPARE(device.mid(88), before.mid(88));
}

void TestHardwarePower::hardwareSetRefusals()
{
    QVERIFY(Connect(0));
    auto* form = FormFixture::Open<CHardwareConfiguration>(*m_frame, FormHardwareConfiguration);
    QVERIFY(form);
    const QByteArray before = CDeviceSession::BlockBytes(m_frame->Session().sysDeviceInfo);
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"You are not authorized for this action"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Stop});

    // As Administrator: a broken number stops before the question, "No"
    // stops after it, a bad address is named; nothing is stored or sent.
    m_frame->Session().m_authority = 1;
    CMessageBox::clearShown();
    Child<QLineEdit>(form, "productTypeEdit")->setText(QStringLiteral("twelve"));
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Please enter an integer."});
    Child<QLineEdit>(form, "productTypeEdit")->setText(QStringLiteral("12"));

    CMessageBox::clearShown();
    CMessageBox::setNextAnswer(QMessageBox::No);
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Do you want to Set these values?"});

    CMessageBox::clearShown();
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    Child<CMSMask>(form, "macEdit")->SetText(QStringLiteral("00A0B1C2D3G4"));
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(),
             (QStringList{"Do you want to Set these values?", "Invalid Mac Address"}));
    Child<CMSMask>(form, "macEdit")->SetText(QStringLiteral("00A0B1C2D3"));
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts().last(), QStringLiteral("Invalid Mac"));
    QCOMPARE(CDeviceSession::BlockBytes(m_frame->Session().sysDeviceInfo), before);
    QCOMPARE(QByteArray::fromHex(
                 FormFixture::ApsimValue(*m_ap, QStringLiteral("sysDeviceInfo")).toLatin1()),
             before);
}

void TestHardwarePower::sliderPositions_data()
{
    QTest::addColumn<QString>("cr17");
    QTest::addColumn<int>("position");
    QTest::newRow("00") << "00" << 0;
    QTest::newRow("31") << "31" << 0; // 49
    QTest::newRow("33") << "33" << 1; // 51
    QTest::newRow("65") << "65" << 1; // 101
    QTest::newRow("66") << "66" << 2; // 102
    QTest::newRow("80") << "80" << 2;
    QTest::newRow("99") << "99" << 3;
    QTest::newRow("CC") << "CC" << 4;
    QTest::newRow("FE") << "FE" << 4;
    QTest::newRow("FF") << "FF" << 5;
    QTest::newRow("not hexadecimal") << "G0" << 0;
    QTest::newRow("missing") << "" << 0;
}

void TestHardwarePower::sliderPositions()
{
    QFETCH(QString, cr17);
    QFETCH(int, position);
    QCOMPARE(CRadioConfiguration::PositionOf(cr17), position);
    const QStringList table = {"00", "31", "65", "99", "CC", "FF"};
    for (int p = 0; p < 6; ++p)
        QCOMPARE(CRadioConfiguration::PowerText(p), table[p]);
}

void TestHardwarePower::powerSetWritesAllChannels_data()
{
    QTest::addColumn<QString>("cr17");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("moveTo"); // -1: the slider is not moved
    QTest::addColumn<QString>("written");
    QTest::newRow("0x31 stays at 0") << "31" << 0 << -1 << "00";
    QTest::newRow("0x80 stays at 2") << "80" << 2 << -1 << "65";
    QTest::newRow("moved to High") << "80" << 2 << 5 << "FF";
    QTest::newRow("moved to 4") << "00" << 0 << 4 << "CC";
}

void TestHardwarePower::powerSetWritesAllChannels()
{
    QFETCH(QString, cr17);
    QFETCH(int, position);
    QFETCH(int, moveTo);
    QFETCH(QString, written);
    QVERIFY(Connect());
    QVERIFY(DeviceRadio(RadioRecord(cr17)));
    auto* form = FormFixture::Open<CRadioConfiguration>(*m_frame, FormRadioConfiguration);
    QVERIFY(form);
    auto* slider = Child<QSlider>(form, "powerSlider");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 5);
    QCOMPARE(slider->tickInterval(), 1);
    QCOMPARE(slider->value(), position);
    if (moveTo >= 0) {
        slider->setFocus();
        while (slider->value() != moveTo)
            QTest::keyClick(slider, moveTo > slider->value() ? Qt::Key_Right : Qt::Key_Left);
    }
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Do you want to Set these values?"});
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Radio Configuration Done"));
    QCOMPARE(m_frame->Session().TestModeRadioConfiguration, RadioRecord(written));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeRadioConfiguration")),
             RadioRecord(written));
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormRadioConfiguration));
}

void TestHardwarePower::cr17FileOnFirstAndSecondSet()
{
    QVERIFY(Connect());
    QVERIFY(DeviceRadio(RadioRecord(QStringLiteral("A7"))));
    auto* form = FormFixture::Open<CRadioConfiguration>(*m_frame, FormRadioConfiguration);
    QVERIFY(form);
    QVERIFY(!QFile::exists(CRadioConfiguration::SettingsPath()));
    form->OnSet();
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Radio Configuration Done"));
    {
        QSettings file(CRadioConfiguration::SettingsPath(), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("Default_Value/First")).toString(), QStringLiteral("0"));
        QCOMPARE(file.value(QStringLiteral("Default_Value/CR17")).toString(), QStringLiteral("A7"));
    }
    // A second Set, from a form filled again, leaves the file as it was.
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    m_frame->OnCommand(FormTable()[FormRadioConfiguration].closeCommand);
    form = FormFixture::Open<CRadioConfiguration>(*m_frame, FormRadioConfiguration);
    QVERIFY(form);
    QCOMPARE(form->Channel1Cr17(), QStringLiteral("99"));
    form->SetSliderPosition(5);
    form->OnSet();
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeRadioConfiguration")),
             RadioRecord(QStringLiteral("FF")));
    QSettings file(CRadioConfiguration::SettingsPath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("Default_Value/First")).toString(), QStringLiteral("0"));
    QCOMPARE(file.value(QStringLiteral("Default_Value/CR17")).toString(), QStringLiteral("A7"));

    // "Restore Default" puts the remembered value back on all channels.
    FormFixture::Click(Child<QPushButton>(form, "restoreButton"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeRadioConfiguration")),
             RadioRecord(QStringLiteral("A7")));
    QCOMPARE(form->SliderPosition(), 3); // 0xA7 = 167
}

void TestHardwarePower::restoreDefaultWithoutFile()
{
    QVERIFY(Connect());
    QVERIFY(DeviceRadio(RadioRecord(QStringLiteral("FF"))));
    auto* form = FormFixture::Open<CRadioConfiguration>(*m_frame, FormRadioConfiguration);
    QVERIFY(form);
    QCOMPARE(form->SliderPosition(), 5);
    FormFixture::Click(Child<QPushButton>(form, "restoreButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Do you want to Set these values?"});
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeRadioConfiguration")),
             RadioRecord(QStringLiteral("80")));
    QCOMPARE(form->SliderPosition(), 2);
    // The first successful Set recorded the device's value before it.
    QSettings file(CRadioConfiguration::SettingsPath(), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("Default_Value/CR17")).toString(), QStringLiteral("FF"));
}

void TestHardwarePower::powerSetRefusalsAndFailure()
{
    QVERIFY(Connect(0));
    const QString record = m_frame->Session().TestModeRadioConfiguration;
    auto* form = FormFixture::Open<CRadioConfiguration>(*m_frame, FormRadioConfiguration);
    QVERIFY(form);
    FormFixture::Click(Child<QPushButton>(form, "setButton"));
    FormFixture::Click(Child<QPushButton>(form, "restoreButton"));
    QCOMPARE(CMessageBox::shownTexts(), (QStringList{"You are not authorized for this action",
                                                     "You are not authorized for this action"}));
    QCOMPARE(m_frame->Session().TestModeRadioConfiguration, record);

    // "No" to the question: nothing sent, no file.
    m_frame->Session().m_authority = 1;
    CMessageBox::setNextAnswer(QMessageBox::No);
    form->SetSliderPosition(5);
    form->OnSet();
    QCOMPARE(m_frame->Session().TestModeRadioConfiguration, record);

    // A device that does not answer: the failure text, the file untouched.
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    form->OnSet();
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Radio Configuration failed"));
    QVERIFY(!QFile::exists(CRadioConfiguration::SettingsPath()));
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormRadioConfiguration));
}

QTEST_MAIN(TestHardwarePower)
#include "tst_hardware_power.moc"
