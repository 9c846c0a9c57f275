#include "test_netns.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QProcess>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace
{

bool runProgram(const QString& program, const QStringList& args, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        if (output)
            *output = QStringLiteral("%1 did not finish").arg(program);
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAll()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TestNetns::TestNetns()
{
    static QAtomicInt counter;
    const QString stem = QStringLiteral("qxt%1x%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(counter.fetchAndAddRelaxed(1));
    m_near = stem + QStringLiteral("n");
    m_far = stem + QStringLiteral("f");
}

TestNetns::~TestNetns()
{
    if (!m_created)
        return;
    ip({QStringLiteral("netns"), QStringLiteral("delete"), m_near});
    ip({QStringLiteral("netns"), QStringLiteral("delete"), m_far});
}

bool TestNetns::ip(const QStringList& args, QString* output)
{
    return runProgram(QStringLiteral("ip"), args, output);
}

bool TestNetns::create(QString* why)
{
    QString out;
    const auto step = [&](const QStringList& args) {
        if (ip(args, &out))
            return true;
        if (why)
            *why = QStringLiteral("ip %1: %2").arg(args.join(QLatin1Char(' ')), out);
        return false;
    };
    if (!step({"netns", "add", m_near}))
        return false;
    m_created = true;
    const QString nearAddress =
        QStringLiteral("%1/%2").arg(QLatin1String(NearAddress)).arg(PrefixLength);
    const QString farAddress =
        QStringLiteral("%1/%2").arg(QLatin1String(FarAddress)).arg(PrefixLength);
    return step({"netns", "add", m_far}) && step({"-n", m_near, "link", "set", "lo", "up"}) &&
           step({"-n", m_far, "link", "set", "lo", "up"}) &&
           step({"-n", m_near, "link", "add", "qxnear", "type", "veth", "peer", "name", "qxfar",
                 "netns", m_far}) &&
           step({"-n", m_near, "addr", "add", nearAddress, "dev", "qxnear"}) &&
           step({"-n", m_far, "addr", "add", farAddress, "dev", "qxfar"}) &&
           step({"-n", m_near, "link", "set", "qxnear", "up"}) &&
           step({"-n", m_far, "link", "set", "qxfar", "up"});
}

bool TestNetns::exec(const QString& ns, const QStringList& command, QString* output) const
{
    return ip(QStringList{QStringLiteral("netns"), QStringLiteral("exec"), ns} + command, output);
}

bool TestNetns::sysctl(const QString& ns, const QString& key, const QString& value) const
{
    return exec(ns, {QStringLiteral("sysctl"), QStringLiteral("-qw"),
                     QStringLiteral("%1=%2").arg(key, value)});
}

TestNetns::Enter::Enter(const QString& ns)
{
    m_saved = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const QByteArray path = QStringLiteral("/run/netns/%1").arg(ns).toLocal8Bit();
    const int target = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    m_ok = m_saved >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (target >= 0)
        ::close(target);
}

TestNetns::Enter::~Enter()
{
    if (m_saved >= 0) {
        if (m_ok)
            ::setns(m_saved, CLONE_NEWNET);
        ::close(m_saved);
    }
}
