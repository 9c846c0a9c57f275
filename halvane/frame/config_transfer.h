// Moving whole sets of groups between the device and the cache: Get
// Configuration, Download Changes, the statistics poll on timer 2 and the
// single test statistics read. No widgets: the main window adds the wait
// cursor, the questions, the menu switch and the form refreshes.
#pragma once

#include "session.h"

#include <QObject>
#include <QTimer>

class CConfigTransfer : public QObject
{
    Q_OBJECT

public:
    enum Outcome { Done, Failed, Busy };
    static constexpr int kPollTimerId = 2;
    static constexpr int kPollFailureLimit = 10;

    explicit CConfigTransfer(CDeviceSession* session, QObject* parent = nullptr);

    // The eleven read steps; texts in pane 0 except the final ones.
    Outcome GetConfiguration();
    // The four write steps and the upload (after the caller's authority
    // check and question).
    Outcome DownloadChanges();
    // One poll (timer 2): statistics and stations; failures counted, the
    // 11th stops polling with its message.
    Outcome Poll();
    // One read of the radio test statistics.
    bool ReadTestStatistics();

    // Polling interval: 0 (off), 10, 30, 60, 120, 300 or 600 seconds.
    void SetPollInterval(int seconds);
    static int PollSecondsOfPosition(int position);
    static int PositionOfPollSeconds(int seconds);
    static QString PollLabelOfPosition(int position);
    bool PollTimerActive() const { return m_pollTimer.isActive(); }
    int PollTimerInterval() const { return m_pollTimer.interval(); }

    int m_pollSeconds = 0;
    quint8 m_pollFailures = 0;

Q_SIGNALS:
    // A poll read every group: the open statistics and station forms redraw.
    void PollSucceeded();

private:
    using Sender = int (CDeviceSession::*)();
    // Up to five attempts with m_retryCount (which a handler may set to 4
    // to stop the retries).
    bool StepWithRetries(CDeviceSession::RequestKind kind, Sender sender);
    // The station information of stations 1 to m_stationCount.
    bool ReadStations();
    bool SessionBusy() const { return m_session->Refuses(); }

    CDeviceSession* m_session;
    QTimer m_pollTimer;
};
