// Shared pieces of the benchmarks: clocks, medians, free loopback ports, the
// access point emulator as a child process with its control port, and a
// peer program driven line by line over its standard input and output.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <vector>

namespace bench {

// Monotonic wall clock and CPU clocks in nanoseconds.
int64_t wallNs();
int64_t processCpuNs();
int64_t threadCpuNs();

double median(std::vector<double> values);

// A UDP port on addr that nobody is bound to right now.
quint16 freeUdpPort(const QString& addr);

// The folder of the running benchmark program (build/bin): apsim, the peers
// and QX9304.mib live there.
QString binDir();

// Fails the benchmark with a message on standard error and exit status 1.
[[noreturn]] void fail(const QString& text);

// Order of the two sides in round r: ours first in even rounds, the peer
// first in odd ones, so that a change of load hits both alike.
inline bool oursFirst(int round) { return round % 2 == 0; }

// Prints the closing line every benchmark ends with.
void printRatio(double ratio, double target);

// The number given with --rounds N on the command line, or fallback.
int roundsOption(int fallback);

// Keeps this process, and every process it starts from now on, on one CPU.
// A request and its answer then cost the same for both sides: on a virtual
// machine a wake-up across CPUs adds tens of microseconds to a round trip,
// and whether the scheduler puts a client beside the emulator or not
// otherwise decides the result more than the client's own work does.
void pinToOneCpu();

// One apsim process on a loopback address, with its control port on
// 127.0.0.1. Standard error (the --verbose log) goes to a file.
class Apsim
{
public:
    Apsim() = default;
    ~Apsim();
    Apsim(const Apsim&) = delete;
    Apsim& operator=(const Apsim&) = delete;

    // Starts apsim bound to address on a free port, with extra options;
    // waits for its ready line. Fails the benchmark when it does not come up.
    void start(const QString& address, const QStringList& extra = {});
    void stop();

    QString address() const { return m_address; }
    quint16 port() const { return m_port; }

    // One control command and its answer line (blocking, no event loop).
    QByteArray control(const QByteArray& command, int timeoutMs = 5000);
    // Sends a control command without waiting; answers are collected later
    // with collect(). Used to raise bursts of traps.
    void controlNoWait(const QByteArray& command);
    // Waits for count answers of earlier controlNoWait() calls; returns the
    // number of answers that started with "ok".
    int collect(int count, int timeoutMs = 10000);

    // The number of requests apsim has seen (from its status command).
    long requestCount();
    // What apsim wrote to standard error so far.
    QByteArray log() const;

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_address;
    quint16 m_port = 0;
    quint16 m_controlPort = 0;
    int m_controlFd = -1;
};

// The requests of an apsim --verbose log, without sender and request
// identifier: one line per request ("v1 "public" get-request: name.0 = ...").
QStringList requestLines(const QByteArray& log);

// A peer program kept running for all rounds; one command line in, one
// answer line out.
class Peer
{
public:
    ~Peer();
    void start(const QString& program, const QStringList& arguments);
    // Sends a command and returns its answer line (without the line end).
    QByteArray command(const QByteArray& line, int timeoutMs = 120000);
    void stop();

private:
    QProcess m_process;
};

} // namespace bench
