#include "bench_common.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

namespace bench {

namespace {

int64_t clockNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

sockaddr_in loopbackAddress(const QString& addr, quint16 port)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, addr.toLatin1().constData(), &sa.sin_addr);
    return sa;
}

} // namespace

int64_t wallNs() { return clockNs(CLOCK_MONOTONIC); }
int64_t processCpuNs() { return clockNs(CLOCK_PROCESS_CPUTIME_ID); }
int64_t threadCpuNs() { return clockNs(CLOCK_THREAD_CPUTIME_ID); }

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

quint16 freeUdpPort(const QString& addr)
{
    // Ports from the ephemeral range are handed out by the kernel; a port it
    // gives for a bind is free at that moment.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa = loopbackAddress(addr, 0);
    socklen_t length = sizeof sa;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &length) == 0)
        port = ntohs(sa.sin_port);
    ::close(fd);
    if (port == 0)
        fail(QStringLiteral("no free UDP port on %1").arg(addr));
    return port;
}

QString binDir() { return QCoreApplication::applicationDirPath(); }

void fail(const QString& text)
{
    fprintf(stderr, "bench: %s\n", qPrintable(text));
    fflush(stderr);
    std::exit(1);
}

void printRatio(double ratio, double target)
{
    printf("ratio=%.4f target<=%.4g\n", ratio, target);
    fflush(stdout);
}

int roundsOption(int fallback)
{
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--rounds"));
    if (at < 0 || at + 1 >= args.size())
        return fallback;
    bool ok = false;
    const int rounds = args[at + 1].toInt(&ok);
    if (!ok || rounds < 1)
        fail(QStringLiteral("--rounds needs a positive number"));
    return rounds;
}

void pinToOneCpu()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        fail(QStringLiteral("sched_getaffinity failed"));
    int cpu = 0;
    while (cpu < CPU_SETSIZE && !CPU_ISSET(cpu, &allowed))
        ++cpu;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0)
        fail(QStringLiteral("sched_setaffinity failed"));
    printf("(this benchmark, its emulator and its peer run on CPU %d)\n", cpu);
}

// ---- Apsim ----

Apsim::~Apsim() { stop(); }

void Apsim::start(const QString& address, const QStringList& extra)
{
    if (!m_dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    m_address = address;
    m_port = freeUdpPort(address);
    m_controlPort = freeUdpPort(QStringLiteral("127.0.0.1"));
    QStringList arguments{QStringLiteral("--bind"),         address,
                          QStringLiteral("--port"),         QString::number(m_port),
                          QStringLiteral("--broadcast"),    QStringLiteral("none"),
                          QStringLiteral("--churn"),        QStringLiteral("0"),
                          QStringLiteral("--seed"),         QStringLiteral("1"),
                          QStringLiteral("--control-port"), QString::number(m_controlPort)};
    arguments += extra;
    m_process.setWorkingDirectory(binDir());
    m_process.setStandardErrorFile(m_dir.filePath(QStringLiteral("apsim.log")));
    // The emulator ends with the benchmark, however the benchmark ends.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(binDir() + QStringLiteral("/apsim"), arguments);
    if (!m_process.waitForStarted(10000))
        fail(QStringLiteral("apsim did not start: %1").arg(m_process.errorString()));
    QByteArray out;
    while (!out.contains("ready on")) {
        if (!m_process.waitForReadyRead(10000))
            fail(QStringLiteral("apsim on %1 did not get ready: %2")
                     .arg(address, QString::fromLocal8Bit(log())));
        out += m_process.readAllStandardOutput();
    }

    m_controlFd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local = loopbackAddress(QStringLiteral("127.0.0.1"), 0);
    sockaddr_in remote = loopbackAddress(QStringLiteral("127.0.0.1"), m_controlPort);
    if (::bind(m_controlFd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::connect(m_controlFd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0)
        fail(QStringLiteral("control socket"));
    // Room for the answers of a burst of commands.
    int size = 4 << 20;
    ::setsockopt(m_controlFd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    const QByteArray status = control("status");
    if (!status.startsWith("ok"))
        fail(QStringLiteral("apsim control port does not answer: %1").arg(QString::fromLatin1(status)));
}

void Apsim::stop()
{
    if (m_controlFd >= 0) {
        ::close(m_controlFd);
        m_controlFd = -1;
    }
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void Apsim::controlNoWait(const QByteArray& command)
{
    if (::send(m_controlFd, command.constData(), size_t(command.size()), 0) < 0)
        fail(QStringLiteral("control send failed"));
}

QByteArray Apsim::control(const QByteArray& command, int timeoutMs)
{
    controlNoWait(command);
    pollfd p{m_controlFd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        fail(QStringLiteral("apsim did not answer the control command %1")
                 .arg(QString::fromLatin1(command)));
    char buffer[65536];
    const ssize_t n = ::recv(m_controlFd, buffer, sizeof buffer, 0);
    return n > 0 ? QByteArray(buffer, int(n)).trimmed() : QByteArray();
}

int Apsim::collect(int count, int timeoutMs)
{
    int ok = 0;
    char buffer[65536];
    for (int i = 0; i < count; ++i) {
        pollfd p{m_controlFd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            fail(QStringLiteral("apsim answered %1 of %2 control commands").arg(i).arg(count));
        const ssize_t n = ::recv(m_controlFd, buffer, sizeof buffer, 0);
        if (n >= 2 && buffer[0] == 'o' && buffer[1] == 'k')
            ++ok;
    }
    return ok;
}

long Apsim::requestCount()
{
    // "ok running requests N stations N test-mode off"
    const QByteArray status = control("status");
    const QList<QByteArray> words = status.split(' ');
    const qsizetype at = words.indexOf("requests");
    if (at < 0 || at + 1 >= words.size())
        fail(QStringLiteral("unexpected status answer: %1").arg(QString::fromLatin1(status)));
    return words[at + 1].toLong();
}

QByteArray Apsim::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("apsim.log")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList requestLines(const QByteArray& log)
{
    // "127.0.0.1:40000: v1 "public" get-request id 7: operChannelID.0 = null; ..."
    static const QRegularExpression line(
        QStringLiteral("^(?:apsim: )?[0-9.]+:[0-9]+: (v1|v2c) (\"[^\"]*\") (\\S+) id -?[0-9]+(.*)$"));
    QStringList requests;
    for (const QByteArray& raw : log.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(raw));
        if (m.hasMatch())
            requests.append(m.captured(1) + QLatin1Char(' ') + m.captured(2) + QLatin1Char(' ') +
                            m.captured(3) + m.captured(4));
    }
    return requests;
}

// ---- Peer ----

Peer::~Peer() { stop(); }

void Peer::start(const QString& program, const QStringList& arguments)
{
    m_process.setWorkingDirectory(binDir());
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(10000))
        fail(QStringLiteral("%1 did not start: %2").arg(program, m_process.errorString()));
    const QByteArray hello = command("hello");
    if (!hello.startsWith("ok"))
        fail(QStringLiteral("%1 did not greet: %2").arg(program, QString::fromLatin1(hello)));
}

QByteArray Peer::command(const QByteArray& line, int timeoutMs)
{
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(timeoutMs);
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(timeoutMs))
            fail(QStringLiteral("the peer did not answer %1").arg(QString::fromLatin1(line)));
    }
    return m_process.readLine().trimmed();
}

void Peer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

} // namespace bench
