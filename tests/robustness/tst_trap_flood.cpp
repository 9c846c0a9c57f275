// A trap flood at the trap recorder of a main window with the trap log form
// open: 20 000 SNMPv1 traps at 1 000 per second, then 20 000 at 5 000 per
// second, from a local sender, mixed with traps from another address and
// malformed datagrams. Also the receive buffer of the trap port, the reading
// of every pending datagram on one wake-up, the responsiveness of the user
// interface and the time per trap as the log grows.
#include "main_frame.h"
#include "menus.h"
#include "message_box.h"
#include "trap_log.h"
#include "trap_sender.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <dirent.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

const QHostAddress kAgent(QStringLiteral("127.0.0.1"));
const QHostAddress kStranger(QStringLiteral("127.0.0.2"));

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

// A station-associated trap whose station address carries the number n.
QByteArray trap(quint32 n, quint8 first = 0x00)
{
    SnmpMessage message;
    message.setVersion(SnmpMessage::V1);
    message.setCommunity("public");
    message.setType(SnmpMessage::TrapV1);
    message.setEnterprise(QStringLiteral("1.3.6.1.4.1.32473"));
    message.setTrapAgentAddress(QByteArray("\x7f\x00\x00\x01", 4));
    message.setGenericTrap(6);
    message.setSpecificTrap(18);
    message.setTimeStamp(n);
    SnmpVariable mac(QStringLiteral("1.3.6.1.4.1.32473.10.2.0"));
    const char bytes[6] = {char(first), char(0xA0), char(n >> 24), char(n >> 16), char(n >> 8),
                           char(n)};
    mac.setBytes(QByteArray(bytes, 6));
    message.variables().add(mac);
    return message.encode();
}

// count traps from the agent numbered from first on; with noise, every 50th
// datagram is followed by a trap from another host (station EE...) and a
// malformed datagram from the agent's own address.
QList<DatagramSender::Datagram> flood(quint32 first, int count, bool noise)
{
    QList<DatagramSender::Datagram> out;
    out.reserve(count + (noise ? count / 25 : 0));
    const QByteArray foreign = trap(0xEEEEEEEE, 0xEE);
    for (int i = 0; i < count; ++i) {
        const QByteArray genuine = trap(first + quint32(i));
        out.append({kAgent, genuine});
        if (noise && i % 50 == 0) {
            out.append({kStranger, foreign});
            switch (i / 50 % 3) {
            case 0:
                out.append({kAgent, genuine.left(genuine.size() - 3)});
                break;
            case 1:
                out.append({kAgent, QByteArray("\x30\x84\xff\xff\xff\xff\x02\x01\x00", 9)});
                break;
            default:
                out.append({kAgent, QByteArray(64, '\xee')});
                break;
            }
        }
    }
    return out;
}

// The station numbers in the log, in order.
QList<quint32> loggedNumbers(const QString& log)
{
    QList<quint32> numbers;
    static const QRegularExpression line(QStringLiteral("Station Mac Address : ([0-9A-F]{12})"));
    for (auto it = line.globalMatch(log); it.hasNext();)
        numbers.append(it.next().captured(1).right(8).toUInt(nullptr, 16));
    return numbers;
}

// This process's UDP socket bound to port; -1 when there is none.
int socketOfPort(quint16 port)
{
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int found = -1;
    while (dirent* entry = readdir(dir)) {
        const int fd = atoi(entry->d_name);
        sockaddr_in address{};
        socklen_t length = sizeof address;
        int type = 0;
        socklen_t typeLength = sizeof type;
        if (fd > 2 && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
            address.sin_family == AF_INET && ntohs(address.sin_port) == port &&
            getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeLength) == 0 && type == SOCK_DGRAM)
            found = fd;
    }
    closedir(dir);
    return found;
}

int receiveBufferOfPort(quint16 port)
{
    int size = -1;
    socklen_t sizeLength = sizeof size;
    const int fd = socketOfPort(port);
    if (fd < 0 || getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, &sizeLength) != 0)
        return -1;
    return size;
}

// Bytes of the next datagram waiting in the kernel for the socket on port
// (0: none waits).
int waitingInKernel(quint16 port)
{
    int bytes = -1;
    const int fd = socketOfPort(port);
    if (fd < 0 || ioctl(fd, SIOCINQ, &bytes) != 0)
        return -1;
    return bytes;
}

// Gaps between the ticks of a timer that should fire every 10 ms.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
            ++m_ticks;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_ticks = 0;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    qint64 longestMs() const { return m_longest / 1000000; }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

} // namespace

class TestTrapFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void receiveBufferIsLarge();
    void everyPendingTrapIsReadOnOneWakeUp();
    void floodAtOneThousandPerSecond();
    void floodAtFiveThousandPerSecond();

private:
    // Sends a burst as fast as possible; the median time between two
    // logged traps, in microseconds.
    double burstMedianMicroseconds(quint32 first, int count);
    bool waitForTraps(int count, int timeoutMs);

    QTemporaryDir m_dir;
    quint16 m_trapPort = 0;
    std::unique_ptr<CMainFrame> m_frame;
    CTrapLog* m_log = nullptr;
    quint32 m_next = 0;       // number of the next genuine trap
    double m_emptyMedian = 0; // time per trap with a short log
};

void TestTrapFlood::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QDir::setCurrent(QStringLiteral(QX_BIN_DIR));
    CMessageBox::setNextAnswer(QMessageBox::Ok);
    m_trapPort = freePort();
    CHalvaneOptions options;
    options.agentPort = freePort();
    options.trapPort = m_trapPort;
    options.broadcast = QStringLiteral("127.255.255.255");
    m_frame = std::make_unique<CMainFrame>(CHalvaneSettings{}, options);
    QCOMPARE(m_frame->OnCreate(), 0);
    m_frame->show();
    // As a successful connection and Get Configuration leave the session.
    CDeviceSession& s = m_frame->Session();
    s.m_agentAddress = kAgent.toString();
    s.m_answered = true;
    s.m_configRead = 1;
    m_frame->OnCommand(ID_VIEW_TRAP_RECORD);
    m_log = qobject_cast<CTrapLog*>(m_frame->FormView(FormTrapLog));
    QVERIFY(m_log);
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
}

void TestTrapFlood::cleanupTestCase()
{
    m_frame.reset();
    CMessageBox::clearNextAnswer();
}

bool TestTrapFlood::waitForTraps(int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_frame->Session().m_trapCount >= count; }, timeoutMs);
}

double TestTrapFlood::burstMedianMicroseconds(quint32 first, int count)
{
    QList<qint64> stamps;
    stamps.reserve(count);
    QElapsedTimer clock;
    clock.start();
    const QMetaObject::Connection c = connect(&m_frame->TrapRecorder(), &CTrapRecorder::TrapLogged,
                                              this, [&] { stamps.append(clock.nsecsElapsed()); });
    const int before = m_frame->Session().m_trapCount;
    DatagramSender sender(flood(first, count, false), m_trapPort, 0);
    sender.start();
    const bool all = waitForTraps(before + count, 30000);
    disconnect(c);
    sender.wait();
    if (!all || stamps.size() < count)
        return -1;
    QList<qint64> gaps;
    for (int i = 1; i < stamps.size(); ++i)
        gaps.append(stamps[i] - stamps[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2] / 1000.0;
}

void TestTrapFlood::receiveBufferIsLarge()
{
    // Linux reports twice the size that was asked for.
    const int size = receiveBufferOfPort(m_trapPort);
    QVERIFY2(size >= 2 * (1 << 20), qPrintable(QString::number(size)));
    qInfo("trap port receive buffer: %d bytes as the kernel reports it", size);
}

void TestTrapFlood::everyPendingTrapIsReadOnOneWakeUp()
{
    const int before = m_frame->Session().m_trapCount;
    DatagramSender sender(flood(m_next, 500, false), m_trapPort, 0);
    sender.start();
    // The user interface thread does nothing while the traps arrive...
    sender.wait();
    QThread::msleep(100);
    QCOMPARE(sender.sent(), 500);
    QCOMPARE(m_frame->Session().m_trapCount, before);
    QVERIFY(waitingInKernel(m_trapPort) > 0);
    // ...then one pass of its event loop takes all of them off the socket,
    // and all are logged in the passes that follow.
    QCoreApplication::processEvents();
    QCOMPARE(waitingInKernel(m_trapPort), 0);
    QVERIFY(waitForTraps(before + 500, 5000));
    QCOMPARE(m_frame->Session().m_trapCount, before + 500);
    m_next += 500;
    // Time per trap while the log is short, for the comparison later.
    m_emptyMedian = burstMedianMicroseconds(m_next, 1000);
    QVERIFY(m_emptyMedian > 0);
    m_next += 1000;
}

void TestTrapFlood::floodAtOneThousandPerSecond()
{
    const int count = 20000;
    const int before = m_frame->Session().m_trapCount;
    const quint32 first = m_next;
    Heartbeat heartbeat;
    heartbeat.start();
    QElapsedTimer clock;
    clock.start();
    DatagramSender sender(flood(first, count, true), m_trapPort, 1000 * 104 / 100);
    sender.start();
    QVERIFY(QTest::qWaitFor([&] { return sender.isFinished(); }, 60000));
    QVERIFY(waitForTraps(before + count, 10000));
    QTest::qWait(200);
    heartbeat.stop();
    m_next += count;

    // Every trap is logged, once and in order; nothing from the stranger and
    // nothing malformed got in.
    QCOMPARE(m_frame->Session().m_trapCount, before + count);
    const QString log = m_frame->TrapRecorder().Log();
    const QList<quint32> numbers = loggedNumbers(log);
    const QList<quint32> flooded = numbers.mid(numbers.indexOf(first));
    QCOMPARE(flooded.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(flooded[i], first + quint32(i));
    QVERIFY(!log.contains(QLatin1String("EEA0EEEEEEEE")));
    QVERIFY(!log.contains(QLatin1String("from host 127.0.0.2")));
    // The form shows what the log holds.
    QCOMPARE(m_log->Text().count(QLatin1String("Trap received @ ")),
             log.count(QLatin1String("Trap received @ ")));
    QCOMPARE(m_frame->StatusText(2), QStringLiteral("%1 <Trap Received>").arg(before + count));

    // The user interface went on: its timer kept firing.
    QVERIFY2(heartbeat.longestMs() < 500, qPrintable(QString::number(heartbeat.longestMs())));
    QVERIFY(heartbeat.ticks() > int(clock.elapsed() / 10 / 4));

    // The time per trap does not grow with the log.
    const double fullMedian = burstMedianMicroseconds(m_next, 1000);
    m_next += 1000;
    QVERIFY(fullMedian > 0);
    QVERIFY2(fullMedian < 3 * m_emptyMedian + 50,
             qPrintable(QStringLiteral("%1 us per trap with a long log, %2 us with a short one")
                            .arg(fullMedian)
                            .arg(m_emptyMedian)));
    qInfo("1000/s: %d traps logged in %lld ms, longest pause of the user interface %lld ms; "
          "time per trap %.1f us with %d traps in the log, %.1f us with 500",
          count, clock.elapsed(), heartbeat.longestMs(), fullMedian,
          m_frame->Session().m_trapCount, m_emptyMedian);
}

void TestTrapFlood::floodAtFiveThousandPerSecond()
{
    const int count = 20000;
    const int before = m_frame->Session().m_trapCount;
    const quint32 first = m_next;
    Heartbeat heartbeat;
    heartbeat.start();
    QElapsedTimer clock;
    clock.start();
    DatagramSender sender(flood(first, count, true), m_trapPort, 5000 * 104 / 100);
    sender.start();
    QVERIFY(QTest::qWaitFor([&] { return sender.isFinished(); }, 60000));
    // Whatever the receiver could not keep up with is lost in the kernel;
    // what arrives is logged, in order, and only from the agent.
    int settled = -1;
    while (settled != m_frame->Session().m_trapCount) {
        settled = m_frame->Session().m_trapCount;
        QTest::qWait(300);
    }
    heartbeat.stop();
    m_next += count;
    const int logged = m_frame->Session().m_trapCount - before;
    QVERIFY(logged > 0 && logged <= count);
    const QString log = m_frame->TrapRecorder().Log();
    const QList<quint32> numbers = loggedNumbers(log);
    const QList<quint32> flooded = numbers.mid(numbers.indexOf(first));
    QCOMPARE(flooded.size(), logged);
    QVERIFY(std::is_sorted(flooded.cbegin(), flooded.cend()));
    QVERIFY(std::adjacent_find(flooded.cbegin(), flooded.cend()) == flooded.cend());
    QVERIFY(!log.contains(QLatin1String("EEA0EEEEEEEE")));
    QVERIFY2(heartbeat.longestMs() < 1000, qPrintable(QString::number(heartbeat.longestMs())));
    qInfo("5000/s: %d of %d traps logged in %lld ms, longest pause of the user interface %lld ms",
          logged, count, clock.elapsed(), heartbeat.longestMs());
}

QTEST_MAIN(TestTrapFlood)
#include "tst_trap_flood.moc"
