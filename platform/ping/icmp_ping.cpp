#include "icmp_ping.h"

#include "icmp_packet.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QtEndian>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <limits>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

constexpr int PayloadSize = 56;

// Identifiers for raw sockets, where the program chooses them: distinct for
// the echo objects of one process, random across processes.
quint16 nextRawIdentifier()
{
    static std::atomic<quint32> counter{QRandomGenerator::global()->generate()};
    return quint16(counter.fetch_add(1) & 0xFFFF);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

IcmpPing::IcmpPing(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_pending)
            finish(TimedOut, tr("Request timed out"));
    });
    m_cookie = QRandomGenerator::global()->generate64();
}

IcmpPing::~IcmpPing()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    if (m_loop)
        m_loop->quit();
    closeSocket();
}

void IcmpPing::setTimeout(int milliseconds)
{
    m_timeout = qMax(1, milliseconds);
}

void IcmpPing::setSocketKind(SocketKind kind)
{
    if (kind == m_requestedKind)
        return;
    m_requestedKind = kind;
    if (m_pending)
        m_reopen = true;
    else
        closeSocket();
}

int IcmpPing::roundTripTime() const
{
    if (m_result != Answered)
        return -1;
    return int(qMin<qint64>(m_rttNanoseconds / 1000000, std::numeric_limits<int>::max()));
}

bool IcmpPing::openSocket()
{
    if (m_fd >= 0)
        return true;
    QString datagramError;
    if (m_requestedKind != RawSocket) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd >= 0) {
            // Binding with port 0 makes the kernel choose the echo
            // identifier now, so that it can be read back.
            sockaddr_in local{};
            local.sin_family = AF_INET;
            socklen_t length = sizeof local;
            if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
                m_fd = fd;
                m_openKind = DatagramSocket;
                m_identifier = qFromBigEndian(local.sin_port);
            } else {
                datagramError = systemError(errno);
                ::close(fd);
            }
        } else {
            datagramError = systemError(errno);
        }
        if (m_fd < 0 && m_requestedKind == DatagramSocket) {
            setFailure(tr("Cannot open an ICMP datagram socket: %1").arg(datagramError));
            return false;
        }
    }
    if (m_fd < 0) {
        const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd < 0) {
            const QString rawError = systemError(errno);
            setFailure(datagramError.isEmpty()
                           ? tr("Cannot open a raw ICMP socket: %1").arg(rawError)
                           : tr("Cannot open an ICMP socket (datagram: %1; raw: %2)")
                                 .arg(datagramError, rawError));
            return false;
        }
        // Only echo replies reach this socket; the kernel drops the rest.
        icmp_filter filter{};
        filter.data = ~(1U << ICMP_ECHOREPLY);
        ::setsockopt(fd, SOL_RAW, ICMP_FILTER, &filter, sizeof filter);
        m_fd = fd;
        m_openKind = RawSocket;
        m_identifier = nextRawIdentifier();
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &IcmpPing::readPending);
    return true;
}

void IcmpPing::closeSocket()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_openKind = AutomaticSocket;
}

bool IcmpPing::start(const QString& host)
{
    if (m_pending)
        return false;
    m_result = NoResult;
    m_rttNanoseconds = -1;
    m_errorText.clear();
    m_address.clear();
    const QString text = host.trimmed();
    if (text.isEmpty()) {
        setFailure(tr("No host given"));
        return false;
    }
    QHostAddress address;
    if (address.setAddress(text)) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol) {
            setFailure(tr("Only IPv4 hosts can be pinged: %1").arg(text));
            return false;
        }
        m_address = address;
        if (!send(address))
            return false;
        m_pending = true;
        return true;
    }
    // A name: resolved off this thread by Qt, answered here.
    m_pending = true;
    m_lookupId = QHostInfo::lookupHost(text, this, &IcmpPing::lookedUp);
    return true;
}

void IcmpPing::lookedUp(const QHostInfo& info)
{
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    if (!m_pending)
        return;
    QHostAddress found;
    for (const QHostAddress& candidate : info.addresses()) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
            found = candidate;
            break;
        }
    }
    if (found.isNull()) {
        finish(Failed, info.error() != QHostInfo::NoError
                           ? tr("Host not found: %1 (%2)").arg(info.hostName(), info.errorString())
                           : tr("Host not found: %1").arg(info.hostName()));
        return;
    }
    m_address = found;
    if (!send(found)) {
        const QString error = m_errorText;
        finish(Failed, error);
    }
}

bool IcmpPing::send(const QHostAddress& address)
{
    if (!openSocket())
        return false;
    // Drop whatever arrived since the last echo before a new one goes out.
    readPending();
    m_sequence = quint16(m_sequence + 1);
    // The payload carries this object's cookie and the sequence number, so
    // that a reply is recognised by its content as well as by its header.
    QByteArray payload(PayloadSize, '\0');
    qToBigEndian(m_cookie, payload.data());
    qToBigEndian(m_sequence, payload.data() + 8);
    for (int i = 10; i < PayloadSize; ++i)
        payload[i] = char(i);
    m_payload = payload;
    const QByteArray packet = icmp::echoRequest(m_identifier, m_sequence, payload);

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = qToBigEndian(address.toIPv4Address());
    m_clock.start();
    const ssize_t sent = ::sendto(m_fd, packet.constData(), size_t(packet.size()), 0,
                                  reinterpret_cast<sockaddr*>(&destination), sizeof destination);
    if (sent != packet.size()) {
        setFailure(sent < 0
                       ? tr("Cannot send to %1: %2").arg(address.toString(), systemError(errno))
                       : tr("Cannot send to %1: short write").arg(address.toString()));
        return false;
    }
    m_timer.start(m_timeout);
    return true;
}

void IcmpPing::readPending()
{
    if (m_fd < 0)
        return;
    char buffer[4096];
    for (;;) {
        sockaddr_in source{};
        socklen_t length = sizeof source;
        const ssize_t size = ::recvfrom(m_fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&source), &length);
        if (size < 0) {
            if (errno == EINTR)
                continue;
            // EAGAIN: drained. Errors queued on the socket (ICMP errors on a
            // datagram socket) are consumed by the read and change nothing:
            // the echo then ends by its time-out.
            return;
        }
        const QHostAddress from(qFromBigEndian(source.sin_addr.s_addr));
        handlePacket(QByteArray(buffer, int(size)), from);
    }
}

void IcmpPing::handlePacket(const QByteArray& packet, const QHostAddress& source)
{
    if (!m_pending || m_address.isNull() || m_payload.isEmpty())
        return;
    const std::optional<icmp::Echo> echo = icmp::parseEcho(packet, m_openKind == RawSocket);
    if (!echo || echo->type != icmp::EchoReplyType)
        return;
    if (source != m_address || echo->identifier != m_identifier || echo->sequence != m_sequence ||
        echo->payload != m_payload)
        return;
    m_rttNanoseconds = m_clock.nsecsElapsed();
    finish(Answered);
}

bool IcmpPing::ping(const QString& host)
{
    if (!start(host))
        return false;
    QPointer<IcmpPing> self(this);
    QEventLoop loop;
    m_loop = &loop;
    connect(this, &IcmpPing::finished, &loop, &QEventLoop::quit);
    if (m_pending)
        loop.exec();
    if (!self)
        return false;
    m_loop = nullptr;
    return m_result == Answered;
}

void IcmpPing::abort()
{
    if (!m_pending)
        return;
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    finish(Aborted, tr("Aborted"));
}

void IcmpPing::finish(Result result, const QString& errorText)
{
    m_timer.stop();
    m_pending = false;
    if (m_reopen) {
        m_reopen = false;
        closeSocket();
    }
    m_result = result;
    m_errorText = errorText;
    if (result != Answered)
        m_rttNanoseconds = -1;
    Q_EMIT finished(result);
}

void IcmpPing::setFailure(const QString& errorText)
{
    m_result = Failed;
    m_rttNanoseconds = -1;
    m_errorText = errorText;
}
