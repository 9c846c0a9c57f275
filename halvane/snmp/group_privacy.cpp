// Privacy group: the four default WEP keys, the WEP mode and the default
// key in use. Read and written by the privacy options form through its own
// runners; a confirmed write is followed by the upload command.
#include "session.h"

namespace
{

const char* const kNames[] = {
    "defaultWEPKey1", "defaultWEPKey2",   "defaultWEPKey3",
    "defaultWEPKey4", "privacyWEPEnable", "privacyDefaultWEPKeyID",
};

// A key read from the device is always 13 bytes.
constexpr int kReadKeyDigits = 26;

} // namespace

int CDeviceSession::SendPrivacySettingsGet()
{
    BeginRequest(Read);
    for (const char* name : kNames)
        if (!AddGetVariable(QLatin1String(name)))
            return 0;
    return FinishRequest(&CDeviceSession::GetPrivacySettingsValues, "GetPrivacySettingsValues",
                         Read);
}

int CDeviceSession::SendPrivacySettingsSet()
{
    BeginRequest(Write);
    const bool built =
        AddHexVariable(QStringLiteral("defaultWEPKey1"), defaultWEPKey1) &&
        AddHexVariable(QStringLiteral("defaultWEPKey2"), defaultWEPKey2) &&
        AddHexVariable(QStringLiteral("defaultWEPKey3"), defaultWEPKey3) &&
        AddHexVariable(QStringLiteral("defaultWEPKey4"), defaultWEPKey4) &&
        AddIntegerVariable(QStringLiteral("privacyWEPEnable"), privacyWEPEnable) &&
        AddIntegerVariable(QStringLiteral("privacyDefaultWEPKeyID"), privacyDefaultWEPKeyID);
    if (!built)
        return 0;
    return FinishRequest(&CDeviceSession::ValidatePrivacySettingsSetValues,
                         "ValidatePrivacySettingsSetValues", Write);
}

void CDeviceSession::GetPrivacySettingsValues()
{
    QString* const keys[] = {&defaultWEPKey1, &defaultWEPKey2, &defaultWEPKey3, &defaultWEPKey4};
    const char* const texts[] = {"Not expected DeafultWepKeys1", "Not expected DeafultWepKeys2",
                                 "Not expected DeafultWepKeys3", "Not expected DeafultWepKeys4"};
    for (int i = 0; i < 4; ++i) {
        *keys[i] = BytesToHexText(AnswerBytes(i + 1));
        if (!Accept(keys[i]->size() == kReadKeyDigits, texts[i]))
            return;
    }
    privacyWEPEnable = AnswerUnsigned(5);
    if (!Accept(privacyWEPEnable >= 1 && privacyWEPEnable <= 3, "Not expected WEPEnable Value"))
        return;
    privacyDefaultWEPKeyID = AnswerUnsigned(6);
    if (!Accept(privacyDefaultWEPKeyID <= 4, "Not expected DeafultWepKeyID"))
        return;
    ResultFromStatus(Read, "GetPrivacySettingsValues");
}

void CDeviceSession::ValidatePrivacySettingsSetValues()
{
    const bool confirmed = BytesToHexText(AnswerBytes(1)) == defaultWEPKey1 &&
                           BytesToHexText(AnswerBytes(2)) == defaultWEPKey2 &&
                           BytesToHexText(AnswerBytes(3)) == defaultWEPKey3 &&
                           BytesToHexText(AnswerBytes(4)) == defaultWEPKey4 &&
                           AnswerUnsigned(5) == privacyWEPEnable &&
                           AnswerUnsigned(6) == privacyDefaultWEPKeyID;
    if (!confirmed) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidatePrivacySettingsSetValues");
}

bool CDeviceSession::ReadPrivacySettings()
{
    return RunSynchronous(Read, &CDeviceSession::SendPrivacySettingsGet, 3);
}

bool CDeviceSession::WritePrivacySettings()
{
    if (!RunSynchronous(Write, &CDeviceSession::SendPrivacySettingsSet, 3))
        return false;
    // The device keeps the new keys only after the upload command.
    return RunSystemCommand(1);
}
