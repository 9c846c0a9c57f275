#include "config_transfer.h"

namespace {

struct PollStep {
    int position;
    int seconds;
    const char* label;
};

const PollStep kPollSteps[] = {
    {0, 0, "0 seconds"},   {1, 10, "10 seconds"}, {2, 30, "30 seconds"}, {3, 60, "1 minute"},
    {4, 120, "2 minutes"}, {5, 300, "5 minutes"}, {6, 600, "10 minutes"},
};

} // namespace

CConfigTransfer::CConfigTransfer(CDeviceSession* session, QObject* parent)
    : QObject(parent), m_session(session)
{
    connect(&m_pollTimer, &QTimer::timeout, this, &CConfigTransfer::Poll);
}

bool CConfigTransfer::StepWithRetries(CDeviceSession::RequestKind kind, Sender sender)
{
    m_session->m_retryCount = 0;
    for (;;) {
        (m_session->*sender)();
        m_session->WaitForAnswer();
        const quint32 result =
            kind == CDeviceSession::Read ? m_session->m_getResult : m_session->m_setResult;
        if (result == 1)
            return true;
        if (m_session->m_retryCount >= 4)
            return false;
        ++m_session->m_retryCount;
    }
}

bool CConfigTransfer::ReadStations()
{
    for (m_session->m_stationIndex = 1; m_session->m_stationIndex <= m_session->m_stationCount;
         ++m_session->m_stationIndex) {
        m_session->m_retryCount = 0;
        for (;;) {
            m_session->SendAssociatedStationGet();
            // Nothing waits for an answer: the station counts as done.
            if (!m_session->m_pendingHandler)
                break;
            m_session->WaitForAnswer();
            if (m_session->m_getResult == 1)
                break;
            if (m_session->m_retryCount >= 4)
                return false;
            ++m_session->m_retryCount;
        }
    }
    return true;
}

CConfigTransfer::Outcome CConfigTransfer::GetConfiguration()
{
    m_session->m_retryCount = 0;
    if (SessionBusy())
        return Busy;
    m_session->m_sessionState = CDeviceSession::StateReading;
    m_session->Ui()->SetStatusText(QStringLiteral("Reading configuration..."));

    using S = CDeviceSession;
    const Sender before[] = {
        &S::SendWirelessOperationalGet, &S::SendIPSettingsGet,     &S::SendOperationalModeGet,
        &S::SendEthernetStatisticsGet,  &S::SendWirelessStatisticsGet,
        &S::SendRadioConfigurationGet,  &S::SendHardwareGet,       &S::SendAssociatedSTAsNumGet,
    };
    const Sender after[] = {&S::SendTrapSwitchGet, &S::SendFilteringGet};
    bool ok = true;
    for (Sender sender : before) {
        if (!(ok = StepWithRetries(S::Read, sender)))
            break;
    }
    if (ok)
        ok = ReadStations();
    if (ok) {
        for (Sender sender : after) {
            if (!(ok = StepWithRetries(S::Read, sender)))
                break;
        }
    }
    m_session->Ui()->SetStatusText(ok ? QStringLiteral("Get Configuration done")
                                      : QStringLiteral("Get Configuration failed"));
    m_session->m_sessionState = CDeviceSession::StateIdle;
    return ok ? Done : Failed;
}

CConfigTransfer::Outcome CConfigTransfer::DownloadChanges()
{
    m_session->m_retryCount = 0;
    if (SessionBusy())
        return Busy;
    m_session->m_sessionState = CDeviceSession::StateWriting;
    m_session->Ui()->SetStatusText(QStringLiteral("Downloading configuration..."));

    using S = CDeviceSession;
    const Sender steps[] = {&S::SendWirelessOperationalSet, &S::SendIPSettingsSet,
                            &S::SendFilteringSet, &S::SendOperationalModeSet};
    bool ok = true;
    for (Sender sender : steps) {
        if (!(ok = StepWithRetries(S::Write, sender)))
            break;
    }
    // The upload makes the device keep what was written.
    if (ok)
        ok = m_session->RunSystemCommand(1);
    m_session->Ui()->SetStatusText(ok ? QStringLiteral("Download Configuration done")
                                      : QStringLiteral("Download failed"));
    m_session->m_sessionState = CDeviceSession::StateIdle;
    return ok ? Done : Failed;
}

CConfigTransfer::Outcome CConfigTransfer::Poll()
{
    if (SessionBusy())
        return Busy;
    m_session->m_sessionState = CDeviceSession::StateReading;
    using S = CDeviceSession;
    const Sender steps[] = {&S::SendEthernetStatisticsGet, &S::SendWirelessStatisticsGet,
                            &S::SendAssociatedSTAsNumGet};
    // The poll keeps its own attempt counter: m_retryCount belongs to the
    // operation the poll may have interrupted.
    const quint8 savedRetryCount = m_session->m_retryCount;
    bool ok = true;
    for (Sender sender : steps) {
        if (!(ok = StepWithRetries(S::Read, sender)))
            break;
    }
    if (ok)
        ok = ReadStations();
    m_session->m_retryCount = savedRetryCount;
    if (ok) {
        m_session->m_sessionState = CDeviceSession::StateIdle;
        Q_EMIT PollSucceeded();
        return Done;
    }
    ++m_pollFailures;
    if (m_pollFailures > kPollFailureLimit) {
        m_session->Ui()->ShowPlainMessage(QStringLiteral("Device not responded.Polling is stopping"));
        m_pollTimer.stop();
        m_pollFailures = 0;
        m_pollSeconds = 0;
    }
    m_session->m_sessionState = CDeviceSession::StateIdle;
    return Failed;
}

bool CConfigTransfer::ReadTestStatistics()
{
    if (SessionBusy()) {
        m_session->Ui()->SetStatusText(QStringLiteral("Get Test Statistics failed"));
        return false;
    }
    m_session->m_sessionState = CDeviceSession::StateReading;
    m_session->SendTestStatisticsGet();
    m_session->WaitForAnswer();
    m_session->m_sessionState = CDeviceSession::StateIdle;
    return m_session->m_getResult == 1;
}

void CConfigTransfer::SetPollInterval(int seconds)
{
    m_pollFailures = 0;
    m_pollSeconds = PollSecondsOfPosition(PositionOfPollSeconds(seconds));
    if (m_pollSeconds != 0)
        m_pollTimer.start(m_pollSeconds * 1000);
    else
        m_pollTimer.stop();
}

int CConfigTransfer::PollSecondsOfPosition(int position)
{
    for (const PollStep& step : kPollSteps) {
        if (step.position == position)
            return step.seconds;
    }
    return 0;
}

int CConfigTransfer::PositionOfPollSeconds(int seconds)
{
    for (const PollStep& step : kPollSteps) {
        if (step.seconds == seconds)
            return step.position;
    }
    return 0;
}

QString CConfigTransfer::PollLabelOfPosition(int position)
{
    for (const PollStep& step : kPollSteps) {
        if (step.position == position)
            return QLatin1String(step.label);
    }
    return QLatin1String(kPollSteps[0].label);
}
