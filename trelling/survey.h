// The access point survey: one SNMP get-request of sysDescr.0 sent to the
// broadcast address; every agent that answers with a description is listed
// with its address, and the survey ends 1000 ms after the last answer (or
// after the start when nobody answers).
#pragma once

#include "snmp_manager.h"
#include "snmp_mib.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class CSurvey : public QObject
{
    Q_OBJECT

public:
    // Entries 0 to 100 of the responder table; further answers are dropped.
    static constexpr int MaxResponders = 101;
    static constexpr int SurveyEndDelay = 1000; // ms after the last answer
    static constexpr const char* MibFileName = "QX9304.mib";

    explicit CSurvey(QObject* parent = nullptr);

    // Local port the manager listens on (162 unless set), the agents' port
    // (161) and where the request goes (255.255.255.255). Set before use.
    void setTrapPort(quint16 port) { m_trapPort = port; }
    quint16 trapPort() const { return m_trapPort; }
    void setAgentPort(quint16 port) { m_agentPort = port; }
    quint16 agentPort() const { return m_agentPort; }
    void setBroadcastAddress(const QString& address) { m_broadcast = address; }
    QString broadcastAddress() const { return m_broadcast; }

    // Loads QX9304.mib by bare name. False (see mibErrorText()) when it
    // cannot be loaded.
    bool loadMib();
    QString mibErrorText() const { return m_mib.errorText(); }

    // Opens the manager on the trap port. False when it was open already,
    // and false with statusText() when it cannot be opened.
    bool OpenManager();
    // Starts a survey: empties the table, sends the broadcast and starts
    // Timer1. Raises surveyStarted() first.
    void StartSurvey();

    bool surveyMode() const { return m_surveyMode; }
    int ResponderCount() const { return m_responderCount; }
    // Entry n of the table of answering agents, "" beyond the count.
    QString ResponderAddresses(int index) const;
    // The descriptions listed, in the same order.
    QStringList descriptions() const { return m_descriptions; }
    // Whether Timer1 runs, that is a survey has not ended yet.
    bool timerRunning() const { return m_timer1.isActive(); }

    SnmpManager& manager() { return m_manager; }

    // The texts of the survey's end.
    static QString endText(int agents);
    // The text for a manager that cannot be opened on port.
    static QString openErrorText(quint16 port, int number, const QString& description);

Q_SIGNALS:
    void surveyStarted();
    void agentListed(const QString& description, const QString& address);
    // Timer1 fired: the survey is over with agents listed.
    void surveyEnded(int agents);
    // Progress and failures for the status label.
    void statusText(const QString& text);
    // An SNMP error while no request waits for an answer (time-out 0).
    void asynchronousError(const QString& text);

private:
    void handleResponse();
    void handleError(int number, const QString& text);
    void timerTick();

    SnmpManager m_manager;
    SnmpMib m_mib;
    QTimer m_timer1;
    quint16 m_trapPort = 162;
    quint16 m_agentPort = 161;
    QString m_broadcast = QStringLiteral("255.255.255.255");

    bool m_surveyMode = false;
    QStringList m_responderAddresses;
    QStringList m_descriptions;
    quint16 m_responderCount = 0;
    qint32 m_requestId = 0;

    int m_lastErrorNumber = 0;
    QString m_lastErrorText;
};
