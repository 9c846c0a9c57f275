// The SNMP agent of the emulated access point: answers v1 and v2c get, get-next, get-bulk
// and set requests on UDP over the device's variables, checks the communities, sends the
// device's traps as SNMPv1 traps, and injects faults for tests.
#pragma once

#include "ap_device.h"

#include "snmp_message.h"

#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <QString>

class QNetworkDatagram;
class QUdpSocket;

struct ApFaults {
    int dropPercent = 0;          // share of requests never answered
    int delayMs = 0;              // answers go out this late
    bool wrongRequestId = false;  // answers carry the request identifier plus one
    bool wrongSourcePort = false; // answers come from another UDP port
    QSet<QString> badLength;      // variables read with a wrong length
    QSet<QString> badValue;       // variables read with a value outside their range
    bool silent = false;          // answer nothing
    int silentAfter = -1;         // answer this many requests, then nothing (-1: no limit)
};

class ApAgent : public QObject
{
    Q_OBJECT

public:
    explicit ApAgent(ApDevice* device, QObject* parent = nullptr);
    ~ApAgent() override;

    // Binds the agent to address:port and, unless broadcast is null, a second socket to the
    // broadcast address on the same port (shared with other instances).
    bool open(const QHostAddress& address, quint16 port, const QHostAddress& broadcast,
              QString* error);
    quint16 port() const;
    QHostAddress address() const { return m_address; }

    void setTrapTarget(const QHostAddress& host, quint16 port);
    void setTrapCommunity(const QByteArray& community) { m_trapCommunity = community; }
    void setVerbose(bool on) { m_verbose = on; }
    ApFaults& faults() { return m_faults; }
    quint32 seed(quint32 seed);

    // Requests that reached the agent, answered or not.
    int requestCount() const { return m_requests; }

    // Builds the answer to a request; nothing when the request gets no answer (not a
    // request, or a version / type the agent does not serve). No faults are applied.
    std::optional<SnmpMessage> answer(const SnmpMessage& request);

    static QString broadcastFor(const QHostAddress& address);

Q_SIGNALS:
    void logLine(const QString& text);

private:
    void readPending(QUdpSocket* socket);
    void handle(const QNetworkDatagram& datagram);
    void sendTrap(int code, const QList<QPair<const ApVariable*, ApValue>>& variables);
    SnmpVariable toSnmp(const ApVariable& var, const ApValue& value, bool withFaults) const;
    bool fromSnmp(const ApVariable& var, const SnmpVariable& in, ApValue* out) const;
    void getNext(const QString& oid, SnmpMessage::Version version, SnmpVariable* out) const;
    QString describe(const SnmpMessage& message) const;
    QString variableName(const QString& oid) const;

    ApDevice* m_device;
    const ApVariableTable* m_table;
    QUdpSocket* m_socket = nullptr;
    QUdpSocket* m_broadcastSocket = nullptr;
    QUdpSocket* m_otherPortSocket = nullptr;
    QHostAddress m_address;
    QHostAddress m_trapHost;
    quint16 m_trapPort = 162;
    QByteArray m_trapCommunity = "public";
    bool m_verbose = false;
    ApFaults m_faults;
    QRandomGenerator m_random;
    int m_requests = 0;
    int m_answered = 0;
};
