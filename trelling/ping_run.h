// The ping run: echo requests to one host back to back until aborted, each
// counted into the statistics. The run is a loop on the calling (user
// interface) thread that keeps processing events during each echo and in a
// short pause after it, so the window stays usable; Abort and a close request
// take effect at the end of the loop's current pass.
#pragma once

#include "icmp_ping.h"
#include "ping_statistics.h"

#include <QObject>
#include <QString>

class CPingRun : public QObject
{
    Q_OBJECT

public:
    static constexpr int PauseBetweenEchoes = 1; // ms

    explicit CPingRun(QObject* parent = nullptr);

    bool Running() const { return m_running; }
    bool CloseRequested() const { return m_closeRequested; }
    bool PingNotAborted() const { return m_pingNotAborted; }
    void setPingNotAborted(bool set) { m_pingNotAborted = set; }

    const PingStatistics& statistics() const { return m_statistics; }
    IcmpPing& pinger() { return m_ping; }

    void ClearStatistics();
    // One echo to host: its round-trip time in ms, or -1 when it failed.
    int PingOnce(const QString& host);
    // Counts a PingOnce() result and raises resultRecorded().
    void RecordResult(int result);
    // Processes pending events until at least ms milliseconds have passed.
    static void Pause(int ms);

    // The loop of a run: clears CloseRequested, sets Running, then pings,
    // records and pauses while Running stays set. Returns when the run has
    // ended, with Running clear. Does nothing while a run is going on.
    void Run(const QString& host);
    // Ends a run at the end of its current pass: clears PingNotAborted,
    // aborts the pending echo and clears Running. False, doing nothing,
    // when no run is going on.
    bool Abort();
    // A request to close the window: false while a run is going on, in which
    // case CloseRequested is set and the run aborted; true otherwise.
    bool requestClose();

Q_SIGNALS:
    // After every echo: the statistics are updated.
    void resultRecorded(bool answered);

private:
    IcmpPing m_ping;
    PingStatistics m_statistics;
    bool m_running = false;
    bool m_closeRequested = false;
    bool m_pingNotAborted = false;
};
