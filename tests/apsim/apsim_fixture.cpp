#include "apsim_fixture.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

QString Apsim::randomAddress()
{
    return QStringLiteral("127.0.0.%1").arg(10 + QRandomGenerator::global()->bounded(240));
}

bool Apsim::start(const QStringList& extra, const QString& address, quint16 port)
{
    stop();
    m_address = address.isEmpty() ? randomAddress() : address;
    for (int attempt = 0; attempt < 8; ++attempt) {
        m_port = port ? port : randomPort();
        m_stderr.clear();
        m_process = std::make_unique<QProcess>();
        QStringList args = {QStringLiteral("--bind"), m_address, QStringLiteral("--port"),
                            QString::number(m_port), QStringLiteral("--stdin")};
        if (!extra.contains(QStringLiteral("--churn")))
            args << QStringLiteral("--churn") << QStringLiteral("0");
        args << extra;
        m_process->start(QStringLiteral(APSIM_PATH), args);
        if (!m_process->waitForStarted(5000))
            return false;
        QByteArray out;
        QDeadlineTimer deadline(8000);
        while (!out.contains('\n') && !deadline.hasExpired() &&
               m_process->state() == QProcess::Running) {
            m_process->waitForReadyRead(100);
            out += m_process->readAllStandardOutput();
        }
        if (out.startsWith("apsim: ready on"))
            return true;
        m_process->waitForFinished(2000);
        m_stderr += m_process->readAllStandardError();
        if (!m_stderr.contains("cannot bind") || port)
            return false;
    }
    return false;
}

void Apsim::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
    m_stderr += m_process->readAllStandardError();
    m_process.reset();
}

QString Apsim::stderrText()
{
    if (m_process)
        m_stderr += m_process->readAllStandardError();
    return QString::fromUtf8(m_stderr);
}

QString Apsim::control(const QString& command)
{
    if (!running())
        return QStringLiteral("error not running");
    m_process->readAllStandardOutput();
    m_process->write(command.toUtf8() + '\n');
    m_process->waitForBytesWritten(2000);
    QByteArray line;
    QDeadlineTimer deadline(5000);
    while (!line.contains('\n') && !deadline.hasExpired()) {
        m_process->waitForReadyRead(100);
        line += m_process->readAllStandardOutput();
    }
    return QString::fromUtf8(line).trimmed();
}

ToolResult runTool(const QString& tool, const QStringList& arguments, int timeoutMs)
{
    QString path;
    if (tool == QLatin1String("snmpget"))
        path = QStringLiteral(SNMPGET_PATH);
    else if (tool == QLatin1String("snmpset"))
        path = QStringLiteral(SNMPSET_PATH);
    else
        path = QStringLiteral(SNMPWALK_PATH);
    QProcess p;
    p.start(path, arguments);
    ToolResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("tool did not finish");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

ToolResult snmp(const QString& tool, const Apsim& ap, const QStringList& objects,
                const QString& community, const QString& version, const QStringList& options)
{
    QStringList args = {QStringLiteral("-M"), QStringLiteral("/dev/null"),
                        QStringLiteral("-m"), QStringLiteral(QX_MIB_PATH),
                        QStringLiteral("-v"), version,
                        QStringLiteral("-c"), community};
    if (!options.contains(QStringLiteral("-t")))
        args << QStringLiteral("-t") << QStringLiteral("2");
    if (!options.contains(QStringLiteral("-r")))
        args << QStringLiteral("-r") << QStringLiteral("1");
    args << options << ap.target() << objects;
    return runTool(tool, args);
}

QStringList values(const ToolResult& r)
{
    // Byte strings come as hexadecimal pairs, quoted or not depending on the tool's mood;
    // they are given here without quotes.
    static const QRegularExpression hex(QStringLiteral("^\"?((?:[0-9A-F]{2} )*[0-9A-F]{2}) ?\"?$"));
    QStringList out;
    for (const QString& line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = hex.match(line.trimmed());
        out.append(m.hasMatch() ? m.captured(1) : line.trimmed());
    }
    return out;
}

QByteArray hexValue(const ToolResult& r)
{
    QByteArray out;
    QString text = r.out.simplified();
    if (text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    for (const QString& token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint v = token.toUInt(&ok, 16);
        if (!ok || token.size() != 2)
            return QByteArray("not hex: ") + token.toUtf8();
        out.append(char(v));
    }
    return out;
}
