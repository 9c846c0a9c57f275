// The device end of the DFU driver boundary: listens on a local socket path and answers
// control requests through a handler that runs on the Qt event loop of the server's thread.
// The wire format is described in dfu_protocol.h.
//
//   DfuServer server([&](quint32 code, const QByteArray& in, quint32 outSize) {
//       if (code == DfuRequestReset)
//           return DfuReply::success();
//       return DfuReply::failure(DfuStatusInvalidRequest);
//   });
//   server.listen(dfuDefaultDevicePath());
//
// Each connection is handled in order: the handler is called once per request frame, and
// the next frame of the same connection waits until the reply has been sent (also when it
// is delayed). Output beyond the request's output size is cut off, as a buffered request
// cannot return more than its buffer holds.
#pragma once

#include "dfu_protocol.h"

#include <QHash>
#include <QObject>

#include <functional>

class QLocalServer;
class QLocalSocket;

struct DfuReply {
    enum class Action {
        Answer,     // send status and output (after delayMs)
        Silence,    // never answer this request; the connection stays open
        Disconnect, // close the connection without answering
    };

    quint32 status = DfuStatusSuccess;
    QByteArray output;
    Action action = Action::Answer;
    int delayMs = 0;

    static DfuReply success(const QByteArray& output = {}) { return {DfuStatusSuccess, output}; }
    static DfuReply failure(quint32 status = DfuStatusFailure) { return {status, {}}; }
};

using DfuHandler =
    std::function<DfuReply(quint32 code, const QByteArray& input, quint32 outputSize)>;

class DfuServer : public QObject
{
    Q_OBJECT
public:
    explicit DfuServer(DfuHandler handler, QObject* parent = nullptr);
    ~DfuServer() override;

    // Starts listening at path (only the user may connect). A socket file left behind by a
    // dead server is replaced; a path where a server answers, or any other kind of file,
    // is refused.
    bool listen(const QString& path);
    // Stops listening, drops every connection and removes the socket file.
    void close();
    bool isListening() const;
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }
    int connectionCount() const { return int(m_connections.size()); }

Q_SIGNALS:
    // After the handler was called for a request (whatever it decided to do with it).
    void requestHandled(quint32 code, const QByteArray& input, quint32 outputSize);

private:
    struct Connection {
        QByteArray buffer;
        bool busy = false; // a reply is pending (delayed or never coming)
    };

    void accept(QLocalSocket* socket);
    void serve(QLocalSocket* socket);
    void drop(QLocalSocket* socket);

    DfuHandler m_handler;
    QLocalServer* m_server = nullptr;
    QHash<QLocalSocket*, Connection> m_connections;
    QString m_path;
    QString m_error;
};
