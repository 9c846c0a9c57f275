#include "radio_tests_dialog.h"

#include "form_checks.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_radio_tests_dialog.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QValidator>

namespace
{

const char* const kNotAuthorized = "You are not authorized for this action";
constexpr quint8 kIdleCode = 0x04;

// Typed letters become capitals.
class CUpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

struct TestTexts {
    quint8 code;
    const char* success;
    const char* failure;
};
const TestTexts kTests[CRadioTestsDialog::TestCount] = {
    {0x01, "ContinuousTx State..", "Error-The device is not at ContinuousTx State.Try again.."},
    {0x03, "Carrier Accuracy State..",
     "Error-The device is not at Carrier Accuracy State.Try again.."},
    {0x02, "ContinuousRx State..", "Error-The device is not at ContinuousRx State.Try again.."},
    {0x08, "Continuous Packet Tx State..",
     "Error-The device is not at Continuous Packet Tx State.Try again.."},
    {0x05, "Carrier Suppression State..",
     "Error-The device is not at Carrier Suppression State.Try again.."},
};

struct Range {
    quint32 low, high;
};
Range rangeOf(CRadioTestsDialog::Field field)
{
    switch (field) {
    case CRadioTestsDialog::InterFrameTime:
        return {0, 65535};
    case CRadioTestsDialog::FrameLength:
        return {1, 1500};
    default:
        return {1, 4294967294u};
    }
}

bool isHexField(CRadioTestsDialog::Field field)
{
    return field == CRadioTestsDialog::TxPower || field == CRadioTestsDialog::TxPattern ||
           field == CRadioTestsDialog::Cr20 || field == CRadioTestsDialog::Cr21;
}

QString fieldText(const CRadioTestsDialog::Values& values, CRadioTestsDialog::Field field)
{
    switch (field) {
    case CRadioTestsDialog::TxPower:
        return values.txPower;
    case CRadioTestsDialog::TxPattern:
        return values.txPattern;
    case CRadioTestsDialog::InterFrameTime:
        return values.interFrameTime;
    case CRadioTestsDialog::FrameLength:
        return values.frameLength;
    case CRadioTestsDialog::FrameNumber:
        return values.frameNumber;
    case CRadioTestsDialog::Cr20:
        return values.cr20;
    default:
        return values.cr21;
    }
}

// A one-byte field: two characters as they stand, one with a leading 0.
quint8 hexOctet(const QString& text)
{
    const QString two = text.size() == 1 ? QLatin1Char('0') + text : text.left(2);
    return quint8(two.toUInt(nullptr, 16));
}

// The caption of a test button as it is laid out: the two-line captions
// break before their bracket, the blanks that centred them go.
QString buttonCaption(const QString& text)
{
    const QString simple = text.simplified();
    const qsizetype bracket = simple.indexOf(QLatin1String(" ("));
    if (bracket < 0)
        return simple;
    return simple.left(bracket) + QLatin1Char('\n') + simple.mid(bracket + 1);
}

} // namespace

// ---- rules ----

QString CRadioTestsDialog::CheckHexField(const QString& text)
{
    if (text.isEmpty() || !FormChecks::IsHexDigit(text.front()) ||
        !FormChecks::IsHexDigit(text.back()))
        return QStringLiteral("Invalid value");
    return QString();
}

QString CRadioTestsDialog::CheckField(const Values& values, Field field)
{
    const QString text = fieldText(values, field);
    if (isHexField(field))
        return text.size() > 2 ? FormChecks::MaxCharsMessage(2) : CheckHexField(text);
    const Range range = rangeOf(field);
    if (!FormChecks::ParseUnsigned(text, range.low, range.high))
        return FormChecks::RangeMessage(range.low, range.high);
    return QString();
}

QString CRadioTestsDialog::CheckValues(const Values& values, Field* field)
{
    for (int n = 0; n < FieldCount; ++n) {
        const QString error = CheckField(values, Field(n));
        if (!error.isEmpty()) {
            if (field)
                *field = Field(n);
            return error;
        }
    }
    return QString();
}

QString CRadioTestsDialog::CommandText(const Values& values, quint8 testCode)
{
    CDeviceSession::TestCommand command;
    command.channel = quint8(values.channel + 1);
    command.antenna = quint8(values.antenna + 1);
    command.power = hexOctet(values.txPower);
    command.rate = quint8(values.rate);
    command.command = testCode;
    command.interFrameTime = quint16(values.interFrameTime.trimmed().toUInt());
    command.frameLength = values.frameLength.trimmed().toUInt();
    command.frameCount = values.frameNumber.trimmed().toUInt();
    command.pattern = hexOctet(values.txPattern);
    command.cr20 = hexOctet(values.cr20);
    command.cr21 = hexOctet(values.cr21);
    return CDeviceSession::TestCommandText(command);
}

quint8 CRadioTestsDialog::TestCode(Test test)
{
    return kTests[test].code;
}

QString CRadioTestsDialog::SuccessText(Test test)
{
    return QLatin1String(kTests[test].success);
}

QString CRadioTestsDialog::FailureText(Test test)
{
    return QLatin1String(kTests[test].failure);
}

QString CRadioTestsDialog::FerLine(quint32 correct, quint32 failed)
{
    const quint32 total = correct + failed; // 32-bit sum, as the device counts
    const double fer = total == 0 ? 0.0 : double(failed) / double(total);
    return QString::asprintf("FER = %02.04f (failed packets/total packets)", fer);
}

QString CRadioTestsDialog::TotalsLine(quint32 correct, quint32 failed)
{
    const quint32 total = correct + failed;
    return QString::asprintf("Total packets = %u  Failed packets = %u ", total, failed);
}

QString CRadioTestsDialog::PacketsLine(quint32 transmitted)
{
    return QString::asprintf("Packets Transmitted = %u  ", transmitted);
}

// ---- dialog ----

CRadioTestsDialog::CRadioTestsDialog(CMainFrame* mainFrame, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CRadioTestsDialog>()), m_mainFrame(mainFrame)
{
    m_ui->setupUi(this);
    m_testButtons = {m_ui->continuousTxButton, m_ui->carrierAccuracyButton,
                     m_ui->continuousRxButton, m_ui->packetTxButton,
                     m_ui->carrierSuppressionButton};
    m_fields = {m_ui->txPowerEdit,     m_ui->txPatternEdit,   m_ui->interFrameEdit,
                m_ui->frameLengthEdit, m_ui->frameNumberEdit, m_ui->cr20Edit,
                m_ui->cr21Edit};
    for (QLineEdit* edit : m_fields) {
        edit->setValidator(new CUpperCaseValidator(edit));
        edit->installEventFilter(this);
    }
    for (int test = 0; test < TestCount; ++test) {
        QPushButton* button = m_testButtons[test];
        button->setText(buttonCaption(button->text()));
        connect(button, &QPushButton::clicked, this,
                [this, test](bool checked) { OnTestButton(Test(test), checked); });
    }
    for (int channel = 1; channel <= 14; ++channel)
        m_ui->channelCombo->addItem(QStringLiteral("Channel %1").arg(channel));
    m_ui->channelCombo->setCurrentIndex(0);
    PushValues(Values{});
    ApplyLayout(NormalLayout);
    ClearResultLines();
    SetResultLines(false, false);

    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kStatisticsPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CRadioTestsDialog::OnTimer);
    connect(m_ui->startTestButton, &QPushButton::clicked, this, &CRadioTestsDialog::OnStartTest);
    connect(m_ui->closeTestButton, &QPushButton::clicked, this, &CRadioTestsDialog::OnCloseTest);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CRadioTestsDialog::reject);
}

CRadioTestsDialog::~CRadioTestsDialog() = default;

CRadioTestsDialog::Values CRadioTestsDialog::TakeValues() const
{
    Values values;
    values.txPower = m_ui->txPowerEdit->text();
    values.antenna = m_ui->antennaBRadio->isChecked() ? 1 : 0;
    const QList<QAbstractButton*> rates = {m_ui->rate1Radio, m_ui->rate2Radio, m_ui->rate55Radio,
                                           m_ui->rate11Radio};
    values.rate = int(rates.indexOf(m_ui->rateGroup->checkedButton()));
    values.channel = m_ui->channelCombo->currentIndex();
    values.txPattern = m_ui->txPatternEdit->text();
    values.interFrameTime = m_ui->interFrameEdit->text();
    values.frameLength = m_ui->frameLengthEdit->text();
    values.frameNumber = m_ui->frameNumberEdit->text();
    values.cr20 = m_ui->cr20Edit->text();
    values.cr21 = m_ui->cr21Edit->text();
    return values;
}

void CRadioTestsDialog::PushValues(const Values& values)
{
    m_ui->txPowerEdit->setText(values.txPower);
    (values.antenna == 1 ? m_ui->antennaBRadio : m_ui->antennaARadio)->setChecked(true);
    const QList<QAbstractButton*> rates = {m_ui->rate1Radio, m_ui->rate2Radio, m_ui->rate55Radio,
                                           m_ui->rate11Radio};
    if (QAbstractButton* rate = rates.value(values.rate))
        rate->setChecked(true);
    m_ui->channelCombo->setCurrentIndex(values.channel);
    m_ui->txPatternEdit->setText(values.txPattern);
    m_ui->interFrameEdit->setText(values.interFrameTime);
    m_ui->frameLengthEdit->setText(values.frameLength);
    m_ui->frameNumberEdit->setText(values.frameNumber);
    m_ui->cr20Edit->setText(values.cr20);
    m_ui->cr21Edit->setText(values.cr21);
}

QString CRadioTestsDialog::StateText() const
{
    return m_ui->stateEdit->text();
}

QString CRadioTestsDialog::FerText() const
{
    return m_ui->ferLabel->text();
}

QString CRadioTestsDialog::TotalsText() const
{
    return m_ui->totalsLabel->text();
}

QString CRadioTestsDialog::PacketsText() const
{
    return m_ui->packetsLabel->text();
}

void CRadioTestsDialog::ApplyLayout(Layout layout, int runningTest)
{
    m_layout = layout;
    const bool parameters = layout == TestModeLayout;
    const QList<QWidget*> parameterControls = {
        m_ui->txPowerLabel,   m_ui->antennaLabel,    m_ui->rateLabel,        m_ui->channelLabel,
        m_ui->txPatternLabel, m_ui->interFrameLabel, m_ui->frameLengthLabel, m_ui->frameNumberLabel,
        m_ui->cr20Label,      m_ui->cr21Label,       m_ui->antennaARadio,    m_ui->antennaBRadio,
        m_ui->rate1Radio,     m_ui->rate2Radio,      m_ui->rate55Radio,      m_ui->rate11Radio,
        m_ui->channelCombo};
    for (QWidget* control : parameterControls)
        control->setEnabled(parameters);
    for (QLineEdit* edit : m_fields)
        edit->setEnabled(parameters);
    for (int test = 0; test < TestCount; ++test)
        m_testButtons[test]->setEnabled(parameters ||
                                        (layout == RunningLayout && test == runningTest));
    m_ui->closeTestButton->setEnabled(layout == TestModeLayout);
    m_ui->startTestButton->setEnabled(layout == NormalLayout);
    m_ui->cancelButton->setEnabled(layout == NormalLayout);
}

void CRadioTestsDialog::SetResultLines(bool rxLines, bool packetLine)
{
    m_ui->ferLabel->setEnabled(rxLines);
    m_ui->totalsLabel->setEnabled(rxLines);
    m_ui->packetsLabel->setEnabled(packetLine);
}

void CRadioTestsDialog::ClearResultLines()
{
    m_ui->ferLabel->clear();
    m_ui->totalsLabel->clear();
    m_ui->packetsLabel->clear();
}

void CRadioTestsDialog::SetState(const QString& text)
{
    m_ui->stateEdit->setText(text);
}

bool CRadioTestsDialog::TakeCheckedValues(Values& values)
{
    values = TakeValues();
    Field field = TxPower;
    const QString error = CheckValues(values, &field);
    if (error.isEmpty())
        return true;
    m_checkingField = true;
    CMessageBox::Show(this, CMessageBox::Exclamation, error);
    m_fields[field]->setFocus();
    m_fields[field]->selectAll();
    m_checkingField = false;
    return false;
}

void CRadioTestsDialog::StoreCommand(const Values& values, quint8 testCode)
{
    m_command = CommandText(values, testCode);
    m_mainFrame->Session().TestModeCommandStruct = m_command;
}

void CRadioTestsDialog::OnStartTest()
{
    if (m_deviceBusy || m_layout != NormalLayout)
        return;
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kNotAuthorized));
        return;
    }
    Values values;
    if (!TakeCheckedValues(values))
        return;
    m_mainFrame->SetWaitCursor(true);
    StoreCommand(values, kIdleCode);
    m_deviceBusy = true;
    const bool entered = session.EnterTestMode() && session.WriteTestModeCommand();
    m_deviceBusy = false;
    if (entered) {
        ApplyLayout(TestModeLayout);
        SetState(QStringLiteral("Device is at Test mode.."));
    } else {
        SetState(QStringLiteral("Device not responding.."));
    }
    m_mainFrame->SetWaitCursor(false);
}

void CRadioTestsDialog::OnTestButton(Test test, bool pressed)
{
    QPushButton* button = m_testButtons[test];
    if (m_deviceBusy) {
        button->setChecked(!pressed);
        return;
    }
    Values values;
    if (!TakeCheckedValues(values)) {
        // The button returns to where it was.
        button->setChecked(!pressed);
        return;
    }
    CDeviceSession& session = m_mainFrame->Session();
    if (pressed) {
        StoreCommand(values, TestCode(test));
        m_deviceBusy = true;
        const bool started = session.EnterTestMode() && session.WriteTestModeCommand();
        m_deviceBusy = false;
        SetState(started ? SuccessText(test) : FailureText(test));
        // Also after a failure, so that the button can be released again.
        ApplyLayout(RunningLayout, test);
        if (test == ContinuousRx) {
            SetResultLines(true, false);
            m_packetCount = false;
            m_timer.start();
        } else if (test == ContinuousPacketTx) {
            SetResultLines(false, true);
            m_packetCount = true;
            m_timer.start();
        }
        return;
    }
    StoreCommand(values, kIdleCode);
    m_deviceBusy = true;
    const bool idle = session.WriteTestModeCommand();
    m_deviceBusy = false;
    SetState(idle ? QStringLiteral("Idle State..")
                  : QStringLiteral("Error-The device is not at Idle State.Try again.."));
    ApplyLayout(TestModeLayout);
    if (test == ContinuousRx || test == ContinuousPacketTx) {
        SetResultLines(false, false);
        ClearResultLines();
        m_timer.stop();
        if (test == ContinuousPacketTx)
            m_packetCount = false;
    }
}

void CRadioTestsDialog::OnTimer()
{
    // A tick that comes while a read or command waits is skipped.
    if (m_deviceBusy)
        return;
    m_deviceBusy = true;
    const bool read = m_mainFrame->Transfer().ReadTestStatistics();
    m_deviceBusy = false;
    if (!read)
        return;
    const CDeviceSession& session = m_mainFrame->Session();
    const quint32 transmitted =
        session.TestStatisticsCounter(CDeviceSession::TestFramesTransmitted);
    const quint32 correct = session.TestStatisticsCounter(CDeviceSession::TestFramesReceived);
    const quint32 failed = session.TestStatisticsCounter(CDeviceSession::TestFramesFailed);
    if (m_packetCount) {
        m_ui->packetsLabel->setText(PacketsLine(transmitted));
    } else {
        m_ui->ferLabel->setText(FerLine(correct, failed));
        m_ui->totalsLabel->setText(TotalsLine(correct, failed));
    }
}

void CRadioTestsDialog::OnCloseTest()
{
    if (m_deviceBusy || m_layout != TestModeLayout)
        return;
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kNotAuthorized));
        return;
    }
    Values values;
    if (!TakeCheckedValues(values))
        return;
    StoreCommand(values, kIdleCode);
    m_deviceBusy = true;
    const bool normal = session.WriteTestModeCommand() && session.RunSystemCommand(0);
    m_deviceBusy = false;
    SetState(normal ? QStringLiteral("The device is at Normal mode")
                    : QStringLiteral("Error-The device is not at Normal mode"));
    // The text stays readable for two seconds; nothing else can be done
    // meanwhile, then the dialog ends whatever the device said.
    ApplyLayout(ClosingLayout);
    QTimer::singleShot(kCloseWaitMs, this, [this] { QDialog::accept(); });
}

bool CRadioTestsDialog::CheckFieldOnLeave(Field field)
{
    const QString error = CheckField(TakeValues(), field);
    if (error.isEmpty())
        return true;
    m_checkingField = true;
    CMessageBox::Show(this, CMessageBox::Exclamation, error);
    m_fields[field]->setFocus();
    m_fields[field]->selectAll();
    m_checkingField = false;
    return false;
}

bool CRadioTestsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !m_checkingField) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        // Switching to another window is no leaving of the field.
        const bool leaving = focus->reason() != Qt::ActiveWindowFocusReason &&
                             focus->reason() != Qt::PopupFocusReason;
        for (int n = 0; n < FieldCount && leaving; ++n) {
            if (watched == m_fields[n] && m_fields[n]->isEnabled()) {
                CheckFieldOnLeave(Field(n));
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CRadioTestsDialog::reject()
{
    // "Cancel" works only before test mode; in test mode the dialog ends
    // through "Close test", which resets the device.
    if (m_deviceBusy || m_layout != NormalLayout)
        return;
    QDialog::reject();
}

void CRadioTestsDialog::closeEvent(QCloseEvent* event)
{
    if (m_deviceBusy || m_layout != NormalLayout) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
