// Operational mode group: the mode and the partner's BSSID, the connection
// as a client to an entry of the known BSS list, the site survey command and
// the read of the known BSS list.
#include "session.h"

namespace
{

// Modes that talk to one partner whose BSSID the device must know.
bool usesPartner(quint32 mode)
{
    return mode >= 3 && mode <= 5;
}

} // namespace

int CDeviceSession::SendOperationalModeGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("bridgeOperationalMode")) ||
        !AddGetVariable(QStringLiteral("bridgeRemoteBridgeBSSID")))
        return 0;
    return FinishRequest(&CDeviceSession::GetOperationalModeValues, "GetOperationalModeValues",
                         Read);
}

int CDeviceSession::SendOperationalModeSet()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("bridgeOperationalMode"), bridgeOperationalMode))
        return 0;
    if (usesPartner(bridgeOperationalMode) &&
        !AddHexVariable(QStringLiteral("bridgeRemoteBridgeBSSID"), bridgeRemoteBridgeBSSID))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateOperationanalModeSetValues,
                         "ValidateOperationanalModeSetValues", Write);
}

int CDeviceSession::SendAccessPointClientSet()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("bridgeOperationalMode"), bridgeOperationalMode) ||
        !AddIntegerVariable(QStringLiteral("SelectedBSSListNumber"), SelectedBSSListNumber))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateAccessPointClientSetValues,
                         "ValidateAccessPointClientSetValues", Write);
}

int CDeviceSession::SendKnownAPsGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("wirelessKnownAPs")))
        return 0;
    return FinishRequest(&CDeviceSession::GetKnownAPsValues, "GetKnownAPsValues", Read);
}

int CDeviceSession::SendSiteSurveyCommand()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("SiteSurveyCommand"), 1))
        return 0;
    // The answer is not examined.
    return FinishRequestWithoutHandler();
}

void CDeviceSession::GetOperationalModeValues()
{
    bridgeOperationalMode = AnswerUnsigned(1);
    if (!Accept(bridgeOperationalMode >= 1 && bridgeOperationalMode <= 5,
                "Not expected BridgeOperationalMode"))
        return;
    // In modes 1 and 2 the cached BSSID stays as it was.
    if (usesPartner(bridgeOperationalMode)) {
        bridgeRemoteBridgeBSSID = BytesToHexText(AnswerBytes(2));
        if (!Accept(bridgeRemoteBridgeBSSID.size() == 12, "Not expected RemoteBridgeBSSID"))
            return;
    }
    ResultFromStatus(Read, "GetOperationalModeValues");
}

void CDeviceSession::ValidateOperationanalModeSetValues()
{
    bool confirmed = AnswerUnsigned(1) == bridgeOperationalMode;
    if (confirmed && usesPartner(bridgeOperationalMode))
        confirmed = BytesToHexText(AnswerBytes(2)) == bridgeRemoteBridgeBSSID;
    if (!confirmed) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateOperationanalModeSetValues");
}

void CDeviceSession::ValidateAccessPointClientSetValues()
{
    if (AnswerUnsigned(1) != bridgeOperationalMode || AnswerUnsigned(2) != SelectedBSSListNumber) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateAccessPointClientSetValues");
}

void CDeviceSession::GetKnownAPsValues()
{
    // Cut to the block; a shorter list leaves the rest of the block as it was.
    CopyIntoBlock(wirelessKnownAPs, AnswerBytes(1));
    // The status diagnostic of this read has always carried the name of the
    // hardware read; operators know it by that text.
    ResultFromStatus(Read, "GetHardwareValues");
}

bool CDeviceSession::WriteOperationalMode()
{
    if (!RunSynchronous(Write, &CDeviceSession::SendOperationalModeSet, 3))
        return false;
    return RunSystemCommand(1);
}

bool CDeviceSession::WriteAccessPointClient()
{
    if (!RunSynchronous(Write, &CDeviceSession::SendAccessPointClientSet, 3))
        return false;
    return RunSystemCommand(1);
}

bool CDeviceSession::ReadKnownAPs()
{
    return RunSynchronous(Read, &CDeviceSession::SendKnownAPsGet, 3);
}

bool CDeviceSession::StartSiteSurvey()
{
    if (Refuses())
        return false;
    m_sessionState = StateWriting;
    if (SendSiteSurveyCommand())
        WaitForAnswer();
    m_sessionState = StateIdle;
    // The survey's answer says nothing about the scan itself.
    return true;
}

QList<CDeviceSession::KnownBss> CDeviceSession::KnownBssList() const
{
    QList<KnownBss> list;
    for (int n = 0; n < kKnownBssMaxEntries; ++n) {
        const std::size_t base = std::size_t(n) * kKnownBssEntrySize;
        if (base + kKnownBssEntrySize > kKnownAPsSize)
            break;
        const quint8* entry = wirelessKnownAPs.data() + base;
        bool zero = true;
        for (int i = 0; i < 6; ++i)
            zero = zero && entry[i] == 0;
        if (zero)
            break;
        KnownBss bss;
        bss.bssid = BytesToHexText(reinterpret_cast<const char*>(entry), 6);
        bss.signal = entry[6];
        bss.channel = entry[8];
        bss.flags = entry[10];
        const char* ssid = reinterpret_cast<const char*>(entry + 16);
        bss.ssid = QString::fromLatin1(ssid, qsizetype(qstrnlen(ssid, 32)));
        list.append(bss);
    }
    return list;
}
