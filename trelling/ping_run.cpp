#include "ping_run.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

CPingRun::CPingRun(QObject* parent) : QObject(parent)
{
}

void CPingRun::ClearStatistics()
{
    m_statistics = PingStatistics();
}

int CPingRun::PingOnce(const QString& host)
{
    if (!m_ping.ping(host))
        return -1;
    return m_ping.roundTripTime();
}

void CPingRun::RecordResult(int result)
{
    const bool answered = recordResult(m_statistics, result);
    Q_EMIT resultRecorded(answered);
}

void CPingRun::Pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        const qint64 left = ms - clock.elapsed();
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(qMax<qint64>(left, 0)));
    } while (clock.elapsed() < ms);
}

void CPingRun::Run(const QString& host)
{
    if (m_running)
        return;
    m_closeRequested = false;
    m_running = true;
    while (m_running) {
        const int result = PingOnce(host);
        RecordResult(result);
        Pause(PauseBetweenEchoes);
    }
    m_running = false;
}

bool CPingRun::Abort()
{
    if (!m_running)
        return false;
    m_pingNotAborted = false;
    m_ping.abort();
    m_running = false;
    return true;
}

bool CPingRun::requestClose()
{
    if (!m_running)
        return true;
    m_closeRequested = true;
    Abort();
    return false;
}
