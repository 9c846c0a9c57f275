// ping-accuracy: trelling's mean round-trip time to 127.0.0.1 over 1000
// echoes, taken from its ping run (the loop of the Start button: one echo,
// the statistics, the 1 ms pause), against iputils ping over the same count,
// in alternating rounds. The window shows whole milliseconds; the run's echo
// component measures in nanoseconds, and that is what is compared.
//
// The target is an absolute difference of at most 0.05 ms. The last line
// gives it as a ratio: ours/peer may be at most 1 + 0.05 ms / peer mean.
#include "bench_common.h"
#include "ping_run.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

using namespace bench;

namespace {

constexpr double kMaxDifferenceMs = 0.05;
constexpr int kEchoes = 1000;
const QString kHost = QStringLiteral("127.0.0.1");

// Mean round-trip time in ms of one trelling run of kEchoes echoes.
double oursRun(int* averageShownMs)
{
    CPingRun run;
    double totalNs = 0;
    int answered = 0;
    QObject context;
    QObject::connect(&run, &CPingRun::resultRecorded, &context, [&](bool ok) {
        if (ok) {
            totalNs += double(run.pinger().roundTripNanoseconds());
            ++answered;
        }
        if (run.statistics().attempts >= kEchoes)
            run.Abort();
    });
    run.ClearStatistics();
    run.setPingNotAborted(true);
    run.Run(kHost);
    if (answered != kEchoes || run.statistics().responses != kEchoes)
        fail(QStringLiteral("trelling: %1 of %2 echoes answered (%3)")
                 .arg(answered)
                 .arg(run.statistics().attempts)
                 .arg(run.pinger().errorText()));
    if (averageShownMs)
        *averageShownMs = run.statistics().average;
    return totalNs / answered / 1e6;
}

// Mean round-trip time in ms that iputils ping reports for kEchoes echoes,
// sent 1 ms apart like trelling's.
double peerRun()
{
    QProcess ping;
    ping.start(QStringLiteral("ping"), {QStringLiteral("-n"), QStringLiteral("-q"),
                                        QStringLiteral("-c"), QString::number(kEchoes),
                                        QStringLiteral("-i"), QStringLiteral("0.001"), kHost});
    if (!ping.waitForFinished(120000) || ping.exitCode() != 0)
        fail(QStringLiteral("ping failed: %1").arg(QString::fromLocal8Bit(ping.readAllStandardError())));
    const QString out = QString::fromLocal8Bit(ping.readAllStandardOutput());
    static const QRegularExpression summary(
        QStringLiteral("(\\d+) packets transmitted, (\\d+) received.*\\n.*= [0-9.]+/([0-9.]+)/"));
    const QRegularExpressionMatch m = summary.match(out);
    if (!m.hasMatch() || m.captured(2).toInt() != kEchoes)
        fail(QStringLiteral("unexpected ping output: %1").arg(out));
    return m.captured(3).toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = roundsOption(5);

    std::vector<double> ours, peer;
    int shown = 0;
    for (int r = 0; r < rounds; ++r) {
        if (oursFirst(r)) {
            ours.push_back(oursRun(&shown));
            peer.push_back(peerRun());
        } else {
            peer.push_back(peerRun());
            ours.push_back(oursRun(&shown));
        }
        printf("ping-accuracy round %d: trelling %.4f ms, ping %.4f ms\n", r + 1, ours.back(),
               peer.back());
        fflush(stdout);
    }
    const double o = median(ours), p = median(peer);
    const double difference = std::fabs(o - p);
    printf("ping-accuracy: mean round-trip time over %d echoes to %s: trelling %.4f ms "
           "(its window shows %d ms), ping %.4f ms (medians of %d rounds); difference %.4f ms, "
           "target <= %.2f ms %s\n",
           kEchoes, qPrintable(kHost), o, shown, p, rounds, difference, kMaxDifferenceMs,
           difference <= kMaxDifferenceMs ? "met" : "MISSED");
    printRatio(o / p, 1 + kMaxDifferenceMs / p);
    return 0;
}
