// Wireless operational group: channel, ESSID, thresholds, preamble,
// authentication, rates, rate fall-back, access point name, SSID
// broadcasting, antenna and roaming; the read also brings the MAC
// authorization switch. The only group whose handlers recognise a refused
// community (error status 16).
#include "session.h"

namespace
{

const char* const kReadNames[] = {
    "operChannelID",          "operESSID",
    "operRTSThreshold",       "operFragmentationThreshold",
    "operPreambleType",       "operAuthenticationType",
    "operBasicRates",         "operAutoRateFallBack",
    "operAccessPointName",    "operSSIDBroadcasting",
    "operAntennaSettings",    "operInterRoaming",
    "AuthorizationMacEnable",
};

bool isOnOff(quint32 value)
{
    return value == 1 || value == 2;
}

} // namespace

int CDeviceSession::SendWirelessOperationalGet()
{
    BeginRequest(Read);
    for (const char* name : kReadNames)
        if (!AddGetVariable(QLatin1String(name)))
            return 0;
    return FinishRequest(&CDeviceSession::GetWirelessOperationalValues,
                         "GetWirelessOperationalValues", Read);
}

int CDeviceSession::SendWirelessOperationalSet()
{
    BeginRequest(Write);
    const bool built =
        AddIntegerVariable(QStringLiteral("operChannelID"), operChannelID) &&
        AddIntegerVariable(QStringLiteral("operESSIDLength"), quint32(operESSID.size())) &&
        AddTextVariable(QStringLiteral("operESSID"), operESSID) &&
        AddIntegerVariable(QStringLiteral("operRTSThreshold"), operRTSThreshold) &&
        AddIntegerVariable(QStringLiteral("operFragmentationThreshold"),
                           operFragmentationThreshold) &&
        AddIntegerVariable(QStringLiteral("operPreambleType"), operPreambleType) &&
        AddIntegerVariable(QStringLiteral("operAuthenticationType"), operAuthenticationType) &&
        AddHexVariable(QStringLiteral("operBasicRates"), operBasicRates) &&
        AddIntegerVariable(QStringLiteral("operAutoRateFallBack"), operAutoRateFallBack) &&
        AddTextVariable(QStringLiteral("operAccessPointName"), operAccessPointName) &&
        AddIntegerVariable(QStringLiteral("operSSIDBroadcasting"), operSSIDBroadcasting) &&
        AddIntegerVariable(QStringLiteral("operAntennaSettings"), operAntennaSettings) &&
        AddIntegerVariable(QStringLiteral("operInterRoaming"), operInterRoaming);
    if (!built)
        return 0;
    return FinishRequest(&CDeviceSession::ValidateWirelessOperationalSetValues,
                         "ValidateWirelessOperationalSetValues", Write);
}

void CDeviceSession::CheckWirelessStatus(RequestKind kind, const char* handlerName,
                                         const QString& refusedText)
{
    quint32& result = kind == Read ? m_getResult : m_setResult;
    const int status = AnswerErrorStatus();
    if (status == 0) {
        result = 1;
    } else if (status == kRefusedCommunity) {
        // No further attempts of the multi-step operation: the community
        // will not become right by asking again.
        m_retryCount = 4;
        result = 0;
        m_ui->ShowStopMessage(refusedText);
    } else {
        result = 0;
        UnexpectedError(handlerName);
    }
}

void CDeviceSession::GetWirelessOperationalValues()
{
    // The status first; the values are stored and checked whatever it says.
    CheckWirelessStatus(Read, "GetWirelessOperationalValues",
                        QStringLiteral("You are not an authorized User.Check your Community name"));

    operChannelID = AnswerUnsigned(1);
    if (!Accept(operChannelID >= 1 && operChannelID <= 14, "Not expected ChannelID"))
        return;
    operESSID = AnswerText(2);
    if (!Accept(!operESSID.isEmpty(), "Not expected ESSID"))
        return;
    operRTSThreshold = AnswerUnsigned(3);
    if (!Accept(operRTSThreshold <= 2347, "Not expected RTSThreshold"))
        return;
    operFragmentationThreshold = AnswerUnsigned(4);
    if (!Accept(operFragmentationThreshold >= 256 && operFragmentationThreshold <= 2346,
                "Not expected FragmentationThreshold"))
        return;
    operPreambleType = AnswerUnsigned(5);
    if (!Accept(isOnOff(operPreambleType), "Not expected PreambleType"))
        return;
    operAuthenticationType = AnswerUnsigned(6);
    if (!Accept(operAuthenticationType >= 1 && operAuthenticationType <= 3,
                "Not expected AuthenticationType"))
        return;
    operBasicRates = BytesToHexText(AnswerBytes(7));
    operAutoRateFallBack = AnswerUnsigned(8);
    if (!Accept(isOnOff(operAutoRateFallBack), "Not expected AutoRateFallBack"))
        return;
    operAccessPointName = AnswerText(9);
    if (!Accept(!operAccessPointName.isEmpty(), "Not expected APname"))
        return;
    operSSIDBroadcasting = AnswerUnsigned(10);
    if (!Accept(isOnOff(operSSIDBroadcasting), "Not expected SSIDbroadcasting"))
        return;
    operAntennaSettings = AnswerUnsigned(11);
    const quint32 antenna = operAntennaSettings & 0xff;
    if (!Accept(antenna >= 1 && antenna <= 3, "Not expected Rx/Tx Antenna Settings Value"))
        return;
    operInterRoaming = AnswerUnsigned(12);
    if (!Accept(isOnOff(operInterRoaming), "Not expected International Roaming Value"))
        return;
    AuthorizationMacEnable = AnswerUnsigned(13);
    if (!Accept(isOnOff(AuthorizationMacEnable), "Not expected AuthorizationTableEnableValue"))
        return;
}

void CDeviceSession::ValidateWirelessOperationalSetValues()
{
    CheckWirelessStatus(
        Write, "ValidateWirelessOperationalSetValues",
        QStringLiteral("You are not an authorized for this action. Check your Community name"));

    const bool confirmed =
        AnswerUnsigned(1) == operChannelID && AnswerUnsigned(2) == quint32(operESSID.size()) &&
        AnswerText(3) == operESSID && AnswerUnsigned(4) == operRTSThreshold &&
        AnswerUnsigned(5) == operFragmentationThreshold && AnswerUnsigned(6) == operPreambleType &&
        AnswerUnsigned(7) == operAuthenticationType &&
        BytesToHexText(AnswerBytes(8)) == operBasicRates &&
        AnswerUnsigned(9) == operAutoRateFallBack && AnswerText(10) == operAccessPointName &&
        AnswerUnsigned(11) == operSSIDBroadcasting && AnswerUnsigned(12) == operAntennaSettings &&
        AnswerUnsigned(13) == operInterRoaming;
    if (!confirmed)
        m_setResult = 0;
}
