// The client end of the DFU driver boundary: an open handle of the device and synchronous
// control requests over it. The wire format is described in dfu_protocol.h.
#pragma once

#include "dfu_protocol.h"

#include <QString>

#include <memory>

class QLocalSocket;

class DfuClient
{
public:
    // How long one open or one request may take before the device end counts as dead.
    static constexpr int DefaultTimeoutMs = 5000;

    DfuClient();
    ~DfuClient();
    DfuClient(const DfuClient&) = delete;
    DfuClient& operator=(const DfuClient&) = delete;

    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }

    // Connects to the device end at path, closing a handle that is open first. Fails when
    // nothing listens there: the driver is not loaded.
    bool open(const QString& path);
    void close();
    bool isOpen() const;

    // Sends one control request and waits for its reply. Returns false when no reply came:
    // not open, the device end went away, the time-out passed, or the reply was malformed;
    // the handle is closed then. Returns true when the device answered; *reply holds its
    // status and output bytes (at most outputSize of them), whatever the status says.
    bool request(quint32 code, const QByteArray& input, quint32 outputSize, DfuReplyFrame* reply);

    // Why the last open or request failed.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);

    std::unique_ptr<QLocalSocket> m_socket;
    int m_timeoutMs = DefaultTimeoutMs;
    QString m_error;
};
