// Starts the access point emulator as a real process for a test and stops it
// again: apsim from the build's bin folder, bound to a loopback address.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTest>

class ApsimProcess
{
public:
    explicit ApsimProcess(const QString& binDir) : m_program(binDir + QStringLiteral("/apsim"))
    {
        m_process.setWorkingDirectory(binDir);
    }
    ~ApsimProcess() { stop(); }

    // Starts apsim with the given options and waits for its "ready" line.
    bool start(const QStringList& arguments, int timeoutMs = 10000)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(m_program, arguments);
        if (!m_process.waitForStarted(timeoutMs))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (m_process.state() != QProcess::Running)
                return false;
            m_log += m_process.readAll();
            if (m_log.contains("ready on"))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    // Writes one control line (when started with --stdin).
    void control(const QByteArray& line) { m_process.write(line + '\n'); }
    QByteArray log()
    {
        m_log += m_process.readAll();
        return m_log;
    }
    QProcess& process() { return m_process; }

private:
    QString m_program;
    QProcess m_process;
    QByteArray m_log;
};
