// trelling's ping run against hostile echo replies and against a second run
// at the same time, inside a network namespace the test creates, where the
// kernel answers no echo itself and a tiny responder of the test decides
// what comes back: replies with a wrong identifier, a stale sequence number,
// a bad checksum or from another host are not counted, and a run does not
// take the replies meant for another one.
#include "ping_run.h"
#include "test_netns.h"

#include <QSocketNotifier>
#include <QTest>
#include <QThread>
#include <QtEndian>

#include <atomic>
#include <functional>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

Q_DECLARE_METATYPE(IcmpPing::SocketKind)

namespace
{

quint16 internetChecksum(const QByteArray& data)
{
    quint32 sum = 0;
    for (int i = 0; i + 1 < data.size(); i += 2)
        sum += quint32(quint8(data[i])) << 8 | quint8(data[i + 1]);
    if (data.size() % 2)
        sum += quint32(quint8(data.back())) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

QByteArray echoReply(quint16 id, quint16 seq, const QByteArray& payload)
{
    QByteArray packet(8, '\0');
    qToBigEndian(id, packet.data() + 4);
    qToBigEndian(seq, packet.data() + 6);
    packet += payload;
    qToBigEndian(internetChecksum(packet), packet.data() + 2);
    return packet;
}

int rawSocket(const char* source)
{
    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_ICMP);
    if (fd < 0 || !source)
        return fd;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, source, &local.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads the echo requests that reach the namespace's loopback and answers
// each as the policy says.
class EchoResponder : public QObject
{
public:
    struct Request {
        quint16 id = 0;
        quint16 seq = 0;
        QByteArray payload;
        QByteArray destination; // 4 bytes
    };
    enum Reply { Genuine, WrongIdentifier, StaleSequence, BadChecksum, OtherHost, NoReply };
    using Policy = std::function<Reply(const Request&)>;

    EchoResponder()
        : m_in(rawSocket(nullptr)), m_fromTarget(rawSocket("127.0.0.1")),
          m_fromElsewhere(rawSocket("127.0.0.2"))
    {
        if (m_in >= 0) {
            m_notifier = std::make_unique<QSocketNotifier>(m_in, QSocketNotifier::Read);
            connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { read(); });
        }
    }
    ~EchoResponder() override
    {
        m_notifier.reset();
        for (int fd : {m_in, m_fromTarget, m_fromElsewhere})
            if (fd >= 0)
                ::close(fd);
    }
    bool ok() const { return m_in >= 0 && m_fromTarget >= 0 && m_fromElsewhere >= 0; }
    void setPolicy(Policy policy) { m_policy = std::move(policy); }
    int requests() const { return m_requests; }

private:
    void read()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t size = ::recv(m_in, buffer, sizeof buffer, MSG_DONTWAIT);
            if (size <= 0)
                return;
            const QByteArray packet(buffer, int(size));
            const int ihl = (quint8(packet[0]) & 0x0F) * 4;
            if (packet.size() < ihl + 8 || quint8(packet[ihl]) != 8)
                continue; // only echo requests
            Request request;
            request.id = qFromBigEndian<quint16>(packet.constData() + ihl + 4);
            request.seq = qFromBigEndian<quint16>(packet.constData() + ihl + 6);
            request.payload = packet.mid(ihl + 8);
            request.destination = packet.mid(16, 4);
            ++m_requests;
            answer(request, packet.mid(12, 4));
        }
    }

    void answer(const Request& request, const QByteArray& source)
    {
        const Reply reply = m_policy ? m_policy(request) : NoReply;
        QByteArray message;
        int from = m_fromTarget;
        switch (reply) {
        case Genuine:
            message = echoReply(request.id, request.seq, request.payload);
            break;
        case WrongIdentifier:
            message = echoReply(quint16(request.id + 1), request.seq, request.payload);
            break;
        case StaleSequence:
            message = echoReply(request.id, quint16(request.seq - 1), request.payload);
            break;
        case BadChecksum:
            message = echoReply(request.id, request.seq, request.payload);
            message[2] = char(message[2] ^ 0x5A);
            break;
        case OtherHost:
            message = echoReply(request.id, request.seq, request.payload);
            from = m_fromElsewhere;
            break;
        case NoReply:
            return;
        }
        sockaddr_in to{};
        to.sin_family = AF_INET;
        memcpy(&to.sin_addr, source.constData(), 4);
        ::sendto(from, message.constData(), size_t(message.size()), 0,
                 reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    int m_in;
    int m_fromTarget;
    int m_fromElsewhere;
    std::unique_ptr<QSocketNotifier> m_notifier;
    Policy m_policy;
    int m_requests = 0;
};

// One ping run on a thread of its own inside the namespace, as a second
// trelling would run it.
class RunThread : public QThread
{
public:
    RunThread(const QString& ns, IcmpPing::SocketKind kind) : m_ns(ns), m_kind(kind) {}
    ~RunThread() override
    {
        abort();
        wait();
    }
    void abort()
    {
        if (CPingRun* run = m_run.load())
            QMetaObject::invokeMethod(run, [run] { run->Abort(); }, Qt::QueuedConnection);
    }
    bool runningOk() const { return m_run.load() != nullptr; }
    int attempts() const { return m_attempts; }
    PingStatistics statistics() const { return m_statistics; }

protected:
    void run() override
    {
        TestNetns::Enter inside(m_ns);
        if (!inside.ok())
            return;
        CPingRun run;
        run.pinger().setSocketKind(m_kind);
        QObject::connect(&run, &CPingRun::resultRecorded, &run,
                         [&] { m_attempts = run.statistics().attempts; });
        m_run = &run;
        run.Run(QStringLiteral("127.0.0.1"));
        m_run = nullptr;
        m_statistics = run.statistics();
    }

private:
    QString m_ns;
    IcmpPing::SocketKind m_kind;
    std::atomic<CPingRun*> m_run{nullptr};
    std::atomic<int> m_attempts{0};
    PingStatistics m_statistics;
};

} // namespace

class TestPingHostile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void hostileRepliesAreNotCounted_data();
    void hostileRepliesAreNotCounted();
    void twoRunsAtOnce_data();
    void twoRunsAtOnce();

private:
    void kindRows();
    std::unique_ptr<TestNetns> m_netns;
    QString m_why;
};

void TestPingHostile::initTestCase()
{
    m_netns = std::make_unique<TestNetns>();
    if (!m_netns->create(&m_why)) {
        m_netns.reset();
        return;
    }
    // The kernel of the pinging side answers no echo: every reply is the test's.
    if (!m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                         QStringLiteral("1")) ||
        !m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.ping_group_range"),
                         QStringLiteral("0 2147483647"))) {
        m_why = QStringLiteral("sysctl in the namespace failed");
        m_netns.reset();
    }
}

void TestPingHostile::cleanupTestCase()
{
    m_netns.reset();
}

void TestPingHostile::kindRows()
{
    QTest::addColumn<IcmpPing::SocketKind>("kind");
    QTest::newRow("datagram socket") << IcmpPing::DatagramSocket;
    QTest::newRow("raw socket") << IcmpPing::RawSocket;
}

void TestPingHostile::hostileRepliesAreNotCounted_data()
{
    kindRows();
}

void TestPingHostile::hostileRepliesAreNotCounted()
{
    if (!m_netns)
        QSKIP(qPrintable(QStringLiteral("no test namespace: ") + m_why));
    QFETCH(IcmpPing::SocketKind, kind);
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    EchoResponder responder;
    QVERIFY(responder.ok());
    // Echo n gets one kind of reply in turn: only every fifth is genuine.
    const EchoResponder::Reply turns[] = {EchoResponder::Genuine, EchoResponder::WrongIdentifier,
                                          EchoResponder::StaleSequence, EchoResponder::BadChecksum,
                                          EchoResponder::OtherHost};
    int seen = 0;
    responder.setPolicy([&](const EchoResponder::Request&) { return turns[seen++ % 5]; });

    CPingRun run;
    run.pinger().setSocketKind(kind);
    run.pinger().setTimeout(300);
    connect(&run, &CPingRun::resultRecorded, this, [&run] {
        if (run.statistics().attempts == 10)
            run.Abort();
    });
    run.setPingNotAborted(true);
    run.Run(QStringLiteral("127.0.0.1"));
    QCOMPARE(run.pinger().openSocketKind(), kind);
    const PingStatistics& s = run.statistics();
    QCOMPARE(s.attempts, 10);
    QCOMPARE(responder.requests(), 10);
    QCOMPARE(s.responses, 2);
    QCOMPARE(s.lost, 8);
}

void TestPingHostile::twoRunsAtOnce_data()
{
    kindRows();
}

void TestPingHostile::twoRunsAtOnce()
{
    if (!m_netns)
        QSKIP(qPrintable(QStringLiteral("no test namespace: ") + m_why));
    QFETCH(IcmpPing::SocketKind, kind);
    // Both runs ping the same host; the responder answers only the run whose
    // echo it saw first.
    std::optional<quint16> answered;
    int others = 0;
    EchoResponder* responderPtr = nullptr;
    std::unique_ptr<EchoResponder> responder;
    {
        TestNetns::Enter inside(m_netns->nearName());
        QVERIFY(inside.ok());
        responder = std::make_unique<EchoResponder>();
        responderPtr = responder.get();
    }
    QVERIFY(responderPtr->ok());
    responder->setPolicy([&](const EchoResponder::Request& request) {
        if (!answered)
            answered = request.id;
        if (request.id == *answered)
            return EchoResponder::Genuine;
        ++others;
        return EchoResponder::NoReply;
    });

    RunThread first(m_netns->nearName(), kind);
    RunThread second(m_netns->nearName(), kind);
    first.start();
    QVERIFY(QTest::qWaitFor([&] { return answered.has_value() && first.attempts() > 0; }, 5000));
    second.start();
    QVERIFY(QTest::qWaitFor([&] { return others > 0; }, 5000));
    // Both run side by side for a while.
    QTest::qWait(2500);
    first.abort();
    second.abort();
    QVERIFY(first.wait(5000));
    QVERIFY(second.wait(5000));

    const PingStatistics a = first.statistics();
    const PingStatistics b = second.statistics();
    qInfo("answered run: %d attempts, %d responses; other run: %d attempts, %d responses",
          a.attempts, a.responses, b.attempts, b.responses);
    // The answered run saw its replies (the echo cut off by Abort may be lost)...
    QVERIFY(a.attempts > 20);
    QVERIFY(a.responses >= a.attempts - 1);
    // ...and the other took none of them, although they came from the host it pinged.
    QVERIFY(b.attempts >= 2);
    QCOMPARE(b.responses, 0);
    QCOMPARE(b.lost, b.attempts);
}

QTEST_GUILESS_MAIN(TestPingHostile)
#include "tst_ping_hostile.moc"
