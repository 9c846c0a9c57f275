// The SNMP manager: sends one request message over UDP and raises events for
// the answers, traps and errors that arrive, on the thread that owns it.
#pragma once

#include "snmp_message.h"

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QObject>
#include <QTimer>

class QUdpSocket;

class SnmpManager : public QObject
{
    Q_OBJECT

public:
    // Error numbers of the error event.
    enum ErrorNumber {
        ErrorAccessDenied = 10013,
        ErrorInvalidArgument = 10022,
        ErrorAddressInUse = 10048,
        ErrorAddressNotAvailable = 10049,
        ErrorNetworkUnreachable = 10051,
        ErrorNotOpen = 10057,
        ErrorTimedOut = 10060,
        ErrorHostNotFound = 11001,
        ErrorEncoding = 11002,
    };

    explicit SnmpManager(QObject* parent = nullptr);
    ~SnmpManager() override;

    bool isOpen() const;
    // Binds the local UDP port (0: any free port) on localAddress (empty: all
    // IPv4 interfaces). Broadcasts may be sent once open. A port in use fails
    // with error number 10048 through the error event.
    bool open(quint16 localPort = 0, const QString& localAddress = QString());
    void close();
    quint16 localPort() const;

    // Time-out of a request in milliseconds. While a request sent with a
    // non-zero time-out waits for its answer the manager is busy.
    int timeout() const { return m_timeout; }
    void setTimeout(int milliseconds);

    // Destination of the next send. After an answer or a trap has arrived it
    // reads as the address the datagram came from.
    QString remoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString& host) { m_remoteHost = host; }
    quint16 remotePort() const { return m_remotePort; }
    void setRemotePort(quint16 port) { m_remotePort = port; }
    // Source port of the last datagram received.
    quint16 lastSourcePort() const { return m_lastSourcePort; }

    // 1 while a request sent with a non-zero time-out waits for its answer.
    int busy() const { return m_busy ? 1 : 0; }

    // The request message before send; the answer or trap just received
    // while a response or trap event is being handled.
    SnmpMessage& message() { return m_message; }

    // Encodes and sends the message to remoteHost():remotePort(). Returns
    // false, after an error event, when nothing could be sent.
    bool send();

Q_SIGNALS:
    void response();
    void trapReceived();
    void error(int number, const QString& text);

private:
    // Datagrams read but not yet handled, at most; time of one handling slice.
    static constexpr qsizetype kMaxQueuedDatagrams = 16384;
    static constexpr int kHandlingSliceMs = 10;

    void readPending();
    void handleQueued();
    void handleDatagram(const QNetworkDatagram& datagram);
    void fail(int number, const QString& text);
    void requestTimedOut();

    QUdpSocket* m_socket = nullptr;
    SnmpMessage m_message;
    QString m_remoteHost;
    quint16 m_remotePort = 161;
    quint16 m_lastSourcePort = 0;
    int m_timeout = 1000;
    bool m_busy = false;
    qint32 m_awaitedId = 0;
    QTimer m_timer;
    QList<QNetworkDatagram> m_queue;
    bool m_handlingScheduled = false; // the rest of the queue follows from a zero timer
};
