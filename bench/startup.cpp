// startup: halvane from exec to its main window shown (offscreen), and its
// resident memory at that moment, against a minimal Qt Widgets program with a
// QMdiArea. Both are started in turn, several rounds; each reports the
// moment of its first main-window paint through the start-up probe.
#include "bench_common.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>

using namespace bench;

namespace {

constexpr double kTarget = 1.5;

struct Sample {
    double ms;
    double rssKb;
    double hwmKb;
};

Sample startOnce(const QString& program, const QStringList& arguments,
                 const QProcessEnvironment& environment)
{
    QProcess process;
    process.setWorkingDirectory(binDir());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const int64_t start = wallNs();
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        fail(QStringLiteral("%1 did not start").arg(program));
    QByteArray out;
    while (!out.contains('\n')) {
        if (!process.waitForReadyRead(20000))
            fail(QStringLiteral("%1 never showed its window (exit %2)")
                     .arg(program)
                     .arg(process.exitCode()));
        out += process.readAllStandardOutput();
    }
    process.waitForFinished(10000);
    const QList<QByteArray> words = out.trimmed().split(' ');
    if (words.size() != 4 || words[0] != "shown")
        fail(QStringLiteral("%1 said %2").arg(program, QString::fromLatin1(out)));
    return {(words[1].toLongLong() - start) / 1e6, words[2].toDouble(), words[3].toDouble()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = roundsOption(11);

    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());

    const QString ours = binDir() + QStringLiteral("/bench_startup_halvane");
    const QString peer = binDir() + QStringLiteral("/bench_startup_mdi");
    auto oursArguments = [] {
        // Ports of its own for the manager's traps and requests.
        return QStringList{QStringLiteral("--agent-port"),
                           QString::number(freeUdpPort(QStringLiteral("127.0.0.1"))),
                           QStringLiteral("--trap-port"),
                           QString::number(freeUdpPort(QStringLiteral("0.0.0.0"))),
                           QStringLiteral("--broadcast"), QStringLiteral("127.255.255.255")};
    };

    // Warm-up: libraries and fonts into the page cache for both.
    startOnce(ours, oursArguments(), environment);
    startOnce(peer, {}, environment);

    std::vector<double> oursMs, peerMs, oursRss, peerRss, oursHwm, peerHwm;
    std::vector<double> textMs, textRss, textHwm;
    const QStringList textArguments{QStringLiteral("--menus")};
    startOnce(peer, textArguments, environment);
    auto record = [](const Sample& s, std::vector<double>& ms, std::vector<double>& rss,
                     std::vector<double>& hwm) {
        ms.push_back(s.ms);
        rss.push_back(s.rssKb);
        hwm.push_back(s.hwmKb);
    };
    for (int r = 0; r < rounds; ++r) {
        if (oursFirst(r)) {
            record(startOnce(ours, oursArguments(), environment), oursMs, oursRss, oursHwm);
            record(startOnce(peer, {}, environment), peerMs, peerRss, peerHwm);
        } else {
            record(startOnce(peer, {}, environment), peerMs, peerRss, peerHwm);
            record(startOnce(ours, oursArguments(), environment), oursMs, oursRss, oursHwm);
        }
        record(startOnce(peer, textArguments, environment), textMs, textRss, textHwm);
    }
    const double timeRatio = median(oursMs) / median(peerMs);
    const double memoryRatio = median(oursRss) / median(peerRss);
    printf("startup: time to main window shown ours %.1f ms, peer %.1f ms (medians of %d "
           "rounds); ratio %.3f %s\n",
           median(oursMs), median(peerMs), rounds, timeRatio, timeRatio <= kTarget ? "met" : "MISSED");
    printf("startup: resident memory then ours %.1f MB, peer %.1f MB (peak %.1f MB, %.1f MB); "
           "ratio %.3f %s\n",
           median(oursRss) / 1024, median(peerRss) / 1024, median(oursHwm) / 1024,
           median(peerHwm) / 1024, memoryRatio, memoryRatio <= kTarget ? "met" : "MISSED");
    // Where the time goes: the same peer with a menu bar and a status bar
    // of text. Fonts, the font configuration and the style's icons are
    // loaded for the first text drawn, in any program.
    printf("startup: for reference, the peer with a menu bar and a status bar of text %.1f ms, "
           "%.1f MB; ours against it %.3f (time), %.3f (memory)\n",
           median(textMs), median(textRss) / 1024, median(oursMs) / median(textMs),
           median(oursRss) / median(textRss));
    // Both targets are 1.5: the larger of the two ratios decides.
    printRatio(qMax(timeRatio, memoryRatio), kTarget);
    return 0;
}
