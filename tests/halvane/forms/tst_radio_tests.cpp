// The radio tests dialog: the command text, the field checks, the result
// lines, and the whole test-mode sequence against apsim (start, a reception
// and a packet test with timer 1, "Close test" with the reset and the
// 2-second wait), with the layouts at every step.
#include "device_fixture.h"
#include "radio_tests_dialog.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace
{

const QString kAddress = QStringLiteral("127.0.0.34");
using Values = CRadioTestsDialog::Values;
using Dialog = CRadioTestsDialog;

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// The enabled state of the parameter edits, the test buttons, "Start test",
// "Close test" and "Cancel", as a text: P (all parameters on) or p (off),
// then one letter per test button and S/C/X in upper case when enabled.
QString LayoutShown(Dialog& d)
{
    bool allOn = true, allOff = true;
    for (const char* name : {"txPowerEdit", "txPatternEdit", "interFrameEdit", "frameLengthEdit",
                             "frameNumberEdit", "cr20Edit", "cr21Edit", "channelCombo",
                             "antennaARadio", "rate55Radio", "txPowerLabel", "cr21Label"}) {
        const bool on = Child<QWidget>(&d, name)->isEnabled();
        allOn = allOn && on;
        allOff = allOff && !on;
    }
    QString text = allOn ? QStringLiteral("P") : allOff ? QStringLiteral("p") : QStringLiteral("?");
    for (int t = 0; t < Dialog::TestCount; ++t)
        text += d.TestButton(Dialog::Test(t))->isEnabled() ? QLatin1Char('T') : QLatin1Char('t');
    text += Child<QPushButton>(&d, "startTestButton")->isEnabled() ? QLatin1Char('S')
                                                                   : QLatin1Char('s');
    text += Child<QPushButton>(&d, "closeTestButton")->isEnabled() ? QLatin1Char('C')
                                                                   : QLatin1Char('c');
    text +=
        Child<QPushButton>(&d, "cancelButton")->isEnabled() ? QLatin1Char('X') : QLatin1Char('x');
    return text;
}

const QString kNormalLayout = QStringLiteral("ptttttScX");
const QString kTestModeLayout = QStringLiteral("PTTTTTsCx");

const QString kDefaultCommand = QStringLiteral("0101C003010403E8000005DC00000064AA00084800");

} // namespace

class TestRadioTests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void commandText_data();
    void commandText();
    void fieldRules_data();
    void fieldRules();
    void resultLines_data();
    void resultLines();
    void opensInNormalLayout();
    void startAndRefusals();
    void continuousRxShowsFrameErrorRate();
    void packetTestCountsAndFailedStart();
    void badFieldsStopActions();
    void closeTestResetsAndEnds();

private:
    bool Connect();
    void Press(Dialog& d, Dialog::Test test) { FormFixture::Click(d.TestButton(test)); }

    QTemporaryDir m_dir;
    std::unique_ptr<ApsimProcess> m_ap;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestRadioTests::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestRadioTests::init()
{
    FormFixture::ResetMessages();
}

void TestRadioTests::cleanup()
{
    m_frame.reset();
    m_ap.reset();
}

bool TestRadioTests::Connect()
{
    m_ap = std::make_unique<ApsimProcess>(QStringLiteral(QX_BIN_DIR));
    m_frame = DeviceFixture::Connect(*m_ap, kAddress,
                                     {QStringLiteral("--reset-time"), QStringLiteral("300")});
    return m_frame != nullptr;
}

void TestRadioTests::commandText_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("defaults, start") << Values{} << 0x04 << kDefaultCommand;
    Values power;
    power.txPower = QStringLiteral("5");
    QTest::newRow("Tx Power 5") << power << 0x04
                                << QStringLiteral("010105030104") + kDefaultCommand.mid(12);
    Values other;
    other.antenna = 1;
    other.rate = 0;
    other.channel = 13;
    other.txPattern = QStringLiteral("f");
    other.interFrameTime = QStringLiteral("65535");
    other.frameLength = QStringLiteral("1");
    other.frameNumber = QStringLiteral("4294967294");
    other.cr20 = QStringLiteral("ab");
    other.cr21 = QStringLiteral("0");
    QTest::newRow("every field") << other << 0x02
                                 << QStringLiteral("0E02C0000102FFFF00000001FFFFFFFE0F00AB0000");
}

void TestRadioTests::commandText()
{
    QFETCH(Values, values);
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(Dialog::CommandText(values, quint8(code)), text);
    QCOMPARE(Dialog::CheckValues(values), QString());
}

void TestRadioTests::fieldRules_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");

    const QString invalid = QStringLiteral("Invalid value");
    QTest::newRow("power 5") << int(Dialog::TxPower) << "5"
                             << "";
    QTest::newRow("power G1") << int(Dialog::TxPower) << "G1" << invalid;
    QTest::newRow("pattern 1G") << int(Dialog::TxPattern) << "1G" << invalid;
    QTest::newRow("CR 20 empty") << int(Dialog::Cr20) << "" << invalid;
    QTest::newRow("CR 21 ff") << int(Dialog::Cr21) << "ff"
                              << "";
    QTest::newRow("interframe 0") << int(Dialog::InterFrameTime) << "0"
                                  << "";
    QTest::newRow("interframe 65536") << int(Dialog::InterFrameTime) << "65536"
                                      << "Please enter an integer between 0 and 65535.";
    QTest::newRow("length 2000") << int(Dialog::FrameLength) << "2000"
                                 << "Please enter an integer between 1 and 1500.";
    QTest::newRow("length 0") << int(Dialog::FrameLength) << "0"
                              << "Please enter an integer between 1 and 1500.";
    QTest::newRow("length with letters") << int(Dialog::FrameLength) << "15a"
                                         << "Please enter an integer between 1 and 1500.";
    QTest::newRow("frames 4294967294") << int(Dialog::FrameNumber) << "4294967294"
                                       << "";
    QTest::newRow("frames 4294967295") << int(Dialog::FrameNumber) << "4294967295"
                                       << "Please enter an integer between 1 and 4294967294.";
}

void TestRadioTests::fieldRules()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, error);
    Values values;
    switch (field) {
    case Dialog::TxPower:
        values.txPower = text;
        break;
    case Dialog::TxPattern:
        values.txPattern = text;
        break;
    case Dialog::Cr20:
        values.cr20 = text;
        break;
    case Dialog::Cr21:
        values.cr21 = text;
        break;
    case Dialog::InterFrameTime:
        values.interFrameTime = text;
        break;
    case Dialog::FrameLength:
        values.frameLength = text;
        break;
    default:
        values.frameNumber = text;
        break;
    }
    QCOMPARE(Dialog::CheckField(values, Dialog::Field(field)), error);
    Dialog::Field failing = Dialog::FieldCount;
    QCOMPARE(Dialog::CheckValues(values, &failing), error);
    if (!error.isEmpty())
        QCOMPARE(int(failing), field);
}

void TestRadioTests::resultLines_data()
{
    QTest::addColumn<quint32>("correct");
    QTest::addColumn<quint32>("failed");
    QTest::addColumn<QString>("fer");
    QTest::addColumn<QString>("totals");
    QTest::newRow("3 of 100") << 97u << 3u << "FER = 0.0300 (failed packets/total packets)"
                              << "Total packets = 100  Failed packets = 3 ";
    QTest::newRow("nothing yet") << 0u << 0u << "FER = 0.0000 (failed packets/total packets)"
                                 << "Total packets = 0  Failed packets = 0 ";
    QTest::newRow("all failed") << 0u << 8u << "FER = 1.0000 (failed packets/total packets)"
                                << "Total packets = 8  Failed packets = 8 ";
    QTest::newRow("beyond 2^31") << 3000000000u << 1000000000u
                                 << "FER = 0.2500 (failed packets/total packets)"
                                 << "Total packets = 4000000000  Failed packets = 1000000000 ";
}

void TestRadioTests::resultLines()
{
    QFETCH(quint32, correct);
    QFETCH(quint32, failed);
    QFETCH(QString, fer);
    QFETCH(QString, totals);
    QCOMPARE(Dialog::FerLine(correct, failed), fer);
    QCOMPARE(Dialog::TotalsLine(correct, failed), totals);
    QCOMPARE(Dialog::PacketsLine(42), QStringLiteral("Packets Transmitted = 42  "));
}

void TestRadioTests::opensInNormalLayout()
{
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    Dialog d(m_frame.get());
    QCOMPARE(LayoutShown(d), kNormalLayout);
    auto* channel = Child<QComboBox>(&d, "channelCombo");
    QCOMPARE(channel->count(), 14);
    QCOMPARE(channel->itemText(13), QStringLiteral("Channel 14"));
    QCOMPARE(channel->currentText(), QStringLiteral("Channel 1"));
    QCOMPARE(Child<QLineEdit>(&d, "txPowerEdit")->text(), QStringLiteral("C0"));
    QVERIFY(Child<QRadioButton>(&d, "antennaARadio")->isChecked());
    QVERIFY(Child<QRadioButton>(&d, "rate11Radio")->isChecked());
    QCOMPARE(Child<QLineEdit>(&d, "frameNumberEdit")->text(), QStringLiteral("100"));
    for (const char* line : {"ferLabel", "totalsLabel", "packetsLabel"}) {
        QVERIFY(!Child<QLabel>(&d, line)->isEnabled());
        QVERIFY(Child<QLabel>(&d, line)->text().isEmpty());
    }
    QVERIFY(d.StateText().isEmpty());
    // Typed letters become capitals.
    auto* pattern = Child<QLineEdit>(&d, "txPatternEdit");
    pattern->setEnabled(true);
    pattern->clear();
    QTest::keyClicks(pattern, QStringLiteral("bf"));
    QCOMPARE(pattern->text(), QStringLiteral("BF"));
    // Cancel ends the dialog in the normal layout.
    Child<QPushButton>(&d, "cancelButton")->click();
    QCOMPARE(d.result(), int(QDialog::Rejected));
}

void TestRadioTests::startAndRefusals()
{
    QVERIFY(Connect());
    CDeviceSession& session = m_frame->Session();
    Dialog d(m_frame.get());
    session.m_authority = 0;
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"You are not authorized for this action"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Stop});
    QCOMPARE(LayoutShown(d), kNormalLayout);

    // A device that does not answer: the normal layout stays.
    session.m_authority = 1;
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QCOMPARE(d.StateText(), QStringLiteral("Device not responding.."));
    QCOMPARE(LayoutShown(d), kNormalLayout);

    QVERIFY(FormFixture::Control(*m_ap, "fault silent off").startsWith(QLatin1String("ok")));
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QCOMPARE(d.StateText(), QStringLiteral("Device is at Test mode.."));
    QCOMPARE(LayoutShown(d), kTestModeLayout);
    QCOMPARE(session.TestModeCommandStruct, kDefaultCommand);
    QVERIFY(FormFixture::Control(*m_ap, "status").contains(QLatin1String("test-mode on")));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeCommandStruct")),
             kDefaultCommand);
    // In test mode neither Cancel nor the close box ends the dialog, and
    // "Close test" needs the Administrator too.
    d.reject();
    QVERIFY(!d.close());
    QCOMPARE(d.result(), 0);
    session.m_authority = 0;
    CMessageBox::clearShown();
    FormFixture::Click(Child<QPushButton>(&d, "closeTestButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"You are not authorized for this action"});
    QCOMPARE(LayoutShown(d), kTestModeLayout);
}

void TestRadioTests::continuousRxShowsFrameErrorRate()
{
    QVERIFY(Connect());
    Dialog d(m_frame.get());
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QCOMPARE(LayoutShown(d), kTestModeLayout);

    Press(d, Dialog::ContinuousRx);
    QVERIFY(d.TestButton(Dialog::ContinuousRx)->isChecked());
    QCOMPARE(d.StateText(), QStringLiteral("ContinuousRx State.."));
    QCOMPARE(LayoutShown(d), QStringLiteral("pttTttscx"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeCommandStruct")),
             kDefaultCommand.left(10) + QStringLiteral("02") + kDefaultCommand.mid(12));
    QVERIFY(d.TimerActive());
    QVERIFY(!d.PacketCounting());
    QVERIFY(Child<QLabel>(&d, "ferLabel")->isEnabled());
    QVERIFY(Child<QLabel>(&d, "totalsLabel")->isEnabled());
    QVERIFY(!Child<QLabel>(&d, "packetsLabel")->isEnabled());
    // apsim receives 200 frames a second, 3 % of them errored.
    QTRY_VERIFY_WITH_TIMEOUT(d.TotalsText().startsWith(QLatin1String("Total packets = ")) &&
                                 !d.TotalsText().startsWith(QLatin1String("Total packets = 0 ")),
                             5000);
    QVERIFY(d.FerText().startsWith(QLatin1String("FER = 0.0")));
    QVERIFY(d.FerText().endsWith(QLatin1String(" (failed packets/total packets)")));
    // The lines follow the device's counters.
    const CDeviceSession& session = m_frame->Session();
    QCOMPARE(d.TotalsText(),
             Dialog::TotalsLine(session.TestStatisticsCounter(CDeviceSession::TestFramesReceived),
                                session.TestStatisticsCounter(CDeviceSession::TestFramesFailed)));

    Press(d, Dialog::ContinuousRx);
    QVERIFY(!d.TestButton(Dialog::ContinuousRx)->isChecked());
    QCOMPARE(d.StateText(), QStringLiteral("Idle State.."));
    QCOMPARE(LayoutShown(d), kTestModeLayout);
    QVERIFY(!d.TimerActive());
    QVERIFY(d.FerText().isEmpty() && d.TotalsText().isEmpty());
    QVERIFY(!Child<QLabel>(&d, "ferLabel")->isEnabled());
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("TestModeCommandStruct")),
             kDefaultCommand);
}

void TestRadioTests::packetTestCountsAndFailedStart()
{
    QVERIFY(Connect());
    Dialog d(m_frame.get());
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    Press(d, Dialog::ContinuousPacketTx);
    QCOMPARE(d.StateText(), QStringLiteral("Continuous Packet Tx State.."));
    QVERIFY(d.PacketCounting());
    QVERIFY(Child<QLabel>(&d, "packetsLabel")->isEnabled());
    QVERIFY(!Child<QLabel>(&d, "ferLabel")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(d.PacketsText().startsWith(QLatin1String("Packets Transmitted = ")) &&
                                 d.PacketsText() != QLatin1String("Packets Transmitted = 0  "),
                             5000);
    QVERIFY(d.TotalsText().isEmpty());
    Press(d, Dialog::ContinuousPacketTx);
    QVERIFY(!d.PacketCounting());
    QVERIFY(!d.TimerActive());
    QVERIFY(d.PacketsText().isEmpty());

    // A test whose start fails: its failure text, the button stays down and
    // only it can be used; releasing it sends the idle command.
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    Press(d, Dialog::CarrierSuppression);
    QCOMPARE(d.StateText(),
             QStringLiteral("Error-The device is not at Carrier Suppression State.Try again.."));
    QVERIFY(d.TestButton(Dialog::CarrierSuppression)->isChecked());
    QCOMPARE(LayoutShown(d), QStringLiteral("pttttTscx"));
    QVERIFY(FormFixture::Control(*m_ap, "fault silent off").startsWith(QLatin1String("ok")));
    Press(d, Dialog::CarrierSuppression);
    QCOMPARE(d.StateText(), QStringLiteral("Idle State.."));
    QCOMPARE(LayoutShown(d), kTestModeLayout);

    // The other two transmissions, with their own codes and texts.
    Press(d, Dialog::ContinuousTxModulated);
    QCOMPARE(d.StateText(), QStringLiteral("ContinuousTx State.."));
    QCOMPARE(m_frame->Session().TestModeCommandStruct.mid(10, 2), QStringLiteral("01"));
    Press(d, Dialog::ContinuousTxModulated);
    Press(d, Dialog::ContinuousTxUnmodulated);
    QCOMPARE(d.StateText(), QStringLiteral("Carrier Accuracy State.."));
    QCOMPARE(m_frame->Session().TestModeCommandStruct.mid(10, 2), QStringLiteral("03"));
    QVERIFY(!d.TimerActive());
    Press(d, Dialog::ContinuousTxUnmodulated);
    QCOMPARE(d.StateText(), QStringLiteral("Idle State.."));
}

void TestRadioTests::badFieldsStopActions()
{
    QVERIFY(Connect());
    Dialog d(m_frame.get());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QCOMPARE(LayoutShown(d), kTestModeLayout);

    // Leaving "Tx Power" with G1: the message and the focus back.
    QApplication::setActiveWindow(&d);
    auto* power = Child<QLineEdit>(&d, "txPowerEdit");
    power->setFocus();
    QTRY_VERIFY(power->hasFocus());
    power->setText(QStringLiteral("G1"));
    Child<QLineEdit>(&d, "txPatternEdit")->setFocus();
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Invalid value"});
    QTRY_VERIFY(power->hasFocus());
    QCOMPARE(d.FieldEdit(Dialog::TxPower), power);
    power->setText(QStringLiteral("5"));
    QVERIFY(d.CheckFieldOnLeave(Dialog::TxPower));

    // "Frame Length" 2000: a test button refuses and pops back up; nothing
    // is sent.
    CMessageBox::clearShown();
    Child<QLineEdit>(&d, "frameLengthEdit")->setText(QStringLiteral("2000"));
    const qint32 requests = m_frame->Session().m_requestCounter;
    Press(d, Dialog::ContinuousRx);
    QCOMPARE(CMessageBox::shownTexts().last(),
             QStringLiteral("Please enter an integer between 1 and 1500."));
    QVERIFY(!d.TestButton(Dialog::ContinuousRx)->isChecked());
    QCOMPARE(m_frame->Session().m_requestCounter, requests);
    QCOMPARE(LayoutShown(d), kTestModeLayout);
    QVERIFY(!d.TimerActive());

    // With the length fixed, Tx Power 5 goes out as octet 05.
    Child<QLineEdit>(&d, "frameLengthEdit")->setText(QStringLiteral("1500"));
    Press(d, Dialog::ContinuousRx);
    QCOMPARE(m_frame->Session().TestModeCommandStruct.mid(4, 2), QStringLiteral("05"));
    Press(d, Dialog::ContinuousRx);
}

void TestRadioTests::closeTestResetsAndEnds()
{
    QVERIFY(Connect());
    Dialog d(m_frame.get());
    FormFixture::Click(Child<QPushButton>(&d, "startTestButton"));
    QVERIFY(FormFixture::Control(*m_ap, "status").contains(QLatin1String("test-mode on")));
    QElapsedTimer clock;
    clock.start();
    FormFixture::Click(Child<QPushButton>(&d, "closeTestButton"));
    QCOMPARE(d.StateText(), QStringLiteral("The device is at Normal mode"));
    QCOMPARE(LayoutShown(d), QStringLiteral("ptttttscx"));
    QCOMPARE(d.result(), 0);
    d.reject(); // nothing ends it early
    QTRY_COMPARE_WITH_TIMEOUT(d.result(), int(QDialog::Accepted), 5000);
    QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
    // The reset ended the device's test mode.
    QTRY_VERIFY_WITH_TIMEOUT(
        FormFixture::Control(*m_ap, "status").contains(QLatin1String("test-mode off")), 3000);

    // Against a silent device the dialog still ends, with the error text.
    QVERIFY(FormFixture::Control(*m_ap, "fault silent off").startsWith(QLatin1String("ok")));
    Dialog again(m_frame.get());
    FormFixture::Click(Child<QPushButton>(&again, "startTestButton"));
    QCOMPARE(again.StateText(), QStringLiteral("Device is at Test mode.."));
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    FormFixture::Click(Child<QPushButton>(&again, "closeTestButton"));
    QCOMPARE(again.StateText(), QStringLiteral("Error-The device is not at Normal mode"));
    QTRY_COMPARE_WITH_TIMEOUT(again.result(), int(QDialog::Accepted), 5000);
}

QTEST_MAIN(TestRadioTests)
#include "tst_radio_tests.moc"
