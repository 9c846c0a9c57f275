#include "dfu_client.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

DfuClient::DfuClient() = default;

DfuClient::~DfuClient()
{
    close();
}

bool DfuClient::open(const QString& path)
{
    close();
    m_error.clear();
    m_socket = std::make_unique<QLocalSocket>();
    m_socket->connectToServer(path, QIODevice::ReadWrite);
    if (!m_socket->waitForConnected(m_timeoutMs))
        return fail(m_socket->errorString());
    return true;
}

void DfuClient::close()
{
    if (!m_socket)
        return;
    m_socket->abort();
    m_socket.reset();
}

bool DfuClient::isOpen() const
{
    return m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

bool DfuClient::request(quint32 code, const QByteArray& input, quint32 outputSize,
                        DfuReplyFrame* reply)
{
    if (!isOpen())
        return fail(QStringLiteral("the device is not open"));
    const QByteArray frame = dfuEncodeRequest(code, input, outputSize);
    if (frame.isEmpty())
        return fail(QStringLiteral("request too large"));

    const QDeadlineTimer deadline(m_timeoutMs);
    if (m_socket->write(frame) != frame.size())
        return fail(m_socket->errorString());
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(int(deadline.remainingTime())))
            return fail(QStringLiteral("write: ") + m_socket->errorString());
    }

    QByteArray buffer;
    for (;;) {
        buffer += m_socket->readAll();
        qsizetype consumed = 0;
        switch (dfuDecodeReply(buffer, outputSize, reply, &consumed)) {
        case DfuParse::Done:
            // One request, one reply: anything behind it is not ours to keep.
            if (consumed != buffer.size())
                return fail(QStringLiteral("unexpected bytes after the reply"));
            return true;
        case DfuParse::Invalid:
            return fail(QStringLiteral("malformed reply"));
        case DfuParse::NeedMore:
            break;
        }
        if (deadline.hasExpired())
            return fail(QStringLiteral("no reply from the device"));
        if (!m_socket->waitForReadyRead(int(deadline.remainingTime()))) {
            if (m_socket->state() != QLocalSocket::ConnectedState)
                return fail(QStringLiteral("the device closed the connection"));
            return fail(QStringLiteral("no reply from the device"));
        }
    }
}

bool DfuClient::fail(const QString& message)
{
    m_error = message;
    close();
    return false;
}
