// Filtering group: IP filtering and the forwarding and sending back of
// broadcasts and unicasts, four on/off switches.
#include "session.h"

namespace
{

const char* const kNames[] = {
    "operIPFilter",
    "operForwarbBcast",
    "operSendBackBcast",
    "operSendBackUnicast",
};

} // namespace

int CDeviceSession::SendFilteringGet()
{
    BeginRequest(Read);
    for (const char* name : kNames)
        if (!AddGetVariable(QLatin1String(name)))
            return 0;
    return FinishRequest(&CDeviceSession::GetFilteringValues, "GetFilteringValues", Read);
}

int CDeviceSession::SendFilteringSet()
{
    BeginRequest(Write);
    const quint32 values[] = {operIPFilter, operForwarbBcast, operSendBackBcast,
                              operSendBackUnicast};
    for (int i = 0; i < 4; ++i)
        if (!AddIntegerVariable(QLatin1String(kNames[i]), values[i]))
            return 0;
    return FinishRequest(&CDeviceSession::ValidateFilteringSetValues, "ValidateFilteringSetValues",
                         Write);
}

void CDeviceSession::GetFilteringValues()
{
    quint32* const members[] = {&operIPFilter, &operForwarbBcast, &operSendBackBcast,
                                &operSendBackUnicast};
    for (int i = 0; i < 4; ++i) {
        *members[i] = AnswerUnsigned(i + 1);
        if (!Accept(*members[i] == 1 || *members[i] == 2, "Not expected Filtering Values"))
            return;
    }
    ResultFromStatus(Read, "GetFilteringValues");
}

void CDeviceSession::ValidateFilteringSetValues()
{
    const quint32 values[] = {operIPFilter, operForwarbBcast, operSendBackBcast,
                              operSendBackUnicast};
    for (int i = 0; i < 4; ++i) {
        if (AnswerUnsigned(i + 1) != values[i]) {
            m_setResult = 0;
            return;
        }
    }
    ResultFromStatus(Write, "ValidateFilteringSetValues");
}
