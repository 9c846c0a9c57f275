// Test fixture: an apsim process on a loopback address and a random high port, driven
// through its control lines on standard input, and net-snmp's command line tools as peers.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <memory>

struct ToolResult {
    int exitCode = -1;
    QString out;
    QString err;
    QString all() const { return out + err; }
};

class Apsim
{
public:
    ~Apsim() { stop(); }

    // Starts apsim on address (random 127.0.0.x when empty) and a random port in
    // 20000-40000 with the extra arguments; retries on a port in use.
    bool start(const QStringList& extra = {}, const QString& address = {}, quint16 port = 0);
    void stop();
    bool running() const { return m_process && m_process->state() == QProcess::Running; }

    QString address() const { return m_address; }
    quint16 port() const { return m_port; }
    QString target() const { return m_address + QLatin1Char(':') + QString::number(m_port); }
    QString stderrText();

    // Sends one control command and returns its answer line.
    QString control(const QString& command);

    static QString randomAddress();
    static quint16 randomPort()
    {
        return quint16(20000 + QRandomGenerator::global()->bounded(20000));
    }

private:
    std::unique_ptr<QProcess> m_process;
    QString m_address;
    quint16 m_port = 0;
    QByteArray m_stderr;
};

// Runs a net-snmp tool: tool is "snmpget", "snmpset" or "snmpwalk".
ToolResult runTool(const QString& tool, const QStringList& arguments, int timeoutMs = 20000);

// snmpget / snmpset / snmpwalk against apsim with the project MIB; options go before the
// target, objects after it.
ToolResult snmp(const QString& tool, const Apsim& ap, const QStringList& objects,
                const QString& community = QStringLiteral("public"),
                const QString& version = QStringLiteral("1"), const QStringList& options = {});

// The values of an snmpget -Oqv answer, one per line (byte strings of at most 16 bytes).
QStringList values(const ToolResult& r);
// The bytes of the one hexadecimal value of an snmpget -Oqv answer (any length).
QByteArray hexValue(const ToolResult& r);
