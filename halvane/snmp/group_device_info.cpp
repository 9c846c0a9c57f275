// Device information and radio configuration: the two fixed-size hardware
// records of the device, and the regulatory domains that decide which
// channels the wireless forms offer.
#include "session.h"

namespace
{

struct Domain {
    int code;
    const char* name;
    int first;
    int last;
};

const Domain kDomains[] = {
    {0x10, "FCC", 1, 11},     {0x20, "DOC", 1, 11},  {0x30, "ETSI", 1, 13}, {0x31, "SPAIN", 10, 11},
    {0x32, "FRANCE", 10, 13}, {0x40, "MKK", 14, 14}, {0x41, "MKK1", 1, 14},
};

const Domain* findDomain(int code)
{
    for (const Domain& domain : kDomains)
        if (domain.code == code)
            return &domain;
    return nullptr;
}

constexpr std::size_t kDeviceTextSize = 32;

} // namespace

QString CDeviceSession::RegulatoryDomainName(int code)
{
    const Domain* domain = findDomain(code);
    return domain ? QLatin1String(domain->name) : QString();
}

QList<int> CDeviceSession::RegulatoryDomainChannels(int code)
{
    QList<int> channels;
    if (const Domain* domain = findDomain(code))
        for (int channel = domain->first; channel <= domain->last; ++channel)
            channels.append(channel);
    return channels;
}

QString CDeviceSession::DeviceInfoText(std::size_t offset) const
{
    if (offset >= kDeviceInfoSize)
        return QString();
    const std::size_t room = qMin(kDeviceTextSize, kDeviceInfoSize - offset);
    const char* text = reinterpret_cast<const char*>(sysDeviceInfo.data() + offset);
    return QString::fromLatin1(text, qsizetype(qstrnlen(text, uint(room))));
}

QString CDeviceSession::DeviceMacAddress() const
{
    return BytesToHexText(reinterpret_cast<const char*>(sysDeviceInfo.data() + DeviceMacOffset), 6);
}

int CDeviceSession::SendHardwareGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("sysDeviceInfo")))
        return 0;
    return FinishRequest(&CDeviceSession::GetHardwareValues, "GetHardwareValues", Read);
}

int CDeviceSession::SendHardwareSet()
{
    BeginRequest(Write);
    if (!AddByteVariable(QStringLiteral("sysDeviceInfo"), BlockBytes(sysDeviceInfo)))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateHardwareSetValues, "ValidateHardwareSetValues",
                         Write);
}

int CDeviceSession::SendRadioConfigurationGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("TestModeRadioConfiguration")))
        return 0;
    return FinishRequest(&CDeviceSession::GetRadioValues, "GetRadioValues", Read);
}

int CDeviceSession::SendRadioConfigurationSet()
{
    BeginRequest(Write);
    if (!AddHexVariable(QStringLiteral("TestModeRadioConfiguration"), TestModeRadioConfiguration))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateRadioSetValues, "ValidateRadioSetValues", Write);
}

void CDeviceSession::GetHardwareValues()
{
    // Cut to the record; a shorter value leaves the rest as it was.
    CopyIntoBlock(sysDeviceInfo, AnswerBytes(1));
    m_regulatoryDomain = qint8(sysDeviceInfo[DeviceDomainOffset]);
    ResultFromStatus(Read, "GetHardwareValues");
}

void CDeviceSession::ValidateHardwareSetValues()
{
    // The echo alone decides; this handler shows no diagnostic, not even
    // for a component error.
    try {
        m_setResult = BlockEquals(sysDeviceInfo, AnswerBytes(1)) ? 1 : 0;
    } catch (const ComponentError&) {
        m_setResult = 0;
    }
}

void CDeviceSession::GetRadioValues()
{
    TestModeRadioConfiguration = BytesToHexText(AnswerBytes(1));
    if (!Accept(TestModeRadioConfiguration.size() == kRadioConfigurationDigits,
                "Not expected RadioConfiguration"))
        return;
    ResultFromStatus(Read, "GetRadioValues");
}

void CDeviceSession::ValidateRadioSetValues()
{
    try {
        m_setResult = BytesToHexText(AnswerBytes(1)) == TestModeRadioConfiguration ? 1 : 0;
    } catch (const ComponentError&) {
        m_setResult = 0;
    }
}

bool CDeviceSession::WriteHardware()
{
    return RunSynchronous(Write, &CDeviceSession::SendHardwareSet, 1,
                          QStringLiteral("Set Hardware Configuration failed"));
}

bool CDeviceSession::WriteRadioConfiguration()
{
    return RunSynchronous(Write, &CDeviceSession::SendRadioConfigurationSet, 1,
                          QStringLiteral("Set Radio Configuration failed"));
}
