// mac-download: the download of 680 authorized MAC addresses through the
// device session (one transfer block per address, each confirmed by its
// echo), against the same 680 set-requests through net-snmp's synchronous
// API, to the same apsim, in alternating rounds.
#include "bench_common.h"
#include "core_session.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace bench;

namespace {

constexpr double kTarget = 1.15;
constexpr int kAddresses = 680;

// 680 distinct addresses in the order the dialog sends them (sorted).
QStringList addresses()
{
    QStringList macs;
    quint32 x = 0x2545F491;
    for (int i = 0; i < kAddresses; ++i) {
        x = x * 1664525 + 1013904223;
        macs.append(QStringLiteral("00A0F8%1").arg(x >> 8, 6, 16, QLatin1Char('0')).toUpper());
    }
    std::sort(macs.begin(), macs.end());
    macs.erase(std::unique(macs.begin(), macs.end()), macs.end());
    if (macs.size() != kAddresses)
        fail(QStringLiteral("address generator repeated itself"));
    return macs;
}

int64_t oursRound(CoreSession& ours, const QStringList& macs)
{
    const int64_t start = wallNs();
    if (!ours.session().WriteAuthorizedMacTable(macs))
        fail(QStringLiteral("halvane's download failed"));
    return wallNs() - start;
}

int64_t peerRound(Peer& peer, const QString& file, long* requests = nullptr)
{
    const QByteArray answer = peer.command("macdownload " + QFile::encodeName(file) + " 1");
    const QList<QByteArray> words = answer.split(' ');
    if (words.size() != 3 || words[0] != "ok")
        fail(QStringLiteral("peer: %1").arg(QString::fromLatin1(answer)));
    if (requests)
        *requests = words[2].toLong();
    return words[1].toLongLong();
}

void startPeer(Peer& peer, const Apsim& agent)
{
    peer.start(binDir() + QStringLiteral("/bench_peer_snmp"),
               {agent.address(), QString::number(agent.port()), QStringLiteral("private"),
                binDir() + QStringLiteral("/QX9304.mib")});
}

// The table apsim holds now, as it reports it, must be the one sent.
void checkTable(Apsim& agent, const QStringList& macs)
{
    const QByteArray last = agent.control("get AuthorizedMac");
    // The last block answered: operation 1, total 680, entry 680, last address.
    const QByteArray expected = "ok AuthorizedMac = 0100A802A802" + macs.last().toLatin1();
    if (last.toUpper() != expected.toUpper())
        fail(QStringLiteral("apsim's last block is %1, not %2")
                 .arg(QString::fromLatin1(last), QString::fromLatin1(expected)));
}

void checkSameRequests(const QStringList& macs, const QString& file)
{
    Apsim agent;
    agent.start(QStringLiteral("127.0.0.39"), {QStringLiteral("--verbose")});
    CoreSession ours(agent, QStringLiteral("private"), 1);
    oursRound(ours, macs);
    checkTable(agent, macs);
    const QStringList oursRequests = requestLines(agent.log());
    Peer peer;
    startPeer(peer, agent);
    peerRound(peer, file);
    checkTable(agent, macs);
    const QStringList peerRequests = requestLines(agent.log()).mid(oursRequests.size());
    if (oursRequests.size() != kAddresses || oursRequests != peerRequests) {
        for (qsizetype i = 0; i < qMax(oursRequests.size(), peerRequests.size()); ++i) {
            if (oursRequests.value(i) != peerRequests.value(i)) {
                fprintf(stderr, "request %lld differs:\n  ours: %s\n  peer: %s\n",
                        (long long)i + 1, qPrintable(oursRequests.value(i)),
                        qPrintable(peerRequests.value(i)));
                break;
            }
        }
        fail(QStringLiteral("the request sequences differ (%1 against %2 requests)")
                 .arg(oursRequests.size())
                 .arg(peerRequests.size()));
    }
    printf("mac-download: both sides send the same %lld requests\n",
           (long long)oursRequests.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    pinToOneCpu();
    const int rounds = roundsOption(11);

    const QStringList macs = addresses();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("macs.txt"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(file));
        out.write(macs.join(QLatin1Char('\n')).toLatin1() + '\n');
    }
    checkSameRequests(macs, file);

    Apsim agent;
    agent.start(QStringLiteral("127.0.0.31"));
    CoreSession ours(agent, QStringLiteral("private"), 1);
    Peer peer;
    startPeer(peer, agent);

    long before = agent.requestCount();
    oursRound(ours, macs);
    const long oursRequests = agent.requestCount() - before;
    long peerRequests = 0;
    before = agent.requestCount();
    peerRound(peer, file, &peerRequests);
    const long seen = agent.requestCount() - before;
    if (oursRequests != kAddresses || seen != kAddresses || peerRequests != kAddresses)
        fail(QStringLiteral("request counts: ours %1, peer %2 (apsim saw %3)")
                 .arg(oursRequests)
                 .arg(peerRequests)
                 .arg(seen));

    std::vector<double> oursNs, peerNs;
    for (int r = 0; r < rounds; ++r) {
        if (oursFirst(r)) {
            oursNs.push_back(double(oursRound(ours, macs)));
            peerNs.push_back(double(peerRound(peer, file)));
        } else {
            peerNs.push_back(double(peerRound(peer, file)));
            oursNs.push_back(double(oursRound(ours, macs)));
        }
    }
    checkTable(agent, macs);
    const double o = median(oursNs) / 1e6, p = median(peerNs) / 1e6;
    const double ratio = o / p;
    printf("mac-download: %d set-requests; ours %.2f ms, peer %.2f ms (medians of %d rounds); "
           "per request ours %.1f us, peer %.1f us; ratio %.3f %s\n",
           kAddresses, o, p, rounds, o * 1000 / kAddresses, p * 1000 / kAddresses, ratio,
           ratio <= kTarget ? "met" : "MISSED");
    printRatio(ratio, kTarget);
    return 0;
}
