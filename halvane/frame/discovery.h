// Finding access points: the connect probe to one address and the broadcast
// scan, with timer 1 deciding resends and the verdict. No widgets: the main
// window turns the signals into message boxes and dialogs.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class CDeviceSession;

class CDiscovery : public QObject
{
    Q_OBJECT

public:
    struct CFoundAccessPoint {
        QString description;   // the sysDescr text, untrusted
        QString address;
    };
    static constexpr int kTimerId = 1;
    static constexpr int kTimerPeriod = 1300;   // milliseconds between sends
    static constexpr int kMaxFound = 256;

    CDiscovery(CDeviceSession* session, quint16 agentPort, const QString& broadcast,
               QObject* parent = nullptr);

    // Sends one discovery get of sysDescr.0 to address with community.
    void Probe(const QString& address, const QString& community);
    // Connect dialog OK: five probes of one address.
    void StartConnect(const QString& address, const QString& community, int authorityIndex);
    // Find Access Point (retries 0: five broadcasts) and Scan AP (retries 5:
    // a single broadcast).
    void StartScan(quint8 retryCount);

    // The response dispatcher's discovery cases. Returns false for an
    // ordinary response, which the device session then handles.
    bool OnResponse();
    // Timer 1.
    void OnTimerTick();

    QString BroadcastAddress() const { return m_broadcast; }
    bool TimerActive() const { return m_probeTimer.isActive(); }

    // Discovery state.
    QString m_targetAddress;
    bool m_connecting = false;
    bool m_scanning = false;
    QList<CFoundAccessPoint> m_foundList;   // m_foundCount entries in use
    quint16 m_foundCount = 0;
    QString m_sysDescr;

Q_SIGNALS:
    // A connect probe was answered: show the found box, then read the
    // configuration.
    void AccessPointFound(const QString& sysDescr);
    // The scan ended with an answer after its last send: show the list.
    void ScanSucceeded();
    // Nothing (or, for a scan, nothing after the last send) answered.
    void AccessPointNotFound();

private:
    void Verdict(bool found);

    CDeviceSession* m_session;
    quint16 m_agentPort;
    QString m_broadcast;
    QTimer m_probeTimer;
};
