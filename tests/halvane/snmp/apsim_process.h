// A real apsim process on 127.0.0.1 and a random high port, driven through
// its control lines on standard input, for the integration tests of the
// device session.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

#include <memory>

class ApsimProcess
{
public:
    ~ApsimProcess() { stop(); }

    // Starts apsim with the extra arguments; retries on another port when
    // the chosen one is taken.
    bool start(const QStringList& extra = {})
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            m_port = quint16(40000 + QRandomGenerator::global()->bounded(20000));
            m_process = std::make_unique<QProcess>();
            m_process->setProgram(QStringLiteral(QX_APSIM));
            m_process->setArguments(QStringList{"--bind", "127.0.0.1", "--port",
                                                QString::number(m_port), "--broadcast", "none",
                                                "--mib", QStringLiteral(QX_MIB_FILE), "--churn",
                                                "0", "--stdin"} +
                                    extra);
            m_process->start();
            if (!m_process->waitForStarted(5000))
                continue;
            if (readLine(5000).startsWith(QLatin1String("apsim: ready on")))
                return true;
            stop();
        }
        return false;
    }

    void stop()
    {
        if (!m_process)
            return;
        if (m_process->state() == QProcess::Running) {
            m_process->write("quit\n");
            if (!m_process->waitForFinished(2000)) {
                m_process->kill();
                m_process->waitForFinished(2000);
            }
        }
        m_process.reset();
    }

    quint16 port() const { return m_port; }

    // One control command and its answer line.
    QString control(const QString& command)
    {
        // Answers of commands sent without waiting come first.
        for (; m_unread > 0; --m_unread)
            readLine(5000);
        m_process->write(command.toUtf8() + '\n');
        return readLine(5000);
    }

    // Sends a control command without waiting for its answer (from a timer
    // while a runner waits); its answer is skipped by the next control().
    void controlLater(const QString& command)
    {
        m_process->write(command.toUtf8() + '\n');
        ++m_unread;
    }

    // Number of requests that reached the agent.
    int requestCount()
    {
        const QStringList words = control(QStringLiteral("status")).split(QLatin1Char(' '));
        const int at = int(words.indexOf(QStringLiteral("requests")));
        return at >= 0 && at + 1 < words.size() ? words[at + 1].toInt() : -1;
    }

private:
    QString readLine(int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process->canReadLine()) {
            if (clock.elapsed() > timeoutMs || m_process->state() != QProcess::Running)
                return QString();
            // The session's own sockets keep working while this waits.
            QTest::qWait(5);
            m_process->waitForReadyRead(5);
        }
        return QString::fromUtf8(m_process->readLine()).trimmed();
    }

    std::unique_ptr<QProcess> m_process;
    quint16 m_port = 0;
    int m_unread = 0;
};
