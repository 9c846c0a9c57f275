// ICMP echo: packet coding, echoes over loopback, and a far host, a silent
// host and forged replies inside network namespaces that the test creates.
#include "icmp_packet.h"
#include "icmp_ping.h"
#include "test_netns.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

Q_DECLARE_METATYPE(IcmpPing::SocketKind)

namespace
{

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// A minimal IPv4 header in front of an ICMP message.
QByteArray withIpHeader(const QByteArray& message, quint8 protocol = 1, int extraLength = 0,
                        quint8 versionAndLength = 0x45)
{
    QByteArray header(20, '\0');
    header[0] = char(versionAndLength);
    qToBigEndian(quint16(20 + message.size() + extraLength), header.data() + 2);
    header[8] = 64;
    header[9] = char(protocol);
    return header + message;
}

QByteArray reply(quint16 id, quint16 seq, const QByteArray& payload)
{
    QByteArray packet = icmp::echoRequest(id, seq, payload);
    packet[0] = char(icmp::EchoReplyType);
    packet[2] = packet[3] = 0;
    qToBigEndian(icmp::checksum(packet), packet.data() + 2);
    return packet;
}

// Whether this process may open datagram ICMP sockets in the current namespace.
bool datagramAllowed()
{
    QFile file(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> range = file.readAll().simplified().split(' ');
    if (range.size() != 2)
        return false;
    const qint64 low = range.at(0).toLongLong(), high = range.at(1).toLongLong();
    const qint64 gid = qint64(::getgid());
    return low <= gid && gid <= high;
}

// Sends ICMP messages from a raw socket bound to a source address.
class Injector
{
public:
    explicit Injector(const char* source)
    {
        m_fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, source, &local.sin_addr);
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Injector()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    bool send(const QByteArray& message, const char* destination)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        ::inet_pton(AF_INET, destination, &to.sin_addr);
        return ::sendto(m_fd, message.constData(), size_t(message.size()), 0,
                        reinterpret_cast<sockaddr*>(&to), sizeof to) == message.size();
    }

private:
    int m_fd = -1;
};

struct RttSummary {
    qint64 min = -1, max = -1, sum = 0;
    int count = 0;
    void add(qint64 ns)
    {
        min = min < 0 ? ns : qMin(min, ns);
        max = qMax(max, ns);
        sum += ns;
        ++count;
    }
    QString text() const
    {
        return QStringLiteral("%1 echoes, min %2 us, avg %3 us, max %4 us")
            .arg(count)
            .arg(min / 1000.0, 0, 'f', 1)
            .arg(count ? sum / count / 1000.0 : 0.0, 0, 'f', 1)
            .arg(max / 1000.0, 0, 'f', 1);
    }
};

} // namespace

class TestPing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void checksum_data();
    void checksum();
    void parseEcho_data();
    void parseEcho();

    void loopback();
    void hostName();
    void refusedAtOnce_data();
    void refusedAtOnce();
    void invalidName();
    void secondStartWhilePending();

    void farHost_data();
    void farHost();
    void silentHost_data();
    void silentHost();
    void abortPending_data();
    void abortPending();
    void strayReplies_data();
    void strayReplies();
    void duplicateReply_data();
    void duplicateReply();

private:
    void needNamespaces();
    void kindRows();

    std::unique_ptr<TestNetns> m_netns;
    QString m_netnsWhy;
};

void TestPing::initTestCase()
{
    qRegisterMetaType<IcmpPing::Result>();
    m_netns = std::make_unique<TestNetns>();
    if (!m_netns->create(&m_netnsWhy)) {
        m_netns.reset();
        return;
    }
    // Datagram ICMP sockets for everyone on the near side, so that both
    // kinds of socket can be tried there.
    if (!m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.ping_group_range"),
                         QStringLiteral("0 2147483647"))) {
        m_netnsWhy = QStringLiteral("cannot set ping_group_range in the test namespace");
        m_netns.reset();
    }
}

void TestPing::needNamespaces()
{
    if (!m_netns)
        QSKIP(qPrintable(QStringLiteral("no network namespaces: %1").arg(m_netnsWhy)));
}

void TestPing::kindRows()
{
    QTest::addColumn<IcmpPing::SocketKind>("kind");
    QTest::newRow("datagram") << IcmpPing::DatagramSocket;
    QTest::newRow("raw") << IcmpPing::RawSocket;
}

void TestPing::checksum_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("expected");
    // The worked example of the Internet checksum: sum 0xDDF2.
    QTest::newRow("even") << hex("0001f203f4f5f6f7") << 0x220D;
    QTest::newRow("odd length pads a zero byte") << hex("0001f203f4f5f6") << 0x2304;
    QTest::newRow("carry folds back") << hex("ffffffff01") << 0xFEFF;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
}

void TestPing::checksum()
{
    QFETCH(QByteArray, data);
    QFETCH(int, expected);
    QCOMPARE(int(icmp::checksum(data)), expected);
}

void TestPing::parseEcho_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("ipHeader");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("type");

    const QByteArray payload("0123456789abcdef");
    const QByteArray request = icmp::echoRequest(0x1234, 7, payload);
    const QByteArray answer = reply(0x1234, 7, payload);
    QByteArray damaged = answer;
    damaged[12] = char(damaged[12] ^ 0x01);
    QByteArray unreachable = answer;
    unreachable[0] = 3;
    unreachable[2] = unreachable[3] = 0;
    qToBigEndian(icmp::checksum(unreachable), unreachable.data() + 2);

    QTest::newRow("request") << request << false << true << 8;
    QTest::newRow("reply") << answer << false << true << 0;
    QTest::newRow("reply behind IP header") << withIpHeader(answer) << true << true << 0;
    QTest::newRow("IP header with options")
        << withIpHeader(QByteArray(4, '\x01') + answer, 1, 0, 0x46) << true << true << 0;
    QTest::newRow("trailing padding after IP total length")
        << withIpHeader(answer) + QByteArray(6, '\0') << true << true << 0;
    QTest::newRow("damaged payload") << damaged << false << false << -1;
    QTest::newRow("destination unreachable") << unreachable << false << false << -1;
    QTest::newRow("truncated header") << answer.left(7) << false << false << -1;
    QTest::newRow("truncated payload") << answer.left(answer.size() - 1) << false << false << -1;
    QTest::newRow("not ICMP") << withIpHeader(answer, 17) << true << false << -1;
    QTest::newRow("IP length beyond data") << withIpHeader(answer, 1, 4) << true << false << -1;
    QTest::newRow("IP header length too small")
        << withIpHeader(answer, 1, 0, 0x44) << true << false << -1;
    QTest::newRow("IP version 6") << withIpHeader(answer, 1, 0, 0x65) << true << false << -1;
    QTest::newRow("short IP header") << answer.left(12) << true << false << -1;
}

void TestPing::parseEcho()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, ipHeader);
    QFETCH(bool, valid);
    QFETCH(int, type);
    const std::optional<icmp::Echo> echo = icmp::parseEcho(packet, ipHeader);
    QCOMPARE(echo.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(int(echo->type), type);
    QCOMPARE(echo->identifier, quint16(0x1234));
    QCOMPARE(echo->sequence, quint16(7));
    QCOMPARE(echo->payload, QByteArray("0123456789abcdef"));
}

void TestPing::loopback()
{
    IcmpPing ping;
    QCOMPARE(ping.timeout(), IcmpPing::DefaultTimeout);
    QSignalSpy finished(&ping, &IcmpPing::finished);
    RttSummary rtt;
    quint16 firstSequence = 0;
    for (int i = 0; i < 50; ++i) {
        QVERIFY2(ping.ping(QStringLiteral("127.0.0.1")), qPrintable(ping.errorText()));
        QCOMPARE(ping.result(), IcmpPing::Answered);
        QVERIFY(ping.errorText().isEmpty());
        QVERIFY(ping.roundTripTime() >= 0 && ping.roundTripTime() < IcmpPing::DefaultTimeout);
        QCOMPARE(qint64(ping.roundTripTime()), ping.roundTripNanoseconds() / 1000000);
        QCOMPARE(ping.address(), QHostAddress(QStringLiteral("127.0.0.1")));
        if (i == 0)
            firstSequence = ping.sequence();
        QCOMPARE(ping.sequence(), quint16(firstSequence + i));
        rtt.add(ping.roundTripNanoseconds());
    }
    QCOMPARE(finished.size(), 50);
    QCOMPARE(finished.at(0).at(0).value<IcmpPing::Result>(), IcmpPing::Answered);
    // Datagram sockets where this process may have them, raw otherwise.
    QCOMPARE(ping.openSocketKind(),
             datagramAllowed() ? IcmpPing::DatagramSocket : IcmpPing::RawSocket);
    qInfo("127.0.0.1 over %s socket: %s",
          ping.openSocketKind() == IcmpPing::DatagramSocket ? "datagram" : "raw",
          qPrintable(rtt.text()));
}

void TestPing::hostName()
{
    IcmpPing ping;
    QVERIFY2(ping.ping(QStringLiteral("localhost")), qPrintable(ping.errorText()));
    QCOMPARE(ping.address(), QHostAddress(QStringLiteral("127.0.0.1")));
    QVERIFY(ping.roundTripTime() >= 0);
}

void TestPing::refusedAtOnce_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << QStringLiteral("   ");
    QTest::newRow("IPv6") << QStringLiteral("::1");
}

void TestPing::refusedAtOnce()
{
    QFETCH(QString, host);
    IcmpPing ping;
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QVERIFY(!ping.start(host));
    QVERIFY(!ping.isPending());
    QCOMPARE(ping.result(), IcmpPing::Failed);
    QVERIFY(!ping.errorText().isEmpty());
    QCOMPARE(ping.roundTripTime(), -1);
    QVERIFY(!ping.ping(host));
    QCOMPARE(finished.size(), 0);
}

void TestPing::invalidName()
{
    // A name the resolver refuses without asking any server.
    IcmpPing ping;
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QVERIFY(!ping.ping(QStringLiteral("a..b")));
    QCOMPARE(ping.result(), IcmpPing::Failed);
    QVERIFY2(ping.errorText().startsWith(QStringLiteral("Host not found")),
             qPrintable(ping.errorText()));
    QCOMPARE(finished.size(), 1);
}

void TestPing::secondStartWhilePending()
{
    IcmpPing ping;
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QVERIFY(ping.start(QStringLiteral("127.0.0.1")));
    const quint16 sequence = ping.sequence();
    QVERIFY(!ping.start(QStringLiteral("127.0.0.1")));
    QVERIFY(ping.isPending());
    QCOMPARE(ping.sequence(), sequence);
    QVERIFY(finished.wait(2000));
    QCOMPARE(ping.result(), IcmpPing::Answered);
    QTest::qWait(50);
    QCOMPARE(finished.size(), 1);
}

void TestPing::farHost_data()
{
    kindRows();
}

void TestPing::farHost()
{
    needNamespaces();
    QFETCH(IcmpPing::SocketKind, kind);
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    IcmpPing ping;
    ping.setSocketKind(kind);
    RttSummary rtt;
    for (int i = 0; i < 20; ++i) {
        QVERIFY2(ping.ping(QLatin1String(TestNetns::FarAddress)), qPrintable(ping.errorText()));
        rtt.add(ping.roundTripNanoseconds());
    }
    QCOMPARE(ping.openSocketKind(), kind);
    qInfo("far host over veth: %s", qPrintable(rtt.text()));
}

void TestPing::silentHost_data()
{
    kindRows();
}

void TestPing::silentHost()
{
    needNamespaces();
    QFETCH(IcmpPing::SocketKind, kind);
    QVERIFY(m_netns->sysctl(m_netns->farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                            QStringLiteral("1")));
    const auto restore = qScopeGuard([this] {
        m_netns->sysctl(m_netns->farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                        QStringLiteral("0"));
    });
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    IcmpPing ping;
    ping.setSocketKind(kind);
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!ping.ping(QLatin1String(TestNetns::FarAddress)));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(ping.result(), IcmpPing::TimedOut);
    QCOMPARE(ping.errorText(), QStringLiteral("Request timed out"));
    QCOMPARE(ping.roundTripTime(), -1);
    QCOMPARE(finished.size(), 1);
    QVERIFY2(elapsed >= IcmpPing::DefaultTimeout && elapsed < IcmpPing::DefaultTimeout + 300,
             qPrintable(QString::number(elapsed)));
    qInfo("time-out ended the echo after %lld ms", elapsed);
}

void TestPing::abortPending_data()
{
    kindRows();
}

void TestPing::abortPending()
{
    needNamespaces();
    QFETCH(IcmpPing::SocketKind, kind);
    QVERIFY(m_netns->sysctl(m_netns->farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                            QStringLiteral("1")));
    auto restore = qScopeGuard([this] {
        m_netns->sysctl(m_netns->farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                        QStringLiteral("0"));
    });
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    IcmpPing ping;
    ping.setSocketKind(kind);
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QTimer::singleShot(100, &ping, [&ping] { ping.abort(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!ping.ping(QLatin1String(TestNetns::FarAddress)));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(ping.result(), IcmpPing::Aborted);
    QCOMPARE(finished.size(), 1);
    ping.abort(); // nothing pending: no second signal
    QCOMPARE(finished.size(), 1);

    // The same object goes on working once the host answers again.
    restore.dismiss();
    QVERIFY(m_netns->sysctl(m_netns->farName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                            QStringLiteral("0")));
    QVERIFY2(ping.ping(QLatin1String(TestNetns::FarAddress)), qPrintable(ping.errorText()));
    QCOMPARE(finished.size(), 2);
}

void TestPing::strayReplies_data()
{
    QTest::addColumn<IcmpPing::SocketKind>("kind");
    QTest::addColumn<QString>("forgery");
    QTest::addColumn<bool>("answered");
    const QStringList forgeries = {QStringLiteral("genuine"),  QStringLiteral("identifier"),
                                   QStringLiteral("sequence"), QStringLiteral("payload"),
                                   QStringLiteral("checksum"), QStringLiteral("source"),
                                   QStringLiteral("request")};
    for (const auto& [kind, name] :
         {std::pair{IcmpPing::DatagramSocket, "datagram"}, std::pair{IcmpPing::RawSocket, "raw"}}) {
        for (const QString& forgery : forgeries)
            QTest::addRow("%s %s", name, qPrintable(forgery))
                << kind << forgery << (forgery == QStringLiteral("genuine"));
    }
}

void TestPing::strayReplies()
{
    needNamespaces();
    QFETCH(IcmpPing::SocketKind, kind);
    QFETCH(QString, forgery);
    QFETCH(bool, answered);
    // The near side does not answer echoes itself here: every reply that
    // arrives is one the test made.
    QVERIFY(m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                            QStringLiteral("1")));
    const auto restore = qScopeGuard([this] {
        m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                        QStringLiteral("0"));
    });
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    Injector fromTarget("127.0.0.1");
    Injector fromElsewhere("127.0.0.2");
    QVERIFY(fromTarget.ok() && fromElsewhere.ok());

    IcmpPing ping;
    ping.setSocketKind(kind);
    ping.setTimeout(300);
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QVERIFY2(ping.start(QStringLiteral("127.0.0.1")), qPrintable(ping.errorText()));
    const quint16 id = ping.identifier(), seq = ping.sequence();
    const QByteArray payload = ping.payload();
    QByteArray message = reply(id, seq, payload);
    Injector* sender = &fromTarget;
    if (forgery == QStringLiteral("identifier")) {
        message = reply(quint16(id + 1), seq, payload);
    } else if (forgery == QStringLiteral("sequence")) {
        message = reply(id, quint16(seq + 1), payload);
    } else if (forgery == QStringLiteral("payload")) {
        QByteArray other = payload;
        other[other.size() - 1] = char(other.back() ^ 0x20);
        message = reply(id, seq, other);
    } else if (forgery == QStringLiteral("checksum")) {
        message[2] = char(message[2] ^ 0x5A);
    } else if (forgery == QStringLiteral("source")) {
        sender = &fromElsewhere;
    } else if (forgery == QStringLiteral("request")) {
        message = icmp::echoRequest(id, seq, payload);
    }
    QVERIFY(sender->send(message, "127.0.0.1"));
    QVERIFY(finished.wait(2000));
    QCOMPARE(ping.result(), answered ? IcmpPing::Answered : IcmpPing::TimedOut);
    QCOMPARE(finished.size(), 1);
}

void TestPing::duplicateReply_data()
{
    kindRows();
}

void TestPing::duplicateReply()
{
    needNamespaces();
    QFETCH(IcmpPing::SocketKind, kind);
    QVERIFY(m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                            QStringLiteral("1")));
    const auto restore = qScopeGuard([this] {
        m_netns->sysctl(m_netns->nearName(), QStringLiteral("net.ipv4.icmp_echo_ignore_all"),
                        QStringLiteral("0"));
    });
    TestNetns::Enter inside(m_netns->nearName());
    QVERIFY(inside.ok());
    Injector injector("127.0.0.1");
    QVERIFY(injector.ok());

    IcmpPing ping;
    ping.setSocketKind(kind);
    ping.setTimeout(300);
    QSignalSpy finished(&ping, &IcmpPing::finished);
    QVERIFY(ping.start(QStringLiteral("127.0.0.1")));
    const QByteArray first = reply(ping.identifier(), ping.sequence(), ping.payload());
    QVERIFY(injector.send(first, "127.0.0.1"));
    QVERIFY(finished.wait(2000));
    QCOMPARE(ping.result(), IcmpPing::Answered);

    // The same reply again, once before and once during the next echo: it
    // answers nothing.
    QVERIFY(injector.send(first, "127.0.0.1"));
    QTest::qWait(20);
    QVERIFY(ping.start(QStringLiteral("127.0.0.1")));
    QVERIFY(injector.send(first, "127.0.0.1"));
    QVERIFY(finished.wait(2000));
    QCOMPARE(ping.result(), IcmpPing::TimedOut);
    QCOMPARE(finished.size(), 2);
}

QTEST_GUILESS_MAIN(TestPing)
#include "tst_ping.moc"
