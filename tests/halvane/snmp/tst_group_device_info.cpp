// Device information and radio configuration against crafted answers: the
// 92-byte record and its fields, the regulatory domain, the 47-byte radio
// record, the two write handlers that ignore the error status, and the
// refusal texts of their runners.
#include "group_fixture.h"

namespace
{

QByteArray deviceRecord(quint8 domain)
{
    QByteArray r(92, '\0');
    for (int i = 0; i < 92; ++i)
        r[i] = char(0x40 + i);
    r[4] = '\x00';
    r[5] = '\x0A';
    r[6] = '\x1B';
    r[7] = '\x2C';
    r[8] = '\x3D';
    r[9] = '\x4E';
    r[10] = 11;
    r[11] = char(domain);
    memcpy(r.data() + 12, "\x78\x56\x34\x12", 4);
    memcpy(r.data() + 16, "ZELCORA\0", 8);
    memcpy(r.data() + 48, "\x01\x00\x00\x00", 4);
    memcpy(r.data() + 52, "QX9304 Access Point\0", 20);
    memcpy(r.data() + 84, "\x03\x02\x00\x00", 4);
    return r;
}

QByteArray radioRecord(int size)
{
    QByteArray r(size, '\0');
    for (int i = 0; i < size; ++i)
        r[i] = char(0x80 + i);
    return r;
}

} // namespace

class TestDeviceInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void readDeviceInfo_data();
    void readDeviceInfo();
    void deviceInfoFields();
    void regulatoryDomains_data();
    void regulatoryDomains();
    void writeDeviceInfo_data();
    void writeDeviceInfo();

    void readRadio_data();
    void readRadio();
    void writeRadio_data();
    void writeRadio();

    void runnersRefuseWithText();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestDeviceInfo::readDeviceInfo_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("copied");
    QTest::addColumn<int>("domain");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("SPAIN") << deviceRecord(0x31) << 0 << 92 << 0x31 << 1u << QStringList();
    QTest::newRow("MKK1") << deviceRecord(0x41) << 0 << 92 << 0x41 << 1u << QStringList();
    QTest::newRow("byte 11 is a signed byte")
        << deviceRecord(0x90) << 0 << 92 << -0x70 << 1u << QStringList();
    QTest::newRow("longer value is cut to the record")
        << deviceRecord(0x10) + QByteArray(40, '\x7f') << 0 << 92 << 0x10 << 1u << QStringList();
    QTest::newRow("short value keeps the rest")
        << deviceRecord(0x20).left(40) << 0 << 40 << 0x20 << 1u << QStringList();
    QTest::newRow("value too short for the domain keeps the old one")
        << deviceRecord(0x20).left(8) << 0 << 8 << 0x30 << 1u << QStringList();
    QTest::newRow("error status") << deviceRecord(0x30) << 5 << 92 << 0x30 << 0u
                                  << QStringList{"Unexpected Error on GetHardwareValues"};
}

void TestDeviceInfo::readDeviceInfo()
{
    QFETCH(QByteArray, value);
    QFETCH(int, status);
    QFETCH(int, copied);
    QFETCH(int, domain);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    CDeviceSession& s = *m_f->session;
    s.sysDeviceInfo.fill(0x30); // byte 11: ETSI
    m_f->answer({bytesValue(value)}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendHardwareGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()), QStringList{m_f->id("sysDeviceInfo")});
    for (int i = 0; i < 92; ++i)
        QCOMPARE(s.sysDeviceInfo[i], i < copied ? quint8(value[i]) : quint8(0x30));
    QCOMPARE(s.m_regulatoryDomain, domain);
    QCOMPARE(s.m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestDeviceInfo::deviceInfoFields()
{
    m_f->answer({bytesValue(deviceRecord(0x31))});
    QVERIFY(m_f->exchange([this] { return m_f->session->SendHardwareGet(); }));
    CDeviceSession& s = *m_f->session;
    QCOMPARE(s.DeviceMacAddress(), QStringLiteral("000A1B2C3D4E"));
    QCOMPARE(int(s.sysDeviceInfo[CDeviceSession::DeviceChannelOffset]), 11);
    QCOMPARE(CDeviceSession::ReadLe32(s.sysDeviceInfo, CDeviceSession::DeviceProductTypeOffset),
             0x12345678u);
    QCOMPARE(s.DeviceInfoText(CDeviceSession::DeviceOemNameOffset), QStringLiteral("ZELCORA"));
    QCOMPARE(CDeviceSession::ReadLe32(s.sysDeviceInfo, CDeviceSession::DeviceOemIdOffset), 1u);
    QCOMPARE(s.DeviceInfoText(CDeviceSession::DeviceProductNameOffset),
             QStringLiteral("QX9304 Access Point"));
    QCOMPARE(
        CDeviceSession::ReadLe32(s.sysDeviceInfo, CDeviceSession::DeviceHardwareRevisionOffset),
        0x0203u);
    // A name without its zero byte ends with its 32-byte field.
    s.sysDeviceInfo.fill('N');
    QCOMPARE(s.DeviceInfoText(CDeviceSession::DeviceOemNameOffset), QString(32, QLatin1Char('N')));
    QCOMPARE(s.DeviceInfoText(84), QString(8, QLatin1Char('N')));
    // Offsets outside the record read as nothing.
    QCOMPARE(CDeviceSession::ReadLe32(s.sysDeviceInfo, 90), 0u);
    QVERIFY(s.DeviceInfoText(92).isEmpty());
}

void TestDeviceInfo::regulatoryDomains_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("FCC") << 0x10 << "FCC" << 1 << 11;
    QTest::newRow("DOC") << 0x20 << "DOC" << 1 << 11;
    QTest::newRow("ETSI") << 0x30 << "ETSI" << 1 << 13;
    QTest::newRow("SPAIN") << 0x31 << "SPAIN" << 10 << 11;
    QTest::newRow("FRANCE") << 0x32 << "FRANCE" << 10 << 13;
    QTest::newRow("MKK") << 0x40 << "MKK" << 14 << 14;
    QTest::newRow("MKK1") << 0x41 << "MKK1" << 1 << 14;
    QTest::newRow("unknown") << 0x33 << "" << 0 << -1;
}

void TestDeviceInfo::regulatoryDomains()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QFETCH(int, first);
    QFETCH(int, last);
    QList<int> channels;
    for (int c = first; c <= last; ++c)
        channels << c;
    QCOMPARE(CDeviceSession::RegulatoryDomainName(code), name);
    QCOMPARE(CDeviceSession::RegulatoryDomainChannels(code), channels);
}

void TestDeviceInfo::writeDeviceInfo_data()
{
    QTest::addColumn<int>("changedByte"); // -1 none
    QTest::addColumn<int>("echoSize");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");

    QTest::newRow("equal echo") << -1 << 92 << 0 << 1u;
    QTest::newRow("byte 0 differs") << 0 << 92 << 0 << 0u;
    QTest::newRow("byte 3 differs") << 3 << 92 << 0 << 0u;
    QTest::newRow("byte 88 differs") << 88 << 92 << 0 << 0u;
    QTest::newRow("byte 91 differs") << 91 << 92 << 0 << 0u;
    QTest::newRow("echo of 91 bytes") << -1 << 91 << 0 << 0u;
    QTest::newRow("echo of 100 bytes, first 92 equal") << -1 << 100 << 0 << 1u;
    QTest::newRow("equal echo with error status") << -1 << 92 << 5 << 1u;
}

void TestDeviceInfo::writeDeviceInfo()
{
    QFETCH(int, changedByte);
    QFETCH(int, echoSize);
    QFETCH(int, status);
    QFETCH(quint32, result);

    CDeviceSession& s = *m_f->session;
    const QByteArray record = deviceRecord(0x32);
    CDeviceSession::CopyIntoBlock(s.sysDeviceInfo, record);
    m_f->echo(status, [&](int, SnmpVariable& value) {
        QByteArray bytes = value.valueBytes();
        bytes.resize(echoSize, '\x55');
        if (changedByte >= 0)
            bytes[changedByte] = char(bytes[changedByte] ^ 0x01);
        value.setBytes(bytes);
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendHardwareSet(); }));
    QCOMPARE(m_f->lastRequest().variables().item(1)->valueBytes(), record);
    QCOMPARE(s.m_setResult, result);
    QVERIFY(m_f->ui.plain.isEmpty());
}

void TestDeviceInfo::readRadio_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("47 bytes") << 47 << 0 << 1u << QStringList();
    QTest::newRow("46 bytes") << 46 << 0 << 0u << QStringList{"Not expected RadioConfiguration"};
    QTest::newRow("48 bytes") << 48 << 0 << 0u << QStringList{"Not expected RadioConfiguration"};
    QTest::newRow("error status") << 47 << 2 << 0u
                                  << QStringList{"Unexpected Error on GetRadioValues"};
}

void TestDeviceInfo::readRadio()
{
    QFETCH(int, size);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    m_f->session->TestModeRadioConfiguration = QStringLiteral("old");
    m_f->answer({bytesValue(radioRecord(size))}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendRadioConfigurationGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             QStringList{m_f->id("TestModeRadioConfiguration")});
    // The text is replaced before it is checked.
    QCOMPARE(m_f->session->TestModeRadioConfiguration,
             CDeviceSession::BytesToHexText(radioRecord(size)));
    QCOMPARE(m_f->session->m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestDeviceInfo::writeRadio_data()
{
    QTest::addColumn<QString>("cached");
    QTest::addColumn<bool>("changeEcho");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");

    const QString upper = CDeviceSession::BytesToHexText(radioRecord(47));
    QTest::newRow("equal echo") << upper << false << 0 << 1u;
    QTest::newRow("echo differs") << upper << true << 0 << 0u;
    QTest::newRow("equal echo with error status") << upper << false << 16 << 1u;
    QTest::newRow("lower-case cache is never confirmed") << upper.toLower() << false << 0 << 0u;
}

void TestDeviceInfo::writeRadio()
{
    QFETCH(QString, cached);
    QFETCH(bool, changeEcho);
    QFETCH(int, status);
    QFETCH(quint32, result);

    m_f->session->TestModeRadioConfiguration = cached;
    m_f->echo(status, [changeEcho](int, SnmpVariable& value) {
        if (changeEcho) {
            QByteArray bytes = value.valueBytes();
            bytes[46] = 0;
            value.setBytes(bytes);
        }
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendRadioConfigurationSet(); }));
    QCOMPARE(m_f->lastRequest().variables().item(1)->valueBytes(), radioRecord(47));
    QCOMPARE(m_f->session->m_setResult, result);
    QVERIFY(m_f->ui.plain.isEmpty());
}

void TestDeviceInfo::runnersRefuseWithText()
{
    CDeviceSession& s = *m_f->session;
    s.m_sessionState = CDeviceSession::StateReading;
    QVERIFY(!s.WriteHardware());
    QVERIFY(!s.WriteRadioConfiguration());
    QCOMPARE(m_f->ui.status,
             (QStringList{"Set Hardware Configuration failed", "Set Radio Configuration failed"}));
    QTest::qWait(50);
    QCOMPARE(m_f->requestCount(), 0);

    // One attempt each: a missing echo fails silently.
    s.m_sessionState = CDeviceSession::StateIdle;
    m_f->ui.clear();
    m_f->answer({});
    QVERIFY(!s.WriteHardware());
    QVERIFY(!s.WriteRadioConfiguration());
    QCOMPARE(m_f->requestCount(), 2);
    QVERIFY(m_f->ui.plain.isEmpty());
    QVERIFY(m_f->ui.status.isEmpty());

    m_f->echo();
    s.TestModeRadioConfiguration = CDeviceSession::BytesToHexText(radioRecord(47));
    QVERIFY(s.WriteHardware());
    QVERIFY(s.WriteRadioConfiguration());
    QCOMPARE(m_f->requestCount(), 4);
}

QTEST_GUILESS_MAIN(TestDeviceInfo)
#include "tst_group_device_info.moc"
