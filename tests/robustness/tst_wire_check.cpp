// What halvane sends during one Get Configuration and one Download Changes
// against a real apsim, captured on loopback by tshark with a capture filter
// on the test's ports and dissected as SNMP: no packet is marked malformed.
// Skipped where tshark is missing or may not capture.
#include "apsim_process.h"
#include "main_frame.h"
#include "menus.h"
#include "message_box.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace
{

const QString kBin = QStringLiteral(QX_BIN_DIR);
const QString kAgent = QStringLiteral("127.0.0.10");

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

} // namespace

class TestWireCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void getConfigurationAndDownloadAreWellFormed();

private:
    // tshark -r on the capture with the ports dissected as SNMP; the lines
    // of packets matching filter.
    QStringList readCapture(const QString& filter, const QStringList& fields = {});

    QTemporaryDir m_dir;
    QString m_tshark;
    QString m_capture;
    quint16 m_agentPort = 0;
    quint16 m_trapPort = 0;
};

void TestWireCheck::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
    // tshark keeps its own preferences out of the user's folder too.
    qputenv("WIRESHARK_CONFIG_DIR", m_dir.filePath(QStringLiteral("wireshark")).toLocal8Bit());
    QDir::setCurrent(kBin);
    m_tshark = QStandardPaths::findExecutable(QStringLiteral("tshark"));
    m_capture = m_dir.filePath(QStringLiteral("wire.pcap"));
}

QStringList TestWireCheck::readCapture(const QString& filter, const QStringList& fields)
{
    QStringList args{QStringLiteral("-r"), m_capture, QStringLiteral("-n"),
                     QStringLiteral("-d"), QStringLiteral("udp.port==%1,snmp").arg(m_agentPort),
                     QStringLiteral("-d"), QStringLiteral("udp.port==%1,snmp").arg(m_trapPort),
                     QStringLiteral("-Y"), filter};
    if (!fields.isEmpty()) {
        args << QStringLiteral("-T") << QStringLiteral("fields");
        for (const QString& field : fields)
            args << QStringLiteral("-e") << field;
    }
    QProcess reader;
    reader.start(m_tshark, args);
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning("tshark -r: %s", reader.readAllStandardError().constData());
        return {QStringLiteral("<tshark failed>")};
    }
    return QString::fromLocal8Bit(reader.readAllStandardOutput()).split(QLatin1Char('\n'),
                                                                        Qt::SkipEmptyParts);
}

void TestWireCheck::getConfigurationAndDownloadAreWellFormed()
{
    if (m_tshark.isEmpty())
        QSKIP("tshark is not installed");
    m_agentPort = freePort();
    m_trapPort = freePort();
    ApsimProcess ap(kBin);
    QVERIFY(ap.start({QStringLiteral("--bind"), kAgent, QStringLiteral("--port"),
                      QString::number(m_agentPort), QStringLiteral("--broadcast"),
                      QStringLiteral("none"), QStringLiteral("--churn"), QStringLiteral("0"),
                      QStringLiteral("--trap-host"), QStringLiteral("127.0.0.1"),
                      QStringLiteral("--trap-port"), QString::number(m_trapPort)}));

    // Capture on loopback, only the test's two ports.
    QProcess capture;
    capture.setProcessChannelMode(QProcess::SeparateChannels);
    capture.start(m_tshark, {QStringLiteral("-i"), QStringLiteral("lo"), QStringLiteral("-n"),
                             QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("pcap"),
                             QStringLiteral("-w"), m_capture, QStringLiteral("-f"),
                             QStringLiteral("udp port %1 or udp port %2")
                                 .arg(m_agentPort)
                                 .arg(m_trapPort)});
    QByteArray captureLog;
    const bool capturing = QTest::qWaitFor(
        [&] {
            captureLog += capture.readAllStandardError();
            return captureLog.contains("Capturing on") || capture.state() == QProcess::NotRunning;
        },
        15000);
    if (!capturing || capture.state() != QProcess::Running) {
        capture.kill();
        capture.waitForFinished();
        QSKIP(qPrintable(QStringLiteral("tshark cannot capture here: ") +
                         QString::fromLocal8Bit(captureLog).trimmed()));
    }
    // tshark reports before its capture has quite begun.
    QTest::qWait(1000);

    CMessageBox::setNextAnswer(QMessageBox::Yes);
    CHalvaneOptions options;
    options.agentPort = m_agentPort;
    options.trapPort = m_trapPort;
    options.broadcast = QStringLiteral("127.255.255.255");
    {
        CMainFrame frame(CHalvaneSettings{}, options);
        QCOMPARE(frame.OnCreate(), 0);
        frame.Discovery().StartConnect(kAgent, QStringLiteral("private"), 1);
        QVERIFY(QTest::qWaitFor([&] { return frame.Session().m_configRead == 1; }, 15000));
        QCOMPARE(frame.StatusText(0), QStringLiteral("Get Configuration done"));
        frame.Session().operESSID = QStringLiteral("wire-check");
        frame.OnCommand(ID_DOWNLOAD_CHANGES);
        QCOMPARE(frame.StatusText(0), QStringLiteral("Download Configuration done"));
    }
    CMessageBox::clearNextAnswer();
    // Let the last packets reach the capture file, then stop tshark.
    QTest::qWait(1000);
    capture.terminate();
    QVERIFY(capture.waitForFinished(15000));

    // halvane's requests are all there and dissected as SNMP: the probe, the
    // ten get-requests of Get Configuration (its station reads travel as
    // set-requests), the four writes and the upload of Download Changes...
    const QStringList requests =
        readCapture(QStringLiteral("snmp && udp.dstport == %1").arg(m_agentPort));
    const QStringList gets = readCapture(
        QStringLiteral("snmp.get_request_element && udp.dstport == %1").arg(m_agentPort));
    const QStringList sets = readCapture(
        QStringLiteral("snmp.set_request_element && udp.dstport == %1").arg(m_agentPort));
    QVERIFY2(gets.size() >= 11, qPrintable(requests.join(QLatin1Char('\n'))));
    QVERIFY2(sets.size() >= 5, qPrintable(requests.join(QLatin1Char('\n'))));
    // ...every packet on the test's ports is one the SNMP dissector takes (it
    // leaves what it cannot read as plain data)...
    const QStringList notSnmp = readCapture(QStringLiteral("udp && !snmp"));
    QVERIFY2(notSnmp.isEmpty(), qPrintable(notSnmp.join(QLatin1Char('\n'))));
    // ...and none of them is malformed or raises an error.
    const QStringList bad =
        readCapture(QStringLiteral("_ws.malformed || _ws.expert.severity >= error"));
    QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QLatin1Char('\n'))));
    const QStringList all = readCapture(QStringLiteral("udp"));
    qInfo("captured %lld packets on the test's ports, %lld SNMP requests from halvane "
          "(%lld set-requests), none malformed",
          qint64(all.size()), qint64(requests.size()), qint64(sets.size()));
}

QTEST_MAIN(TestWireCheck)
#include "tst_wire_check.moc"
