// Bridge IP settings group against crafted answers: the dotted address
// conversion, the accept rules, the addresses taken only from a whole
// answer, and the byte-by-byte echo comparison of the write.
#include "group_fixture.h"

Q_DECLARE_METATYPE(CDeviceSession::IpBytes)

namespace
{

using IpBytes = CDeviceSession::IpBytes;

QList<SnmpVariable> validAnswer()
{
    return {
        ipValue(192, 168, 1, 20), ipValue(255, 255, 255, 0), bytesValue(hexBytes("0012345678AB")),
        ipValue(192, 168, 1, 1),  integerValue(2),           integerValue(1),
        integerValue(0)};
}

const QStringList kNewValues = {
    "192.168.1.20", "255.255.255.0", "0012345678AB", "192.168.1.1", "2", "1", "0"};
const QStringList kOldValues = {"10.0.0.2", "255.0.0.0", "AABBCCDDEEFF", "10.0.0.1", "1", "2", "2"};

QString dotted(const IpBytes& b)
{
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

QStringList snapshot(const CDeviceSession& s)
{
    return {dotted(s.operIPAddress),
            dotted(s.operIPMask),
            s.operEthernetAddress,
            dotted(s.operGateway),
            QString::number(s.operDHCP),
            QString::number(s.operPrimaryPort),
            QString::number(s.operConfigurationPort)};
}

void fillOldCache(CDeviceSession& s)
{
    s.operIPAddress = {10, 0, 0, 2};
    s.operIPMask = {255, 0, 0, 0};
    s.operEthernetAddress = QStringLiteral("AABBCCDDEEFF");
    s.operGateway = {10, 0, 0, 1};
    s.operDHCP = 1;
    s.operPrimaryPort = 2;
    s.operConfigurationPort = 2;
}

} // namespace

class TestBridgeIp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void dottedTextToBytes_data();
    void dottedTextToBytes();
    void readValues_data();
    void readValues();
    void readStatus();
    void writeRequest();
    void writeEcho_data();
    void writeEcho();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestBridgeIp::dottedTextToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<IpBytes>("bytes");
    QTest::newRow("address") << "192.168.1.2" << IpBytes{192, 168, 1, 2};
    QTest::newRow("seven characters") << "0.0.0.0" << IpBytes{0, 0, 0, 0};
    QTest::newRow("low 8 bits") << "300.256.1.511" << IpBytes{44, 0, 1, 255};
    QTest::newRow("three numbers") << "1.2.3" << IpBytes{1, 2, 3, 0};
    QTest::newRow("no dot") << "17" << IpBytes{17, 0, 0, 0};
    QTest::newRow("empty") << "" << IpBytes{0, 0, 0, 0};
    QTest::newRow("fifth number ignored") << "1.2.3.4.5" << IpBytes{1, 2, 3, 4};
    QTest::newRow("dot beyond 21 characters")
        << "10.20.30" + QString(20, QLatin1Char(' ')) + ".40" << IpBytes{10, 20, 30, 0};
}

void TestBridgeIp::dottedTextToBytes()
{
    QFETCH(QString, text);
    QFETCH(IpBytes, bytes);
    QCOMPARE(CDeviceSession::DottedTextToBytes(text), bytes);
}

void TestBridgeIp::readValues_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("value");
    QTest::addColumn<QString>("stored"); // only for the members stored at once
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("diagnostic");

    QTest::newRow("all valid") << 1 << ipValue(192, 168, 1, 20) << "" << true << "";
    QTest::newRow("address 0.0.0.0 passes") << 1 << ipValue(0, 0, 0, 0) << "" << true << "";
    QTest::newRow("address of five characters")
        << 1 << bytesValue("0.0.0") << "" << false << "Not expected IPAddress";
    QTest::newRow("short mask") << 2 << bytesValue("255.0") << "" << false << "Not expected IPMask";
    QTest::newRow("5-byte Ethernet address")
        << 3 << bytesValue(hexBytes("0012345678")) << "0012345678" << false
        << "Not expected EthernetAddress";
    QTest::newRow("7-byte Ethernet address")
        << 3 << bytesValue(hexBytes("0012345678ABCD")) << "0012345678ABCD" << false
        << "Not expected EthernetAddress";
    QTest::newRow("short gateway") << 4 << bytesValue("") << "" << false << "Not expected Gateway";
    QTest::newRow("DHCP 0") << 5 << integerValue(0) << "0" << false << "Not expected DHCP switch";
    QTest::newRow("primary port 3")
        << 6 << integerValue(3) << "3" << false << "Not expected Primary Port";
    QTest::newRow("configuration port 2") << 7 << integerValue(2) << "2" << true << "";
    QTest::newRow("configuration port 3")
        << 7 << integerValue(3) << "3" << false << "Not expected Configuration Port";
}

void TestBridgeIp::readValues()
{
    QFETCH(int, position);
    QFETCH(SnmpVariable, value);
    QFETCH(QString, stored);
    QFETCH(bool, accepted);
    QFETCH(QString, diagnostic);

    fillOldCache(*m_f->session);
    QList<SnmpVariable> values = validAnswer();
    values[position - 1] = value;
    m_f->answer(values);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendIPSettingsGet(); }));

    QStringList expected;
    if (accepted) {
        expected = kNewValues;
        if (position == 1)
            expected[0] = value.valueText();
        if (position == 7)
            expected[6] = stored;
    } else {
        // The numbers and the Ethernet address before the failing value are
        // stored; the three addresses change only with a whole answer.
        for (int i = 0; i < 7; ++i) {
            const bool address = i == 0 || i == 1 || i == 3;
            if (address || i > position - 1)
                expected << kOldValues[i];
            else if (i == position - 1)
                expected << stored;
            else
                expected << kNewValues[i];
        }
    }
    QCOMPARE(snapshot(*m_f->session), expected);
    QCOMPARE(m_f->session->m_getResult, accepted ? 1u : 0u);
    QCOMPARE(m_f->ui.plain, diagnostic.isEmpty() ? QStringList() : QStringList{diagnostic});
}

void TestBridgeIp::readStatus()
{
    // A whole answer with an error status: the addresses are converted, the
    // result is 0.
    fillOldCache(*m_f->session);
    m_f->answer(validAnswer(), 16);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendIPSettingsGet(); }));
    QCOMPARE(snapshot(*m_f->session), kNewValues);
    QCOMPARE(m_f->session->m_getResult, 0u);
    QCOMPARE(m_f->ui.plain, QStringList{QStringLiteral("Unexpected Error on GetIPSettingsValues")});
    QVERIFY(m_f->ui.stop.isEmpty());
}

void TestBridgeIp::writeRequest()
{
    CDeviceSession& s = *m_f->session;
    s.operIPAddress = {192, 168, 7, 9};
    s.operIPMask = {255, 255, 0, 0};
    s.operGateway = {192, 168, 0, 254};
    s.operDHCP = 2;
    s.operPrimaryPort = 1;
    s.operConfigurationPort = 0;
    m_f->echo();
    QVERIFY(m_f->exchange([this] { return m_f->session->SendIPSettingsSet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(requestIdentifiers(request),
             (QStringList{m_f->id("operIPAddress"), m_f->id("operIPMask"), m_f->id("operGateway"),
                          m_f->id("operDHCP"), m_f->id("operPrimaryPort"),
                          m_f->id("operConfigurationPort")}));
    QCOMPARE(request.variables().item(1)->syntax(), SnmpVariable::IpAddress);
    QCOMPARE(request.variables().item(1)->valueText(), QStringLiteral("192.168.7.9"));
    QCOMPARE(request.variables().item(2)->valueText(), QStringLiteral("255.255.0.0"));
    QCOMPARE(request.variables().item(3)->valueText(), QStringLiteral("192.168.0.254"));
    QCOMPARE(request.variables().item(4)->valueInteger(), 2);
    QCOMPARE(request.variables().item(5)->valueInteger(), 1);
    QCOMPARE(request.variables().item(6)->valueInteger(), 0);
    QCOMPARE(s.m_setResult, 1u);
}

void TestBridgeIp::writeEcho_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("echoed");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("same values") << 0 << SnmpVariable() << 0 << true;
    QTest::newRow("address differs in the last byte") << 1 << ipValue(192, 168, 7, 8) << 0 << false;
    QTest::newRow("mask differs") << 2 << ipValue(255, 255, 255, 0) << 0 << false;
    QTest::newRow("gateway differs in the first byte")
        << 3 << ipValue(10, 168, 0, 254) << 0 << false;
    QTest::newRow("gateway echo of 3 bytes") << 3 << bytesValue(hexBytes("C0A800")) << 0 << false;
    QTest::newRow("gateway echo of 5 bytes, first 4 equal")
        << 3 << bytesValue(hexBytes("C0A800FE01")) << 0 << true;
    QTest::newRow("DHCP differs") << 4 << integerValue(1) << 0 << false;
    QTest::newRow("primary port differs") << 5 << integerValue(2) << 0 << false;
    QTest::newRow("configuration port differs") << 6 << integerValue(1) << 0 << false;
    QTest::newRow("error status") << 0 << SnmpVariable() << 2 << false;
}

void TestBridgeIp::writeEcho()
{
    QFETCH(int, position);
    QFETCH(SnmpVariable, echoed);
    QFETCH(int, status);
    QFETCH(bool, confirmed);

    CDeviceSession& s = *m_f->session;
    s.operIPAddress = {192, 168, 7, 9};
    s.operIPMask = {255, 255, 0, 0};
    s.operGateway = {192, 168, 0, 254};
    s.operDHCP = 2;
    s.operPrimaryPort = 1;
    s.operConfigurationPort = 0;
    m_f->echo(status, [position, echoed](int p, SnmpVariable& value) {
        if (p == position) {
            const QString id = value.identifier();
            value = echoed;
            value.setIdentifier(id);
        }
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendIPSettingsSet(); }));
    QCOMPARE(s.m_setResult, confirmed ? 1u : 0u);
    QCOMPARE(m_f->ui.plain,
             status ? QStringList{QStringLiteral("Unexpected Error on ValidateIPSettingsSetValues")}
                    : QStringList());
}

QTEST_GUILESS_MAIN(TestBridgeIp)
#include "tst_group_bridge_ip.moc"
