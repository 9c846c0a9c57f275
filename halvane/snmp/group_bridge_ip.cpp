// Bridge IP settings group: the access point's own address, mask and
// gateway, the DHCP switch, the primary and configuration ports, and the
// Ethernet MAC address (read only).
#include "session.h"

namespace
{

const char* const kReadNames[] = {
    "operIPAddress", "operIPMask",      "operEthernetAddress",   "operGateway",
    "operDHCP",      "operPrimaryPort", "operConfigurationPort",
};

// The shortest dotted address: four single digits and three dots.
constexpr int kMinDottedLength = 7;
// A dot is looked for only within the first characters of the text.
constexpr int kDotSearchLimit = 21;

} // namespace

CDeviceSession::IpBytes CDeviceSession::DottedTextToBytes(const QString& text)
{
    IpBytes bytes{};
    qsizetype start = 0;
    for (int n = 0; n < 4; ++n) {
        if (start >= text.size())
            break;
        bytes[n] = quint8(TextToUnsigned(text.mid(start)) & 0xff);
        if (n == 3)
            break;
        const qsizetype dot = text.indexOf(QLatin1Char('.'), start);
        if (dot < 0 || dot >= kDotSearchLimit)
            break;
        start = dot + 1;
    }
    return bytes;
}

int CDeviceSession::SendIPSettingsGet()
{
    BeginRequest(Read);
    for (const char* name : kReadNames)
        if (!AddGetVariable(QLatin1String(name)))
            return 0;
    return FinishRequest(&CDeviceSession::GetIPSettingsValues, "GetIPSettingsValues", Read);
}

int CDeviceSession::SendIPSettingsSet()
{
    BeginRequest(Write);
    const bool built =
        AddByteVariable(QStringLiteral("operIPAddress"), BlockBytes(operIPAddress)) &&
        AddByteVariable(QStringLiteral("operIPMask"), BlockBytes(operIPMask)) &&
        AddByteVariable(QStringLiteral("operGateway"), BlockBytes(operGateway)) &&
        AddIntegerVariable(QStringLiteral("operDHCP"), operDHCP) &&
        AddIntegerVariable(QStringLiteral("operPrimaryPort"), operPrimaryPort) &&
        AddIntegerVariable(QStringLiteral("operConfigurationPort"), operConfigurationPort);
    if (!built)
        return 0;
    return FinishRequest(&CDeviceSession::ValidateIPSettingsSetValues,
                         "ValidateIPSettingsSetValues", Write);
}

void CDeviceSession::GetIPSettingsValues()
{
    // The three addresses are held as working texts and reach the cache only
    // when the whole answer passes.
    const QString address = AnswerText(1);
    if (!Accept(address.size() >= kMinDottedLength, "Not expected IPAddress"))
        return;
    const QString mask = AnswerText(2);
    if (!Accept(mask.size() >= kMinDottedLength, "Not expected IPMask"))
        return;
    operEthernetAddress = BytesToHexText(AnswerBytes(3));
    if (!Accept(operEthernetAddress.size() == 12, "Not expected EthernetAddress"))
        return;
    const QString gateway = AnswerText(4);
    if (!Accept(gateway.size() >= kMinDottedLength, "Not expected Gateway"))
        return;
    operDHCP = AnswerUnsigned(5);
    if (!Accept(operDHCP == 1 || operDHCP == 2, "Not expected DHCP switch"))
        return;
    operPrimaryPort = AnswerUnsigned(6);
    if (!Accept(operPrimaryPort == 1 || operPrimaryPort == 2, "Not expected Primary Port"))
        return;
    operConfigurationPort = AnswerUnsigned(7);
    if (!Accept(operConfigurationPort <= 2, "Not expected Configuration Port"))
        return;
    operIPAddress = DottedTextToBytes(address);
    operIPMask = DottedTextToBytes(mask);
    operGateway = DottedTextToBytes(gateway);
    ResultFromStatus(Read, "GetIPSettingsValues");
}

void CDeviceSession::ValidateIPSettingsSetValues()
{
    const bool confirmed =
        BlockEquals(operIPAddress, AnswerBytes(1)) && BlockEquals(operIPMask, AnswerBytes(2)) &&
        BlockEquals(operGateway, AnswerBytes(3)) && AnswerUnsigned(4) == operDHCP &&
        AnswerUnsigned(5) == operPrimaryPort && AnswerUnsigned(6) == operConfigurationPort;
    if (!confirmed) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateIPSettingsSetValues");
}
