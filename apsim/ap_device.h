// The device semantics of the emulated access point: what each variable reads as, what a
// write does (commands, the station and MAC table protocols, site survey, client connect,
// test mode), the stations that come and go, the counters, and reset / upload / defaults.
// Protocol front ends (the SNMP agent, the DFU endpoint, the control lines) call into it.
#pragma once

#include "ap_profile.h"
#include "ap_store.h"
#include "ap_variables.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <array>
#include <optional>

// Why a write is refused, independent of the SNMP version that reports it.
enum class ApError {
    None,
    NoSuchName,   // no such variable
    NotWritable,  // read-only variable
    WrongType,    // value of the wrong syntax
    WrongLength,  // byte string of a length the variable does not take
    WrongValue,   // value outside its range
    Inconsistent, // value that does not fit the device's state or the rest of the request
};

struct ApWrite {
    const ApVariable* variable = nullptr;
    ApValue value;
};

struct ApDeviceSettings {
    int resetTimeMs = 2000; // how long a reset keeps the device silent
    int scanDelayMs = 3000; // how long a site survey takes
    int churnSeconds = 0;   // mean time between station events; 0 off
    quint32 seed = 0;       // random seed; 0 picks one
};

class ApDevice : public QObject
{
    Q_OBJECT

public:
    ApDevice(const ApVariableTable* table, ApStore* store, const ApProfile& profile,
             const ApDeviceSettings& settings, QObject* parent = nullptr);

    const ApVariableTable* table() const { return m_table; }
    ApStore* store() const { return m_store; }
    const ApProfile& profile() const { return m_profile; }
    QByteArray firmware() const { return m_profile.firmware; }

    // Starts the device: counters, stations, churn; reports deviceStarted.
    void start();
    // False while the device restarts after a reset.
    bool isRunning() const { return !m_rebooting; }

    // Current value of a variable as a manager reads it.
    ApValue read(const ApVariable& var);

    // Checks a whole write request; on refusal returns the error and the position (from 0)
    // of the refused value. Nothing changes.
    ApError check(const QList<ApWrite>& writes, int* failedIndex) const;
    // Carries out a checked write request. Returns the value each position answers with
    // (the value written, or the device's reply for the query variables).
    QList<ApValue> apply(const QList<ApWrite>& writes);

    // Events, also for the control lines.
    void associate(const QByteArray& mac);
    void disassociate(const QByteArray& mac);
    void startSiteSurvey();
    bool upload(QString* error = nullptr);
    void reset();
    bool loadDefaults(QString* error = nullptr);
    void setEthernetLink(bool up);
    // Reports trap `code` with its usual variable; value (6 bytes or an IP address)
    // overrides the variable where the trap carries one.
    bool raiseTrap(int code, const QByteArray& value = {});

    QList<QByteArray> associatedStations() const { return m_associated; }
    QList<ApNeighbour> knownBsss() const { return m_known; }
    bool testMode() const { return m_testMode; }

    // The regulatory domain (byte 11 of the device information) and its channel range.
    quint8 regulatoryDomain() const;
    static bool channelRange(quint8 domain, int* lowest, int* highest);

Q_SIGNALS:
    // A trap to send: its specific code and its variables (identifier and value).
    void trap(int code, const QList<QPair<const ApVariable*, ApValue>>& variables);
    // The device has gone down for a reset (true) or is back (false).
    void rebooting(bool down);
    // Something noteworthy, for the log.
    void noteworthy(const QString& text);

private:
    void updateCounters();
    void resetCounters();
    void updateTestCounters();
    void finishSurvey();
    void churn();
    void scheduleChurn();
    void joinSelectedBss(int number);
    void finishReset();
    QByteArray stationRecord(int number) const;
    QByteArray macBlockReply(const QByteArray& request);
    QByteArray knownApsBlock() const;
    qint64 uptimeTicks() const;

    const ApVariableTable* m_table;
    ApStore* m_store;
    ApProfile m_profile;
    ApDeviceSettings m_settings;
    QRandomGenerator m_random;

    QElapsedTimer m_uptime;
    bool m_rebooting = false;
    QTimer m_resetTimer;
    QTimer m_surveyTimer;
    QTimer m_churnTimer;

    QList<QByteArray> m_associated; // in order of association; number = position + 1
    QList<ApNeighbour> m_known;     // result of the last site survey
    bool m_surveying = false;
    int m_selectedBss = 1;
    QByteArray m_lastStationRecord;
    QByteArray m_lastMacBlock;
    QList<QByteArray> m_pendingTable; // MAC table being written block by block
    int m_pendingTotal = 0;
    QByteArray m_trapBssid;
    QByteArray m_trapStationMac;
    bool m_ethernetUp = true;

    // Counters, advanced from the elapsed time at each read.
    std::array<double, 22> m_wireless{};
    std::array<double, 16> m_ethRx{};
    std::array<double, 14> m_ethTx{};
    QElapsedTimer m_counterClock;

    bool m_testMode = false;
    QByteArray m_testCommand;
    double m_testReceived = 0, m_testErrored = 0, m_testTransmitted = 0;
    QElapsedTimer m_testClock;
};
