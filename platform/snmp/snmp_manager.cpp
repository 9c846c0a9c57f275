#include "snmp_manager.h"

#include <QElapsedTimer>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

namespace {

int errorNumberOf(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return SnmpManager::ErrorAddressInUse;
    case QAbstractSocket::SocketAccessError:
        return SnmpManager::ErrorAccessDenied;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return SnmpManager::ErrorAddressNotAvailable;
    case QAbstractSocket::NetworkError:
        return SnmpManager::ErrorNetworkUnreachable;
    case QAbstractSocket::HostNotFoundError:
        return SnmpManager::ErrorHostNotFound;
    default:
        return SnmpManager::ErrorInvalidArgument;
    }
}

// The IPv4 text of an address, also when it arrives as an IPv4-mapped one.
QString addressText(const QHostAddress& address)
{
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

} // namespace

SnmpManager::SnmpManager(QObject* parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SnmpManager::requestTimedOut);
}

SnmpManager::~SnmpManager() = default;

bool SnmpManager::isOpen() const
{
    return m_socket && m_socket->state() == QAbstractSocket::BoundState;
}

bool SnmpManager::open(quint16 localPort, const QString& localAddress)
{
    if (isOpen())
        return true;
    QHostAddress address = QHostAddress::AnyIPv4;
    if (!localAddress.isEmpty() && !address.setAddress(localAddress)) {
        fail(ErrorAddressNotAvailable, tr("Invalid local address %1").arg(localAddress));
        return false;
    }
    delete m_socket;
    m_socket = new QUdpSocket(this);
    // No address sharing: a second listener on the same port must fail.
    if (!m_socket->bind(address, localPort, QAbstractSocket::DontShareAddress)) {
        const int number = errorNumberOf(m_socket->error());
        const QString text = m_socket->errorString();
        delete m_socket;
        m_socket = nullptr;
        fail(number, text);
        return false;
    }
    // Room for bursts of traps between two wake-ups.
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(1 << 20));
    connect(m_socket, &QUdpSocket::readyRead, this, &SnmpManager::readPending);
    return true;
}

void SnmpManager::close()
{
    m_timer.stop();
    m_busy = false;
    delete m_socket;
    m_socket = nullptr;
    m_queue.clear();
}

quint16 SnmpManager::localPort() const
{
    return m_socket ? m_socket->localPort() : 0;
}

void SnmpManager::setTimeout(int milliseconds)
{
    m_timeout = qMax(0, milliseconds);
}

bool SnmpManager::send()
{
    if (!isOpen()) {
        fail(ErrorNotOpen, tr("The manager is not open"));
        return false;
    }
    QHostAddress destination;
    if (!destination.setAddress(m_remoteHost)) {
        const QHostInfo info = QHostInfo::fromName(m_remoteHost);
        for (const QHostAddress& candidate : info.addresses()) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                destination = candidate;
                break;
            }
        }
        if (destination.isNull()) {
            fail(ErrorHostNotFound, tr("Host not found: %1").arg(m_remoteHost));
            return false;
        }
    }
    const QByteArray datagram = m_message.encode();
    if (datagram.isEmpty()) {
        fail(ErrorEncoding, tr("The request cannot be encoded"));
        return false;
    }
    if (m_socket->writeDatagram(datagram, destination, m_remotePort) != datagram.size()) {
        fail(errorNumberOf(m_socket->error()), m_socket->errorString());
        return false;
    }
    if (m_timeout > 0) {
        m_busy = true;
        m_awaitedId = m_message.requestId();
        m_timer.start(m_timeout);
    }
    return true;
}

void SnmpManager::readPending()
{
    // Every pending datagram is taken on each wake-up, then handled in order.
    // A handler may wait in a nested event loop; the nested wake-up goes on
    // draining the same queue, so no answer is held back behind it. What a
    // flood brings beyond the queue's room is dropped, as the kernel would.
    while (m_socket && m_socket->hasPendingDatagrams()) {
        QNetworkDatagram datagram = m_socket->receiveDatagram(65536);
        if (datagram.isValid() && m_queue.size() < kMaxQueuedDatagrams)
            m_queue.append(std::move(datagram));
    }
    handleQueued();
}

void SnmpManager::handleQueued()
{
    // The queue is handled a slice of time at a time: under a flood the
    // event loop gets its turn between slices (timers, input, painting),
    // and the rest follows from a zero timer.
    QElapsedTimer slice;
    slice.start();
    while (!m_queue.isEmpty()) {
        if (slice.elapsed() >= kHandlingSliceMs) {
            if (!m_handlingScheduled) {
                m_handlingScheduled = true;
                QTimer::singleShot(0, this, [this] {
                    m_handlingScheduled = false;
                    handleQueued();
                });
            }
            return;
        }
        handleDatagram(m_queue.takeFirst());
    }
}

void SnmpManager::handleDatagram(const QNetworkDatagram& datagram)
{
    std::optional<SnmpMessage> decoded = SnmpMessage::decode(datagram.data());
    if (!decoded)
        return;
    const int type = decoded->type();
    const bool isAnswer = type == SnmpMessage::GetResponse || type == SnmpMessage::Report;
    const bool isTrap = type == SnmpMessage::TrapV1 || type == SnmpMessage::TrapV2 ||
                        type == SnmpMessage::InformRequest;
    if (!isAnswer && !isTrap)
        return;
    m_message = std::move(*decoded);
    m_remoteHost = addressText(datagram.senderAddress());
    m_lastSourcePort = quint16(datagram.senderPort());
    if (isAnswer) {
        if (m_busy && m_message.requestId() == m_awaitedId) {
            m_busy = false;
            m_timer.stop();
        }
        Q_EMIT response();
    } else {
        Q_EMIT trapReceived();
    }
}

void SnmpManager::requestTimedOut()
{
    if (!m_busy)
        return;
    m_busy = false;
    Q_EMIT error(ErrorTimedOut, tr("Timed out"));
}

void SnmpManager::fail(int number, const QString& text)
{
    Q_EMIT error(number, text);
}
