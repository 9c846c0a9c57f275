#include "dfu_server.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <sys/stat.h>

DfuServer::DfuServer(DfuHandler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
}

DfuServer::~DfuServer()
{
    close();
}

bool DfuServer::listen(const QString& path)
{
    close();
    m_error.clear();

    const QByteArray nativePath = QFile::encodeName(path);
    struct stat info {
    };
    if (::lstat(nativePath.constData(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            m_error = QStringLiteral("%1 exists and is not a socket").arg(path);
            return false;
        }
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(500)) {
            m_error = QStringLiteral("another device end listens at %1").arg(path);
            return false;
        }
        QLocalServer::removeServer(path);
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    m_path = path;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            accept(socket);
    });
    return true;
}

void DfuServer::close()
{
    const auto sockets = m_connections.keys();
    for (QLocalSocket* socket : sockets)
        drop(socket);
    if (m_server) {
        m_server->close(); // also removes the socket file
        delete m_server;
        m_server = nullptr;
    }
    m_path.clear();
}

bool DfuServer::isListening() const
{
    return m_server && m_server->isListening();
}

void DfuServer::accept(QLocalSocket* socket)
{
    m_connections.insert(socket, Connection{});
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { serve(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
    // Bytes may have arrived before the signals were connected.
    if (socket->bytesAvailable() > 0)
        serve(socket);
}

void DfuServer::serve(QLocalSocket* socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    it->buffer += socket->readAll();

    while (!it->busy) {
        DfuRequestFrame frame;
        qsizetype consumed = 0;
        const DfuParse parse = dfuDecodeRequest(it->buffer, &frame, &consumed);
        if (parse == DfuParse::NeedMore)
            return;
        if (parse == DfuParse::Invalid) {
            drop(socket);
            return;
        }
        it->buffer.remove(0, consumed);

        const QPointer<QLocalSocket> guard(socket);
        DfuReply reply = m_handler ? m_handler(frame.code, frame.input, frame.outputSize)
                                   : DfuReply::failure(DfuStatusInvalidRequest);
        Q_EMIT requestHandled(frame.code, frame.input, frame.outputSize);
        // The handler or a receiver of the signal may have closed the server.
        it = m_connections.find(socket);
        if (!guard || it == m_connections.end())
            return;

        switch (reply.action) {
        case DfuReply::Action::Disconnect:
            drop(socket);
            return;
        case DfuReply::Action::Silence:
            it->busy = true; // stays busy: nothing more is answered on this connection
            return;
        case DfuReply::Action::Answer:
            break;
        }

        reply.output.truncate(frame.outputSize);
        const QByteArray bytes = dfuEncodeReply(reply.status, reply.output);
        if (reply.delayMs > 0) {
            it->busy = true;
            QTimer::singleShot(reply.delayMs, socket, [this, socket, bytes] {
                auto pending = m_connections.find(socket);
                if (pending == m_connections.end())
                    return;
                pending->busy = false;
                socket->write(bytes);
                serve(socket);
            });
            return;
        }
        socket->write(bytes);
        it = m_connections.find(socket);
        if (it == m_connections.end())
            return;
    }
}

void DfuServer::drop(QLocalSocket* socket)
{
    if (m_connections.remove(socket) == 0)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
