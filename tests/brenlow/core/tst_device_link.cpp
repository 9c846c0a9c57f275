// DeviceLink against a device end on a real local socket.
#include "device_fixture.h"
#include "device_link.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

class TestDeviceLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void unpacking_data();
    void unpacking();
    void versionText_data();
    void versionText();
    void readSendsThreeRequests();
    void readGroupOverSocket_data();
    void readGroupOverSocket();
    void failedThirdReadKeepsDestination();
    void thirdReadDecides();
    void shortReplyIsZeroFilled();
    void writeGroupAppendsGroupCode();
    void commands();
    void missingDriver();
    void openWhileOpenClosesOldHandle();
    void refusesBadRawLength();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DeviceFixture> m_device;
};

void TestDeviceLink::init()
{
    m_device = std::make_unique<DeviceFixture>(m_dir.filePath(QStringLiteral("DfuDevice0")));
    QVERIFY(m_device->start());
}

void TestDeviceLink::cleanup()
{
    m_device.reset();
}

void TestDeviceLink::unpacking_data()
{
    QTest::addColumn<int>("rawLength");
    QTest::addColumn<int>("length");
    QTest::newRow("group 1") << 1024 << 889;
    QTest::newRow("group 3") << 90 << 71;
    QTest::newRow("one packet") << 16 << 7;
    QTest::newRow("nothing") << 9 << 0;
    QTest::newRow("header only") << 8 << 0;
    QTest::newRow("one byte") << 10 << 1;
}

void TestDeviceLink::unpacking()
{
    QFETCH(int, rawLength);
    QFETCH(int, length);
    QByteArray reply(1024, '\0');
    for (int i = 0; i < reply.size(); ++i)
        reply[i] = char(i * 7 + 3);
    QCOMPARE(unpackedLength(rawLength), length);
    const QByteArray data = unpackReply(reply, rawLength);
    QCOMPARE(data.size(), length);
    for (int n = 0; n < length; ++n)
        QCOMPARE(data.at(n), reply.at(9 + 8 * (n / 7) + n % 7));
}

void TestDeviceLink::versionText_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.3.2.0") << QByteArray("\x01\x03\x02\x00", 4) << "1.3.2.0";
    QTest::newRow("twelve") << QByteArray("\x02\x0C\x00\x07", 4) << "2.12.0.7";
    QTest::newRow("signed bytes") << QByteArray("\xFF\x80\x7F\x00", 4) << "-1.-128.127.0";
}

void TestDeviceLink::versionText()
{
    QFETCH(QByteArray, version);
    QFETCH(QString, text);
    QCOMPARE(firmwareVersionFromReply(DeviceFixture::packReply(version, {})), text);
    // And the same over the socket, from the start-up read of group 3.
    m_device->setVersion(version);
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray scratch(71, '\0');
    QVERIFY(link.ReadGroup(GroupCrSettings, scratch, 90));
    QCOMPARE(link.FirmwareVersionText(), text);
}

void TestDeviceLink::readSendsThreeRequests()
{
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray area(889, '\0');
    QVERIFY(link.ReadGroup(GroupConfiguration, area, 1024));
    const auto requests = m_device->requests();
    QCOMPARE(requests.size(), 3);
    for (const auto& request : requests) {
        QCOMPARE(request.code, 0x222004u);
        QCOMPARE(request.input, QByteArray(1, '\x01'));
        QCOMPARE(request.outputSize, 1024u);
    }
}

void TestDeviceLink::readGroupOverSocket_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("rawLength");
    QTest::newRow("configuration, raw 1024") << 1 << 1024;
    QTest::newRow("CR settings, raw 90") << 3 << 90;
}

void TestDeviceLink::readGroupOverSocket()
{
    QFETCH(int, group);
    QFETCH(int, rawLength);
    QByteArray store(348, '\0');
    for (char& byte : store)
        byte = char(QRandomGenerator::global()->bounded(256));
    m_device->setStore(store);

    DeviceLink link(m_device->path());
    link.setStatusText(QStringLiteral("Reset AP Completed!"));
    QVERIFY(link.Open());
    QByteArray area(889, '\x55');
    QVERIFY(link.ReadGroup(quint8(group), area, rawLength));
    QCOMPARE(area.size(), 889);
    QVERIFY(link.StatusText().isEmpty());
    if (group == 1) {
        QCOMPARE(area.left(348), store);
        QCOMPARE(area.mid(348), QByteArray(889 - 348, '\0')); // the rest of the 127 packets
    } else {
        QByteArray cr;
        for (int i = 0; i < 71; ++i)
            cr.append(char(0xC0 + i));
        QCOMPARE(area.left(71), cr);                          // ten pieces of 7 and one of 1
        QCOMPARE(area.mid(71), QByteArray(889 - 71, '\x55')); // nothing written behind them
    }
}

void TestDeviceLink::failedThirdReadKeepsDestination()
{
    m_device->setStore(QByteArray(348, '\x11'));
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray area(889, '\0');
    QVERIFY(link.ReadGroup(GroupConfiguration, area, 1024));
    const QByteArray before = area;
    const QString version = link.FirmwareVersionText();
    link.setStatusText(QStringLiteral("Reset AP Completed!"));

    m_device->setStore(QByteArray(348, '\x22'));
    m_device->setVersion(QByteArray("\x09\x09\x09\x09", 4));
    DeviceFixture::Faults faults;
    faults.failRead = 3; // the first two reads succeed
    m_device->setFaults(faults);
    QVERIFY(!link.ReadGroup(GroupConfiguration, area, 1024));
    QCOMPARE(m_device->requests().size(), 6);
    QCOMPARE(area, before);
    QCOMPARE(link.FirmwareVersionText(), version);
    QCOMPARE(link.StatusText(), QStringLiteral("Reset AP Completed!"));
}

void TestDeviceLink::thirdReadDecides()
{
    m_device->setStore(QByteArray(348, '\x33'));
    DeviceFixture::Faults faults;
    faults.failRead = 1;
    m_device->setFaults(faults);
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray area;
    QVERIFY(link.ReadGroup(GroupConfiguration, area, 1024));
    QCOMPARE(area.left(348), QByteArray(348, '\x33'));
}

void TestDeviceLink::shortReplyIsZeroFilled()
{
    m_device->setStore(QByteArray(348, '\x44'));
    DeviceFixture::Faults faults;
    faults.replyLength = 100; // 11 full packets and 3 bytes of the next: 80 data bytes
    m_device->setFaults(faults);
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray area(889, '\x66');
    QVERIFY(link.ReadGroup(GroupConfiguration, area, 1024));
    QCOMPARE(link.FirmwareVersionText(), QStringLiteral("1.3.2.0"));
    QCOMPARE(area.left(80), QByteArray(80, '\x44'));
    QCOMPARE(area.mid(80), QByteArray(889 - 80, '\0'));
}

void TestDeviceLink::writeGroupAppendsGroupCode()
{
    QByteArray block(889, '\0');
    for (int i = 0; i < 348; ++i)
        block[i] = char(i);
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QVERIFY(link.WriteGroup(block, GroupConfiguration, 348));
    QCOMPARE(block.at(348), '\x01');
    const auto requests = m_device->requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).code, 0x222004u);
    QCOMPARE(requests.at(0).outputSize, 0u);
    QCOMPARE(requests.at(0).input, block.left(349));
    QCOMPARE(m_device->store(), block.left(348));

    // A block with no room for the group code grows instead of being overrun.
    QByteArray tight = block.left(348);
    QVERIFY(link.WriteGroup(tight, GroupConfiguration, 348));
    QCOMPARE(tight.size(), 349);

    DeviceFixture::Faults faults;
    faults.failWrite = true;
    m_device->setFaults(faults);
    QVERIFY(!link.WriteGroup(block, GroupConfiguration, 348));
}

void TestDeviceLink::commands()
{
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QVERIFY(link.ResetDevice());
    QVERIFY(link.RestoreDefaults());
    auto requests = m_device->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).code, 0x22201Cu);
    QCOMPARE(requests.at(1).code, 0x222020u);
    for (const auto& request : requests) {
        QVERIFY(request.input.isEmpty());
        QCOMPARE(request.outputSize, 0u);
    }
    DeviceFixture::Faults faults;
    faults.failReset = true;
    faults.failRestore = true;
    m_device->setFaults(faults);
    QVERIFY(!link.ResetDevice());
    QVERIFY(!link.RestoreDefaults());
    QVERIFY(link.Close());
    QVERIFY(!link.isOpen());
}

void TestDeviceLink::missingDriver()
{
    DeviceLink link(m_dir.filePath(QStringLiteral("NoSuchDevice")));
    QVERIFY(!link.Open());
    QVERIFY(!link.isOpen());
    QByteArray area(889, '\x77');
    QVERIFY(!link.ReadGroup(GroupConfiguration, area, 1024));
    QCOMPARE(area, QByteArray(889, '\x77'));
    QVERIFY(!link.ResetDevice());

    // The driver goes away while the link is open.
    DeviceLink live(m_device->path());
    QVERIFY(live.Open());
    m_device->stop();
    QVERIFY(!live.ResetDevice());
    QVERIFY(!live.Open());
}

void TestDeviceLink::openWhileOpenClosesOldHandle()
{
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QTRY_COMPARE(m_device->connections(), 1);
    QVERIFY(link.Open());
    QVERIFY(link.isOpen());
    QVERIFY(link.ResetDevice());
    QTRY_COMPARE(m_device->connections(), 1);
    link.Close();
    QTRY_COMPARE(m_device->connections(), 0);
}

void TestDeviceLink::refusesBadRawLength()
{
    DeviceLink link(m_device->path());
    QVERIFY(link.Open());
    QByteArray area(10, '\0');
    QVERIFY(!link.ReadGroup(GroupConfiguration, area, 1025));
    QVERIFY(!link.ReadGroup(GroupConfiguration, area, -1));
    QVERIFY(m_device->requests().isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceLink)
#include "tst_device_link.moc"
