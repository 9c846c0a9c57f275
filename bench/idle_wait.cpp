// idle-wait: the CPU time halvane spends while a runner waits out five
// attempts on a device that answers nothing, against the wall time of that
// wait. The runner is Get Configuration's first step (five attempts of one
// second each, then "Get Configuration failed").
#include "bench_common.h"
#include "core_session.h"

#include <QCoreApplication>

#include <cstdio>

using namespace bench;

namespace {

constexpr double kTarget = 0.02;

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = roundsOption(5);

    Apsim agent;
    agent.start(QStringLiteral("127.0.0.41"), {QStringLiteral("--silent")});
    CoreSession ours(agent, QStringLiteral("public"), 0);

    std::vector<double> ratios, walls, cpus;
    for (int r = 0; r < rounds; ++r) {
        const long before = agent.requestCount();
        const int64_t wall0 = wallNs();
        const int64_t cpu0 = processCpuNs();
        const CConfigTransfer::Outcome outcome = ours.transfer().GetConfiguration();
        const int64_t cpu = processCpuNs() - cpu0;
        const int64_t wall = wallNs() - wall0;
        const long sent = agent.requestCount() - before;
        if (outcome != CConfigTransfer::Failed || sent != 5)
            fail(QStringLiteral("expected a failed Get Configuration after 5 requests, got "
                                "outcome %1 after %2 requests (%3)")
                     .arg(int(outcome))
                     .arg(sent)
                     .arg(ours.ui().m_status));
        walls.push_back(double(wall));
        cpus.push_back(double(cpu));
        ratios.push_back(double(cpu) / double(wall));
        printf("idle-wait round %d: 5 attempts waited %.3f s, CPU %.3f ms\n", r + 1, wall / 1e9,
               cpu / 1e6);
        fflush(stdout);
    }
    const double ratio = median(ratios);
    printf("idle-wait: wall %.3f s, CPU %.3f ms (medians of %d rounds); ratio %.5f %s\n",
           median(walls) / 1e9, median(cpus) / 1e6, rounds, ratio,
           ratio <= kTarget ? "met" : "MISSED");
    printRatio(ratio, kTarget);
    return 0;
}
