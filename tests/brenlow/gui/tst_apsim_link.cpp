// brenlow against the access point emulator: DeviceLink over `apsim --dfu`, and a change
// made through the configuration window seen on the emulator's SNMP side (and the other way
// round).
#include "brenlow_texts.h"
#include "configuration_window.h"
#include "device_link.h"
#include "message_box.h"
#include "modal_answer.h"
#include "text_editor.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QUdpSocket>

namespace
{

const QString AgentAddress = QStringLiteral("127.0.0.9");

// A free UDP port on the agent's address.
quint16 freePort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(AgentAddress), 0))
        return 0;
    return probe.localPort();
}

} // namespace

class TestApsimLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void versionAndUnpacking();
    void blockMatchesSnmpSide();
    void essidWrittenWithBrenlowSeenBySnmp();
    void essidSetBySnmpSeenByBrenlow();
    void notInterpretedBytesKept();
    void resetAndRestoreDefaults();

private:
    QString snmp(const QString& tool, const QString& community, const QString& name,
                 const QStringList& setValue = {});
    QString snmpget(const QString& name)
    {
        return snmp(QStringLiteral("snmpget"), QStringLiteral("public"), name);
    }
    QString snmpsetText(const QString& name, const QString& text)
    {
        return snmp(QStringLiteral("snmpset"), QStringLiteral("private"), name,
                    {QStringLiteral("s"), text});
    }
    ConfigurationBlock readBlock();

    QTemporaryDir m_dir;
    QString m_devicePath;
    quint16 m_port = 0;
    QProcess m_apsim;
};

void TestApsimLink::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile profile(m_dir.filePath(QStringLiteral("profile.json")));
    QVERIFY(profile.open(QIODevice::WriteOnly));
    profile.write(R"({"firmware": "1.3.2.0", "domain": "ETSI",
                      "config": {"operESSID": "bench", "operChannelID": 13,
                                 "operIPAddress": "10.0.0.2"}})");
}

void TestApsimLink::init()
{
    MessageBox::setTestMode(true);
    m_devicePath = m_dir.filePath(QStringLiteral("DfuDevice0"));
    m_port = freePort();
    QVERIFY(m_port != 0);
    m_apsim.setProgram(QStringLiteral(APSIM_PATH));
    m_apsim.setWorkingDirectory(QStringLiteral(BIN_DIR)); // where QX9304.mib lies
    m_apsim.setArguments(
        {QStringLiteral("--bind"), AgentAddress, QStringLiteral("--port"), QString::number(m_port),
         QStringLiteral("--broadcast"), QStringLiteral("none"), QStringLiteral("--churn"),
         QStringLiteral("0"), QStringLiteral("--reset-time"), QStringLiteral("0"),
         QStringLiteral("--profile"), m_dir.filePath(QStringLiteral("profile.json")),
         QStringLiteral("--dfu"), m_devicePath});
    m_apsim.start();
    QVERIFY(m_apsim.waitForStarted(5000));
    QByteArray out;
    while (!out.contains("apsim: ready") && m_apsim.state() == QProcess::Running) {
        m_apsim.waitForReadyRead(200);
        out += m_apsim.readAllStandardOutput();
    }
    if (!out.contains("apsim: ready")) {
        m_apsim.waitForFinished(2000);
        const QByteArray err = m_apsim.readAllStandardError();
        if (err.contains("--dfu is not available yet"))
            QSKIP("apsim does not serve the DFU driver end yet");
        QFAIL(qPrintable(QStringLiteral("apsim did not start: ") + QString::fromLocal8Bit(err)));
    }
    QTRY_VERIFY(QFile::exists(m_devicePath));
}

void TestApsimLink::cleanup()
{
    if (m_apsim.state() == QProcess::Running) {
        m_apsim.terminate();
        if (!m_apsim.waitForFinished(3000)) {
            m_apsim.kill();
            m_apsim.waitForFinished(3000);
        }
    }
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

// Runs snmpget or snmpset against the emulator and gives the value it printed.
QString TestApsimLink::snmp(const QString& tool, const QString& community, const QString& name,
                            const QStringList& setValue)
{
    QStringList arguments{QStringLiteral("-v1"),
                          QStringLiteral("-Oqv"),
                          QStringLiteral("-r"),
                          QStringLiteral("1"),
                          QStringLiteral("-t"),
                          QStringLiteral("2"),
                          QStringLiteral("-c"),
                          community,
                          QStringLiteral("-M"),
                          QStringLiteral("/dev/null"),
                          QStringLiteral("-m"),
                          QStringLiteral(MIB_FILE),
                          AgentAddress + QLatin1Char(':') + QString::number(m_port),
                          QStringLiteral("QX9304-MIB::") + name + QStringLiteral(".0")};
    QProcess process;
    process.start(tool, arguments + setValue);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QStringLiteral("error: ") + QString::fromLocal8Bit(process.readAllStandardError());
    QString value = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

ConfigurationBlock TestApsimLink::readBlock()
{
    DeviceLink link(m_devicePath);
    ConfigurationBlock block;
    if (!link.Open() || !link.ReadGroup(GroupConfiguration, block.area(), 1024))
        qWarning("cannot read group 1: %s", qPrintable(link.errorString()));
    return block;
}

void TestApsimLink::versionAndUnpacking()
{
    DeviceLink link(m_devicePath);
    QVERIFY(link.Open());
    QByteArray scratch(889, '\x5A');
    QVERIFY2(link.ReadGroup(GroupCrSettings, scratch, 90), qPrintable(link.errorString()));
    QCOMPARE(link.FirmwareVersionText(), QStringLiteral("1.3.2.0"));
    QCOMPARE(scratch.mid(71), QByteArray(889 - 71, '\x5A')); // 71 bytes from raw length 90

    QByteArray full(889, '\0');
    QVERIFY(link.ReadGroup(GroupConfiguration, full, 1024));
    QByteArray part(889, '\x5A');
    QVERIFY(link.ReadGroup(GroupConfiguration, part, 90));
    QCOMPARE(part.left(71), full.left(71));
    QCOMPARE(part.mid(71), QByteArray(889 - 71, '\x5A'));
    link.Close();
}

void TestApsimLink::blockMatchesSnmpSide()
{
    const ConfigurationBlock block = readBlock();
    QCOMPARE(block.essidText(), QStringLiteral("bench"));
    QCOMPARE(block.essidText(), snmpget(QStringLiteral("operESSID")));
    QCOMPARE(QString::number(block.u8(ConfigurationBlock::WirelChannel)),
             snmpget(QStringLiteral("operChannelID")));
    QCOMPARE(block.ipText(ConfigurationBlock::EthIpAddress), QStringLiteral("10.0.0.2"));
    QCOMPARE(block.ipText(ConfigurationBlock::EthIpAddress),
             snmpget(QStringLiteral("operIPAddress")));
    QCOMPARE(tableDText(block.u8(ConfigurationBlock::RegulatoryDomain)), QStringLiteral("ETSI"));
}

void TestApsimLink::essidWrittenWithBrenlowSeenBySnmp()
{
    DeviceLink link(m_devicePath);
    ConfigurationWindow window(link, 0);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    window.get();
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("list"));
    QCOMPARE(list->topLevelItemCount(), 41);
    QCOMPARE(list->topLevelItem(5)->text(1), QStringLiteral("bench"));
    list->setCurrentItem(list->topLevelItem(5));
    ModalAnswer<TextEditor> editor([](TextEditor* d) {
        d->findChild<QLineEdit*>(QStringLiteral("textEdit"))->setText(QStringLiteral("Lobby"));
        pressOk(d);
    });
    window.modify();
    QVERIFY(editor.answered());
    QCOMPARE(list->topLevelItem(5)->text(1), QStringLiteral("Lobby"));
    MessageBox::setNextAnswer(true);
    window.set();
    QCOMPARE(MessageBox::takeShown(), QStringList{QString::fromLatin1(Texts::SaveQuestion)});
    QCOMPARE(snmpget(QStringLiteral("operESSID")), QStringLiteral("Lobby"));
    QCOMPARE(snmpget(QStringLiteral("operESSIDLength")), QStringLiteral("5"));
}

void TestApsimLink::essidSetBySnmpSeenByBrenlow()
{
    QCOMPARE(snmpsetText(QStringLiteral("operESSID"), QStringLiteral("Viaset")),
             QStringLiteral("Viaset"));
    const ConfigurationBlock block = readBlock();
    QCOMPARE(block.essidText(), QStringLiteral("Viaset"));
    QCOMPARE(int(block.u8(ConfigurationBlock::EssLen)), 6);
}

void TestApsimLink::notInterpretedBytesKept()
{
    ConfigurationBlock block = readBlock();
    // The bytes no row shows.
    for (const auto& [offset, size] :
         {std::pair{0, 8}, {164, 2}, {167, 1}, {216, 24}, {264, 2}, {277, 71}}) {
        for (int i = 0; i < size; ++i)
            block.setU8(offset + i, quint8(0xA0 + (offset + i) % 32));
    }
    DeviceLink link(m_devicePath);
    QVERIFY(link.Open());
    QVERIFY(link.WriteGroup(block.area(), GroupConfiguration, ConfigurationBlock::Size));
    link.Close();
    QCOMPARE(readBlock().bytes(), block.bytes());
    QCOMPARE(snmpget(QStringLiteral("operESSID")), block.essidText());
}

void TestApsimLink::resetAndRestoreDefaults()
{
    QCOMPARE(snmpsetText(QStringLiteral("operESSID"), QStringLiteral("Changed")),
             QStringLiteral("Changed"));
    DeviceLink link(m_devicePath);
    QVERIFY(link.Open());
    QVERIFY(link.RestoreDefaults());
    link.Close();
    QTRY_COMPARE(snmpget(QStringLiteral("operESSID")), QStringLiteral("bench"));
    QCOMPARE(readBlock().essidText(), QStringLiteral("bench"));
    QVERIFY(link.Open());
    QVERIFY(link.ResetDevice());
    link.Close();
    QTRY_COMPARE(readBlock().essidText(), QStringLiteral("bench"));
}

QTEST_MAIN(TestApsimLink)
#include "tst_apsim_link.moc"
