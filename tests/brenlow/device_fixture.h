// The device end for brenlow's tests: a DfuServer on its own thread with a plain 348-byte
// configuration store, the firmware version, group 3 bytes, and fault switches. Reached
// through a real local socket.
#pragma once

#include "dfu_server_thread.h"

#include <QMutex>
#include <QMutexLocker>

#include <memory>

class DeviceFixture
{
public:
    struct Request {
        quint32 code;
        QByteArray input;
        quint32 outputSize;
    };

    struct Faults {
        int failRead = 0; // the n-th group read from now on answers failure (1-based)
        bool failEveryRead = false;
        bool failWrite = false;
        bool failReset = false;
        bool failRestore = false;
        int replyLength = 1024; // a driver that returns fewer bytes than asked for
    };

    explicit DeviceFixture(const QString& path) : m_path(path), m_store(348, '\0')
    {
        for (int i = 0; i < 71; ++i)
            m_crSettings.append(char(0xC0 + i));
    }

    bool start()
    {
        m_thread = std::make_unique<DfuServerThread>(
            m_path, [this](quint32 code, const QByteArray& in, quint32 outSize) {
                return handle(code, in, outSize);
            });
        return m_thread->startListening();
    }
    void stop() { m_thread.reset(); }
    QString path() const { return m_path; }

    QByteArray store() const
    {
        QMutexLocker lock(&m_mutex);
        return m_store;
    }
    void setStore(const QByteArray& bytes)
    {
        QMutexLocker lock(&m_mutex);
        m_store = bytes;
    }
    void setVersion(const QByteArray& four)
    {
        QMutexLocker lock(&m_mutex);
        m_version = four;
    }
    // Also restarts the count of reads for failRead.
    void setFaults(const Faults& faults)
    {
        QMutexLocker lock(&m_mutex);
        m_faults = faults;
        m_reads = 0;
    }
    QList<Request> requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    void clearRequests()
    {
        QMutexLocker lock(&m_mutex);
        m_requests.clear();
    }
    int connections()
    {
        return m_thread->onServer([](DfuServer& s) { return s.connectionCount(); });
    }

    // The 1024-byte reply of a group read: the version in packet 0, the data from packet 1.
    static QByteArray packReply(const QByteArray& version, const QByteArray& data)
    {
        QByteArray reply(1024, '\0');
        for (int i = 0; i < 4 && i < version.size(); ++i)
            reply[1 + i] = version.at(i);
        for (int n = 0; n < data.size() && n < 889; ++n)
            reply[9 + 8 * (n / 7) + n % 7] = data.at(n);
        return reply;
    }

private:
    DfuReply handle(quint32 code, const QByteArray& in, quint32 outSize)
    {
        QMutexLocker lock(&m_mutex);
        m_requests.append({code, in, outSize});
        switch (code) {
        case DfuRequestGroup:
            if (in.size() == 1) {
                ++m_reads;
                const bool fail = m_faults.failEveryRead || m_faults.failRead == m_reads;
                if (fail)
                    return DfuReply::failure();
                QByteArray data;
                if (in.at(0) == 1)
                    data = m_store;
                else if (in.at(0) == 3)
                    data = m_crSettings;
                else
                    return DfuReply::failure(DfuStatusInvalidRequest);
                return DfuReply::success(packReply(m_version, data).left(m_faults.replyLength));
            }
            if (m_faults.failWrite)
                return DfuReply::failure();
            if (in.size() == 349 && in.back() == 1) {
                m_store = in.left(348);
                return DfuReply::success();
            }
            return DfuReply::failure(DfuStatusInvalidRequest);
        case DfuRequestReset:
            return m_faults.failReset ? DfuReply::failure() : DfuReply::success();
        case DfuRequestRestoreDefaults:
            return m_faults.failRestore ? DfuReply::failure() : DfuReply::success();
        default:
            return DfuReply::failure(DfuStatusInvalidRequest);
        }
    }

    QString m_path;
    mutable QMutex m_mutex;
    QByteArray m_store;
    QByteArray m_version = QByteArray("\x01\x03\x02\x00", 4);
    QByteArray m_crSettings;
    Faults m_faults;
    int m_reads = 0;
    QList<Request> m_requests;
    std::unique_ptr<DfuServerThread> m_thread;
};
