// Test fixture: apsim processes as the access points that answer a survey,
// on loopback addresses or inside a test namespace, and free UDP ports.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <memory>

// A UDP port in 40000-59999 that nobody uses on any IPv4 address, nor on the
// loopback broadcast address.
inline quint16 freeUdpPort()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        const auto port = quint16(40000 + QRandomGenerator::global()->bounded(20000));
        bool free = true;
        for (const QHostAddress& address : {QHostAddress(QHostAddress::AnyIPv4),
                                            QHostAddress(QStringLiteral("127.255.255.255"))}) {
            QUdpSocket probe;
            free = free && probe.bind(address, port, QAbstractSocket::DontShareAddress);
        }
        if (free)
            return port;
    }
    return 0;
}

// A profile file for apsim that sets sysDescr.
inline QString writeProfile(const QTemporaryDir& dir, const QString& name, const QString& sysDescr)
{
    const QString path = dir.filePath(name + QStringLiteral(".json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QString escaped = sysDescr;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    file.write(QStringLiteral("{\"sysDescr\": \"%1\"}\n").arg(escaped).toUtf8());
    return path;
}

class ApsimProcess
{
public:
    ~ApsimProcess() { stop(); }

    // Starts apsim bound to address:port with the extra arguments, inside the
    // namespace netns when one is given, and waits for its ready line.
    bool start(const QString& address, quint16 port, const QStringList& extra = {},
               const QString& netns = {}, QString* why = nullptr)
    {
        stop();
        const QString apsim =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("apsim"));
        QStringList args{QStringLiteral("--bind"),  address,
                         QStringLiteral("--port"),  QString::number(port),
                         QStringLiteral("--churn"), QStringLiteral("0")};
        args += extra;
        m_process = std::make_unique<QProcess>();
        m_process->setWorkingDirectory(QCoreApplication::applicationDirPath());
        if (netns.isEmpty()) {
            m_process->start(apsim, args);
        } else {
            m_process->start(
                QStringLiteral("ip"),
                QStringList{QStringLiteral("netns"), QStringLiteral("exec"), netns, apsim} + args);
        }
        m_address = address;
        QElapsedTimer clock;
        clock.start();
        QByteArray out;
        while (clock.elapsed() < 10000) {
            if (m_process->state() == QProcess::NotRunning)
                break;
            m_process->waitForReadyRead(100);
            out += m_process->readAllStandardOutput();
            if (out.contains("apsim: ready on"))
                return true;
        }
        if (why)
            *why = QStringLiteral("apsim did not start: %1 %2")
                       .arg(QString::fromLocal8Bit(out),
                            QString::fromLocal8Bit(m_process->readAllStandardError()));
        stop();
        return false;
    }

    void stop()
    {
        if (!m_process)
            return;
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(3000)) {
                m_process->kill();
                m_process->waitForFinished(3000);
            }
        }
        m_process.reset();
    }

    QString address() const { return m_address; }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_address;
};
