// System commands, trap switch and test mode: single-variable commands
// (upload, reset, restore defaults), the trap switch, and the radio test
// interface with its command block and test statistics.
#include "session.h"

#include "snmp_manager.h"

namespace
{

constexpr int kSystemCommandAttempts = 3;

} // namespace

int CDeviceSession::SendTrapSwitchGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("sysTrapSwitch"))) {
        m_ui->ShowPlainMessage(QStringLiteral("Unknown MIB variable sysTrapSwitch"));
        return 0;
    }
    const int sent =
        FinishRequest(&CDeviceSession::GetTrapSwitchValues, "GetTrapSwitchValues", Read);
    // A failed send is reported in every mode, with the component's words.
    if (!sent)
        m_ui->ShowPlainMessage(m_componentErrorText);
    return sent;
}

int CDeviceSession::SendTrapStateSet()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("sysTrapSwitch"), m_trapState))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateTrapStateSetValue, "ValidateTrapStateSetValue",
                         Write);
}

int CDeviceSession::SendResetCommand(bool upload)
{
    BeginRequest(Write);
    if (!AddIntegerVariable(upload ? QStringLiteral("sysUpload") : QStringLiteral("sysReset"), 1))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateResetSetValues, "ValidateResetSetValues", Write);
}

int CDeviceSession::SendRestoreDefaults()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("sysLoadDefaults"), 1))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateRestoreDefaultsSetValues,
                         "ValidateRestoreDefaultsSetValues", Write);
}

int CDeviceSession::SendTestModeSet()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("TestModeOnOff"), 1))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateTestModeSetValue, "ValidateTestModeSetValue",
                         Write);
}

int CDeviceSession::SendTestModeStructSet()
{
    BeginRequest(Write);
    if (!AddHexVariable(QStringLiteral("TestModeCommandStruct"), TestModeCommandStruct))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateTestModeStructSetValue,
                         "ValidateTestModeStructSetValue", Write);
}

int CDeviceSession::SendTestStatisticsGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("TestModeStatistics")))
        return 0;
    return FinishRequest(&CDeviceSession::GetTestStatisticsValues, "GetTestStatisticsValues", Read);
}

void CDeviceSession::GetTrapSwitchValues()
{
    m_trapState = AnswerUnsigned(1);
    if (!Accept(m_trapState == 1 || m_trapState == 2, "Not expected TrapSwitch"))
        return;
    ResultFromStatus(Read, "GetTrapSwitchValues");
}

void CDeviceSession::ValidateTrapStateSetValue()
{
    if (AnswerUnsigned(1) != m_trapState) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateTrapStateSetValue");
}

void CDeviceSession::ValidateResetSetValues()
{
    if (AnswerUnsigned(1) != 1) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateResetSetValues");
}

void CDeviceSession::ValidateRestoreDefaultsSetValues()
{
    if (AnswerUnsigned(1) != 1) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateRestoreDefaultsSetValues");
}

void CDeviceSession::ValidateTestModeSetValue()
{
    if (AnswerUnsigned(1) != 1) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateTestModeSetValue");
}

void CDeviceSession::ValidateTestModeStructSetValue()
{
    if (BytesToHexText(AnswerBytes(1)) != TestModeCommandStruct) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateTestModeStructSetValue");
}

void CDeviceSession::GetTestStatisticsValues()
{
    // At most the 12 bytes of the block; a shorter value updates only the
    // bytes it has.
    CopyIntoBlock(TestModeStatistics, AnswerBytes(1));
    ResultFromStatus(Read, "GetTestStatisticsValues");
}

bool CDeviceSession::WriteTrapState()
{
    return RunSynchronous(Write, &CDeviceSession::SendTrapStateSet, 3);
}

bool CDeviceSession::EnterTestMode()
{
    return RunSynchronous(Write, &CDeviceSession::SendTestModeSet, 3);
}

bool CDeviceSession::WriteTestModeCommand()
{
    return RunSynchronous(Write, &CDeviceSession::SendTestModeStructSet, 3);
}

bool CDeviceSession::RunSystemCommand(int mode)
{
    if (mode != 0 && mode != 1)
        return false;
    m_ui->SetWaitCursor(true);
    // A write already running (Download Changes sends the upload at its end)
    // does not stop it; a running read does.
    const bool done = RunAttempts(
        Write, [this, mode] { return SendResetCommand(mode == 1); }, kSystemCommandAttempts,
        [this] { return m_manager->busy() == 1 || m_sessionState == StateReading; }, QString());
    m_ui->SetWaitCursor(false);
    return done;
}

bool CDeviceSession::RunRestoreDefaults()
{
    m_ui->SetWaitCursor(true);
    const bool done = RunAttempts(
        Write, [this] { return SendRestoreDefaults(); }, kSystemCommandAttempts,
        [this] { return Refuses(); }, QString());
    m_ui->SetWaitCursor(false);
    return done;
}

QString CDeviceSession::TestCommandText(const TestCommand& command)
{
    const auto byte = [](quint32 value) {
        return QStringLiteral("%1").arg(value & 0xff, 2, 16, QLatin1Char('0')).toUpper();
    };
    const auto bigEndian = [&byte](quint32 value, int bytes) {
        QString text;
        for (int i = bytes - 1; i >= 0; --i)
            text += byte(value >> (8 * i));
        return text;
    };
    return byte(command.channel) + byte(command.antenna) + byte(command.power) +
           byte(command.rate) + byte(1) + byte(command.command) +
           bigEndian(command.interFrameTime, 2) + bigEndian(command.frameLength, 4) +
           bigEndian(command.frameCount, 4) + byte(command.pattern) + byte(0) + byte(command.cr20) +
           byte(command.cr21) + byte(0);
}
