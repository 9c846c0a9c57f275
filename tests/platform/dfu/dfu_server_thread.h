// Runs a DfuServer on a thread of its own, so that a synchronous DfuClient on the test's
// thread can talk to it through a real socket.
#pragma once

#include "dfu_server.h"

#include <QSemaphore>
#include <QThread>

class DfuServerThread : public QThread
{
public:
    DfuServerThread(const QString& path, DfuHandler handler)
        : m_path(path), m_handler(std::move(handler))
    {
    }
    ~DfuServerThread() override { stop(); }

    // Starts the thread and waits until the server listens (or failed to).
    bool startListening()
    {
        start();
        m_ready.acquire();
        return m_listening;
    }

    void stop()
    {
        if (isRunning()) {
            quit();
            wait();
        }
    }

    // Runs f on the server's thread and returns its result.
    template <typename F> auto onServer(F f)
    {
        decltype(f(*m_server)) result{};
        QMetaObject::invokeMethod(
            m_server, [&] { result = f(*m_server); }, Qt::BlockingQueuedConnection);
        return result;
    }

    QString errorString() const { return m_error; }

protected:
    void run() override
    {
        DfuServer server(m_handler);
        m_listening = server.listen(m_path);
        m_error = server.errorString();
        m_server = &server;
        m_ready.release();
        if (m_listening)
            exec();
        m_server = nullptr;
    }

private:
    QString m_path;
    DfuHandler m_handler;
    DfuServer* m_server = nullptr;
    bool m_listening = false;
    QString m_error;
    QSemaphore m_ready;
};
