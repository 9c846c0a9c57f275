// One ICMP echo at a time to an IPv4 host given as text (a name or a dotted
// address), with its round-trip time from a monotonic clock.
//
// Sockets: a Linux datagram ICMP socket where the kernel allows it for the
// process's group (net.ipv4.ping_group_range), otherwise a raw ICMP socket
// (needs CAP_NET_RAW). The socket is opened with the first echo and kept for
// the following ones; it lives in the network namespace that was current
// when it was opened.
//
// Matching: a reply counts only when it comes from the pinged address and
// carries the identifier, the sequence number and the payload of the echo
// that is pending. Replies to earlier echoes, duplicates, other programs'
// replies and damaged packets are read and dropped.
//
// Time-out: an echo that has no reply DefaultTimeout (1000) milliseconds
// after it was sent fails with TimedOut; setTimeout() changes that. Name
// resolution runs before the echo is sent and is not part of the time-out
// (the system resolver's own limits apply); abort() ends it like an echo.
//
// Everything happens on the thread that owns the object, driven by its event
// loop: start() returns at once and finished() follows; ping() waits for the
// end while it keeps processing events, so a user interface stays responsive.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QEventLoop;
class QHostInfo;
class QSocketNotifier;

class IcmpPing : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeout = 1000; // milliseconds

    enum SocketKind {
        AutomaticSocket, // datagram where allowed, raw otherwise
        DatagramSocket,
        RawSocket,
    };
    Q_ENUM(SocketKind)

    enum Result {
        NoResult, // nothing has been sent yet, or an echo is pending
        Answered,
        TimedOut,
        Aborted,
        Failed, // the host was not found, or no echo could be sent
    };
    Q_ENUM(Result)

    explicit IcmpPing(QObject* parent = nullptr);
    ~IcmpPing() override;

    int timeout() const { return m_timeout; }
    // Milliseconds; values below 1 are taken as 1.
    void setTimeout(int milliseconds);

    // Which kind of socket may be used; AutomaticSocket unless set. A change
    // closes the socket that is open (after the pending echo, if any), so
    // the next echo opens a new one.
    SocketKind socketKind() const { return m_requestedKind; }
    void setSocketKind(SocketKind kind);
    // The kind of the socket that is open; AutomaticSocket while none is.
    SocketKind openSocketKind() const { return m_openKind; }

    // Sends one echo to host. True when it is under way: finished() follows
    // exactly once. False, with result() Failed and errorText() set and no
    // signal, when nothing could be sent at once (empty or malformed text,
    // no ICMP socket, a send error). False, changing nothing, while another
    // echo is pending.
    bool start(const QString& host);
    // start(), then waits for the end of the echo while processing events.
    // True when it was answered.
    bool ping(const QString& host);
    // Ends a pending echo (or name lookup) with Aborted. Nothing otherwise.
    void abort();
    bool isPending() const { return m_pending; }

    Result result() const { return m_result; }
    // Round-trip time of the last echo in whole milliseconds (truncated);
    // -1 unless it was answered.
    int roundTripTime() const;
    // The same in nanoseconds; -1 unless answered.
    qint64 roundTripNanoseconds() const { return m_result == Answered ? m_rttNanoseconds : -1; }
    // Why the last echo did not succeed; empty after an answer.
    QString errorText() const { return m_errorText; }
    // The address the last echo went to (after name resolution).
    QHostAddress address() const { return m_address; }
    // Identifier and sequence number of the last echo sent.
    quint16 identifier() const { return m_identifier; }
    quint16 sequence() const { return m_sequence; }
    // Payload of the last echo sent; a reply must carry it unchanged.
    QByteArray payload() const { return m_payload; }

Q_SIGNALS:
    void finished(IcmpPing::Result result);

private:
    bool openSocket();
    void closeSocket();
    bool send(const QHostAddress& address);
    void lookedUp(const QHostInfo& info);
    void readPending();
    void handlePacket(const QByteArray& packet, const QHostAddress& source);
    void finish(Result result, const QString& errorText = QString());
    void setFailure(const QString& errorText);

    int m_timeout = DefaultTimeout;
    SocketKind m_requestedKind = AutomaticSocket;
    SocketKind m_openKind = AutomaticSocket;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;

    bool m_pending = false;
    bool m_reopen = false;
    int m_lookupId = -1;
    QHostAddress m_address;
    quint16 m_identifier = 0;
    quint16 m_sequence = 0;
    QByteArray m_payload;
    quint64 m_cookie = 0;

    QElapsedTimer m_clock;
    QTimer m_timer;
    Result m_result = NoResult;
    qint64 m_rttNanoseconds = -1;
    QString m_errorText;
    QPointer<QEventLoop> m_loop;
};
