// traps: the per-trap cost of halvane's trap recorder with the trap log form
// open, when the log already holds 20 000 traps, against the same when it
// holds 1 000.
//
// Two main windows run in this process (offscreen), each connected to its
// own apsim through the connect probe and Get Configuration, each with the
// log form open. The large one is filled to 20 000 traps, the small one to
// 1 000. Then, in alternating rounds, a burst of traps is raised by the
// window's apsim while this process does not run its event loop, so that the
// burst waits in the trap socket; the CPU time this process spends taking
// the whole burst in (decoding, log text, status pane, log form, the paint
// that follows) divided by the burst size is the per-trap cost.
#include "bench_common.h"
#include "main_frame.h"
#include "message_box.h"
#include "menus.h"
#include "trap_log.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace bench;

namespace {

constexpr double kTarget = 1.3;
constexpr int kBurst = 100;

struct Side {
    const char* name;
    int fill;
    std::unique_ptr<Apsim> agent;
    std::unique_ptr<CMainFrame> frame;
    std::vector<double> perTrapCpuNs, perTrapWallNs;
    int raised = 0;
};

void processUntil(const std::function<bool()>& done, int timeoutMs, const char* what)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            fail(QStringLiteral("timed out waiting for %1").arg(QLatin1String(what)));
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

// Everything that is due now, including the deferred layout and paint.
void drain()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

void connectSide(Side& side, const QString& address, const QString& config)
{
    const quint16 trapPort = freeUdpPort(QStringLiteral("0.0.0.0"));
    side.agent = std::make_unique<Apsim>();
    side.agent->start(address, {QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                                QStringLiteral("--trap-port"), QString::number(trapPort)});
    CHalvaneOptions options;
    options.agentPort = side.agent->port();
    options.trapPort = trapPort;
    options.broadcast = QStringLiteral("127.255.255.255");
    CHalvaneSettings settings = CHalvaneSettings::Read();
    side.frame = std::make_unique<CMainFrame>(settings, options);
    if (side.frame->OnCreate() != 0)
        fail(QStringLiteral("the main window was not created (config %1)").arg(config));
    side.frame->resize(1024, 768);
    side.frame->show();

    // The connect dialog's OK: probe, "found" box (answered), then Get
    // Configuration.
    CMessageBox::setNextAnswer(QMessageBox::Ok);
    side.frame->Discovery().StartConnect(address, QStringLiteral("public"), 0);
    CDeviceSession& session = side.frame->Session();
    processUntil([&] { return session.m_configRead != 0; }, 20000, "the connection");
    side.frame->OnCommand(ID_VIEW_TRAP_RECORD);
    if (!qobject_cast<CTrapLog*>(side.frame->FormView(FormTrapLog)))
        fail(QStringLiteral("the trap log form did not open"));
    drain();
}

// Raises count traps at apsim and waits until apsim has sent them all,
// without running this process's event loop. At most 50 commands are on
// their way at a time, so that none is lost in apsim's socket buffer.
void raise(Side& side, int count)
{
    constexpr int kWindow = 50;
    int sent = 0, answered = 0, ok = 0;
    while (answered < count) {
        while (sent < count && sent - answered < kWindow) {
            const int n = side.raised + sent;
            side.agent->controlNoWait(QStringLiteral("trap 18 02A0F8%1")
                                          .arg(n & 0xffffff, 6, 16, QLatin1Char('0'))
                                          .toLatin1());
            ++sent;
        }
        ok += side.agent->collect(1);
        ++answered;
    }
    if (ok != count)
        fail(QStringLiteral("apsim raised %1 of %2 traps").arg(ok).arg(count));
    side.raised += count;
}

void fill(Side& side)
{
    CDeviceSession& session = side.frame->Session();
    while (session.m_trapCount < side.fill) {
        // Bursts no larger than the trap socket's buffer holds.
        const int count = qMin(kBurst, side.fill - session.m_trapCount);
        const int target = session.m_trapCount + count;
        raise(side, count);
        processUntil([&] { return session.m_trapCount >= target; }, 60000, "the fill traps");
    }
    drain();
}

void measure(Side& side)
{
    CDeviceSession& session = side.frame->Session();
    const int target = session.m_trapCount + kBurst;
    raise(side, kBurst);
    const int64_t cpu0 = processCpuNs(), wall0 = wallNs();
    while (session.m_trapCount < target)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    drain();
    const int64_t cpu = processCpuNs() - cpu0, wall = wallNs() - wall0;
    if (session.m_trapCount != target)
        fail(QStringLiteral("%1 traps logged instead of %2").arg(session.m_trapCount).arg(target));
    side.perTrapCpuNs.push_back(double(cpu) / kBurst);
    side.perTrapWallNs.push_back(double(wall) / kBurst);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QApplication::setOrganizationName(QStringLiteral("ZELCORA"));
    const int rounds = roundsOption(9);

    Side large{"20000", 20000, {}, {}, {}, {}, 0};
    Side small{"1000", 1000, {}, {}, {}, {}, 0};
    connectSide(large, QStringLiteral("127.0.0.51"), config.path());
    connectSide(small, QStringLiteral("127.0.0.52"), config.path());
    QElapsedTimer clock;
    clock.start();
    fill(large);
    fill(small);
    printf("traps: logs filled to %d and %d traps in %.1f s\n", large.frame->Session().m_trapCount,
           small.frame->Session().m_trapCount, clock.elapsed() / 1000.0);
    fflush(stdout);

    // One unmeasured burst each, then alternating rounds.
    measure(large);
    measure(small);
    large.perTrapCpuNs.clear();
    large.perTrapWallNs.clear();
    small.perTrapCpuNs.clear();
    small.perTrapWallNs.clear();
    for (int r = 0; r < rounds; ++r) {
        if (oursFirst(r)) {
            measure(large);
            measure(small);
        } else {
            measure(small);
            measure(large);
        }
    }
    const QString log = large.frame->TrapRecorder().Log();
    const auto* form = qobject_cast<CTrapLog*>(large.frame->FormView(FormTrapLog));
    if (!form || form->Text().count(QLatin1String("Trap received @")) !=
                     large.frame->Session().m_trapCount)
        fail(QStringLiteral("the log form does not show every trap"));

    const double cl = median(large.perTrapCpuNs), cs = median(small.perTrapCpuNs);
    const double wl = median(large.perTrapWallNs), ws = median(small.perTrapWallNs);
    const double ratio = cl / cs;
    printf("traps: per trap at %d logged traps CPU %.1f us (wall %.1f us), at %d CPU %.1f us "
           "(wall %.1f us); medians of %d bursts of %d; log %lld characters; ratio %.3f %s\n",
           large.frame->Session().m_trapCount - (rounds + 1) * kBurst, cl / 1000, wl / 1000,
           small.frame->Session().m_trapCount - (rounds + 1) * kBurst, cs / 1000, ws / 1000,
           rounds, kBurst, (long long)log.size(), ratio, ratio <= kTarget ? "met" : "MISSED");
    printRatio(ratio, kTarget);
    // Closing the main windows would end the process with status 1 through
    // the window's close handling; leave without it, emulators stopped.
    large.agent->stop();
    small.agent->stop();
    fflush(stdout);
    std::_Exit(0);
}
