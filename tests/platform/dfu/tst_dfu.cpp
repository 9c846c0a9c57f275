// The DFU boundary: frame coding, and client and device end over a real local socket.
#include "dfu_client.h"
#include "dfu_protocol.h"
#include "dfu_server.h"
#include "dfu_server_thread.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

QByteArray u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

// Echoes the input as output, answers the status carried in the first input byte, and
// acts on a few magic codes.
DfuReply echoHandler(quint32 code, const QByteArray& input, quint32)
{
    if (code == 0xDEAD)
        return {0, {}, DfuReply::Action::Silence};
    if (code == 0xD15C)
        return {0, {}, DfuReply::Action::Disconnect};
    DfuReply reply = DfuReply::success(input);
    if (!input.isEmpty())
        reply.status = quint8(input.at(0));
    if (code == 0x5105)
        reply.delayMs = 100;
    return reply;
}

} // namespace

class TestDfu : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void requestCoding_data();
    void requestCoding();
    void replyCoding_data();
    void replyCoding();
    void encodeRefusesOversized();
    void defaultPath();
    void exchangesOverSocket();
    void missingDeviceFailsToOpen();
    void deadPeerTimesOut_data();
    void deadPeerTimesOut();
    void delayedReplyKeepsOrder();
    void serverRefusesBadFrames_data();
    void serverRefusesBadFrames();
    void clientRefusesOversizedReply();
    void reopenClosesOldHandle();
    void listenPathRules();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestDfu::init()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("DfuDevice0"));
    QFile::remove(m_path);
}

void TestDfu::requestCoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("parse");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<quint32>("outputSize");

    const QByteArray good = dfuEncodeRequest(0x222004, QByteArray("\x01", 1), 1024);
    QTest::newRow("read group") << good << int(DfuParse::Done) << 0x222004u << QByteArray("\x01", 1)
                                << 1024u;
    QTest::newRow("no buffers") << dfuEncodeRequest(0x22201C, {}, 0) << int(DfuParse::Done)
                                << 0x22201Cu << QByteArray() << 0u;
    QTest::newRow("header only") << good.left(16) << int(DfuParse::NeedMore) << 0u << QByteArray()
                                 << 0u;
    QTest::newRow("three bytes") << good.left(3) << int(DfuParse::NeedMore) << 0u << QByteArray()
                                 << 0u;
    QTest::newRow("bad magic") << (u32(0x12345678) + good.mid(4)) << int(DfuParse::Invalid) << 0u
                               << QByteArray() << 0u;
    QTest::newRow("input too long")
        << (u32(DfuRequestMagic) + u32(1) + u32(DfuMaxInputSize + 1) + u32(0))
        << int(DfuParse::Invalid) << 0u << QByteArray() << 0u;
    QTest::newRow("output too large")
        << (u32(DfuRequestMagic) + u32(1) + u32(0) + u32(DfuMaxOutputSize + 1))
        << int(DfuParse::Invalid) << 0u << QByteArray() << 0u;
    QTest::newRow("length 0xFFFFFFFF")
        << (u32(DfuRequestMagic) + u32(1) + u32(0xFFFFFFFFu) + u32(0)) << int(DfuParse::Invalid)
        << 0u << QByteArray() << 0u;
}

void TestDfu::requestCoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, parse);
    DfuRequestFrame frame;
    qsizetype consumed = -1;
    // A second frame behind the first is left in the buffer.
    const QByteArray buffer = bytes + (parse == int(DfuParse::Done) ? bytes : QByteArray());
    QCOMPARE(int(dfuDecodeRequest(buffer, &frame, &consumed)), parse);
    if (parse != int(DfuParse::Done))
        return;
    QCOMPARE(consumed, bytes.size());
    QTEST(frame.code, "code");
    QTEST(frame.input, "input");
    QTEST(frame.outputSize, "outputSize");
}

void TestDfu::replyCoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("maxOutput");
    QTest::addColumn<int>("parse");

    const QByteArray out(1024, 'x');
    QTest::newRow("full buffer") << dfuEncodeReply(0, out) << 1024u << int(DfuParse::Done);
    QTest::newRow("failure status") << dfuEncodeReply(31, {}) << 0u << int(DfuParse::Done);
    QTest::newRow("longer than asked") << dfuEncodeReply(0, out) << 1023u << int(DfuParse::Invalid);
    QTest::newRow("partial") << dfuEncodeReply(0, out).left(500) << 1024u
                             << int(DfuParse::NeedMore);
    QTest::newRow("request magic") << dfuEncodeRequest(1, {}, 0) << 1024u << int(DfuParse::Invalid);
}

void TestDfu::replyCoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, maxOutput);
    QFETCH(int, parse);
    DfuReplyFrame frame;
    qsizetype consumed = 0;
    QCOMPARE(int(dfuDecodeReply(bytes, maxOutput, &frame, &consumed)), parse);
    if (parse == int(DfuParse::Done)) {
        QCOMPARE(consumed, bytes.size());
        QCOMPARE(frame.output.size(), bytes.size() - DfuReplyHeaderSize);
        QCOMPARE(frame.status, qFromLittleEndian<quint32>(bytes.constData() + 4));
    }
}

void TestDfu::encodeRefusesOversized()
{
    QVERIFY(dfuEncodeRequest(1, QByteArray(DfuMaxInputSize + 1, 0), 0).isEmpty());
    QVERIFY(dfuEncodeRequest(1, {}, DfuMaxOutputSize + 1).isEmpty());
    QVERIFY(dfuEncodeReply(0, QByteArray(DfuMaxOutputSize + 1, 0)).isEmpty());
    QCOMPARE(dfuEncodeRequest(1, QByteArray(DfuMaxInputSize, 0), 0).size(),
             DfuRequestHeaderSize + DfuMaxInputSize);
}

void TestDfu::defaultPath()
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
    QCOMPARE(dfuDefaultDevicePath(), QStringLiteral("/run/user/4242/DfuDevice0"));
    qunsetenv("XDG_RUNTIME_DIR");
    QVERIFY(dfuDefaultDevicePath().endsWith(QStringLiteral("/DfuDevice0")));
    if (!saved.isEmpty())
        qputenv("XDG_RUNTIME_DIR", saved);
}

void TestDfu::exchangesOverSocket()
{
    QMutex mutex;
    QList<quint32> codes;
    DfuServerThread server(m_path, [&](quint32 code, const QByteArray& in, quint32 outSize) {
        QMutexLocker lock(&mutex);
        codes.append(code);
        return echoHandler(code, in, outSize);
    });
    QVERIFY2(server.startListening(), qPrintable(server.errorString()));

    DfuClient client;
    QVERIFY(!client.isOpen());
    QVERIFY2(client.open(m_path), qPrintable(client.errorString()));
    QVERIFY(client.isOpen());

    DfuReplyFrame reply;
    // Several requests on one handle; output cut to the output size the caller gave.
    const QByteArray input = QByteArray(1, '\0') + QByteArray(348, 'a') + QByteArray(1, '\x01');
    QVERIFY(client.request(DfuRequestGroup, input, 1024, &reply));
    QCOMPARE(reply.status, DfuStatusSuccess);
    QCOMPARE(reply.output, input);
    QVERIFY(client.request(DfuRequestGroup, input, 10, &reply));
    QCOMPARE(reply.output, input.left(10));
    QVERIFY(client.request(DfuRequestReset, {}, 0, &reply));
    QVERIFY(reply.output.isEmpty());
    // A failure status is an answer, not a transport failure.
    QVERIFY(client.request(DfuRequestRestoreDefaults, QByteArray("\x1f", 1), 0, &reply));
    QCOMPARE(reply.status, 0x1Fu);
    QVERIFY(client.isOpen());
    // Largest frames both ways.
    QVERIFY(client.request(7, QByteArray(DfuMaxInputSize, '\0'), DfuMaxOutputSize, &reply));
    QCOMPARE(reply.output.size(), qsizetype(DfuMaxOutputSize));

    client.close();
    QVERIFY(!client.isOpen());
    QVERIFY(!client.request(DfuRequestReset, {}, 0, &reply));
    QMutexLocker lock(&mutex);
    QCOMPARE(codes, (QList<quint32>{DfuRequestGroup, DfuRequestGroup, DfuRequestReset,
                                    DfuRequestRestoreDefaults, 7}));
}

void TestDfu::missingDeviceFailsToOpen()
{
    DfuClient client;
    QVERIFY(!client.open(m_path));
    QVERIFY(!client.isOpen());
    QVERIFY(!client.errorString().isEmpty());
    // After the device end stopped, the device is missing again.
    {
        DfuServerThread server(m_path, echoHandler);
        QVERIFY(server.startListening());
    }
    QVERIFY(!client.open(m_path));
}

void TestDfu::deadPeerTimesOut_data()
{
    QTest::addColumn<quint32>("code");
    QTest::newRow("silent") << 0xDEADu;
    QTest::newRow("disconnects") << 0xD15Cu;
}

void TestDfu::deadPeerTimesOut()
{
    QFETCH(quint32, code);
    DfuServerThread server(m_path, echoHandler);
    QVERIFY(server.startListening());
    DfuClient client;
    client.setTimeout(400);
    QVERIFY(client.open(m_path));
    QElapsedTimer clock;
    clock.start();
    DfuReplyFrame reply;
    QVERIFY(!client.request(code, {}, 1024, &reply));
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(!client.isOpen());
    QVERIFY(!client.errorString().isEmpty());
    // The device end keeps serving new handles.
    QVERIFY(client.open(m_path));
    QVERIFY(client.request(1, QByteArray("\0", 1), 4, &reply));
}

void TestDfu::delayedReplyKeepsOrder()
{
    DfuServerThread server(m_path, echoHandler);
    QVERIFY(server.startListening());
    DfuClient client;
    QVERIFY(client.open(m_path));
    DfuReplyFrame reply;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(client.request(0x5105, QByteArray("\0slow", 5), 16, &reply));
    QVERIFY(clock.elapsed() >= 90);
    QCOMPARE(reply.output, QByteArray("\0slow", 5));
    QVERIFY(client.request(1, QByteArray("\0fast", 5), 16, &reply));
    QCOMPARE(reply.output, QByteArray("\0fast", 5));
    // A delay longer than the time-out is a dead peer.
    client.setTimeout(50);
    QVERIFY(!client.request(0x5105, QByteArray("\0", 1), 16, &reply));
}

void TestDfu::serverRefusesBadFrames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("bad magic") << QByteArray("GET / HTTP/1.0\r\n\r\n");
    QTest::newRow("oversized input")
        << (u32(DfuRequestMagic) + u32(1) + u32(DfuMaxInputSize + 1) + u32(0));
    QTest::newRow("oversized output") << (u32(DfuRequestMagic) + u32(1) + u32(0) + u32(0x7FFFFFFF));
}

void TestDfu::serverRefusesBadFrames()
{
    QFETCH(QByteArray, bytes);
    std::atomic<int> calls{0};
    DfuServerThread server(m_path, [&](quint32 c, const QByteArray& in, quint32 out) {
        ++calls;
        return echoHandler(c, in, out);
    });
    QVERIFY(server.startListening());
    QLocalSocket raw;
    raw.connectToServer(m_path);
    QVERIFY(raw.waitForConnected(1000));
    raw.write(bytes);
    QVERIFY(raw.waitForBytesWritten(1000));
    QVERIFY(raw.state() == QLocalSocket::UnconnectedState || raw.waitForDisconnected(2000));
    QCOMPARE(raw.bytesAvailable(), 0);
    QCOMPARE(calls.load(), 0);
    QTRY_COMPARE(server.onServer([](DfuServer& s) { return s.connectionCount(); }), 0);
}

void TestDfu::clientRefusesOversizedReply()
{
    // A device end that answers more than was asked for, or garbage.
    QLocalServer fake;
    QVERIFY(fake.listen(m_path));
    DfuClient client;
    client.setTimeout(1000);
    QVERIFY(client.open(m_path));
    QVERIFY(fake.waitForNewConnection(1000));
    QLocalSocket* peer = fake.nextPendingConnection();
    peer->write(dfuEncodeReply(0, QByteArray(8, 'x')));
    QVERIFY(peer->waitForBytesWritten(1000));
    DfuReplyFrame reply;
    QVERIFY(!client.request(DfuRequestGroup, QByteArray("\x01", 1), 4, &reply));
    QVERIFY(!client.isOpen());
}

void TestDfu::reopenClosesOldHandle()
{
    DfuServerThread server(m_path, echoHandler);
    QVERIFY(server.startListening());
    const auto count = [&] {
        return server.onServer([](DfuServer& s) { return s.connectionCount(); });
    };
    DfuClient client;
    QVERIFY(client.open(m_path));
    QTRY_COMPARE(count(), 1);
    QVERIFY(client.open(m_path));
    DfuReplyFrame reply;
    QVERIFY(client.request(1, QByteArray("\0", 1), 1, &reply));
    QTRY_COMPARE(count(), 1);
    client.close();
    QTRY_COMPARE(count(), 0);
}

void TestDfu::listenPathRules()
{
    // A live server keeps its path.
    {
        DfuServerThread first(m_path, echoHandler);
        QVERIFY(first.startListening());
        DfuServerThread second(m_path, echoHandler);
        QVERIFY(!second.startListening());
        QVERIFY(!second.errorString().isEmpty());
        DfuClient client;
        QVERIFY(client.open(m_path));
    }
    QVERIFY(!QFile::exists(m_path)); // close removed the socket file

    // A stale socket file (its server died without cleaning up) is replaced.
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(m_path);
        QVERIFY(size_t(native.size()) < sizeof(address.sun_path));
        memcpy(address.sun_path, native.constData(), native.size());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
    }
    QVERIFY(QFile::exists(m_path));
    DfuClient client;
    QVERIFY(!client.open(m_path)); // nobody listens: the driver is not loaded
    DfuServerThread replacing(m_path, echoHandler);
    QVERIFY2(replacing.startListening(), qPrintable(replacing.errorString()));
    replacing.stop();

    // Any other file is never removed.
    QFile plain(m_path);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("keep");
    plain.close();
    DfuServerThread refused(m_path, echoHandler);
    QVERIFY(!refused.startListening());
    QVERIFY(QFile::exists(m_path));
}

QTEST_GUILESS_MAIN(TestDfu)
#include "tst_dfu.moc"
