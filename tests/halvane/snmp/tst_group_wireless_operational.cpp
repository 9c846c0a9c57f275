// Wireless operational group against crafted answers: the accept rules in
// request order, the refused community (status 16), the write request and
// the echo comparison.
#include "group_fixture.h"

namespace
{

// A valid answer to the read, in request order.
QList<SnmpVariable> validAnswer()
{
    return {integerValue(6),
            bytesValue("Office"),
            integerValue(2000),
            integerValue(1500),
            integerValue(2),
            integerValue(3),
            bytesValue(hexBytes("82840B16")),
            integerValue(1),
            bytesValue("AP-1"),
            integerValue(2),
            integerValue(3),
            integerValue(1),
            integerValue(2)};
}

// The cache members of the read as text, in request order.
QStringList snapshot(const CDeviceSession& s)
{
    const auto n = [](quint32 v) { return QString::number(v); };
    return {n(s.operChannelID),         s.operESSID,
            n(s.operRTSThreshold),      n(s.operFragmentationThreshold),
            n(s.operPreambleType),      n(s.operAuthenticationType),
            s.operBasicRates,           n(s.operAutoRateFallBack),
            s.operAccessPointName,      n(s.operSSIDBroadcasting),
            n(s.operAntennaSettings),   n(s.operInterRoaming),
            n(s.AuthorizationMacEnable)};
}

const QStringList kNewValues = {"6", "Office", "2000", "1500", "2", "3", "82840B16",
                                "1", "AP-1",   "2",    "3",    "1", "2"};
const QStringList kOldValues = {"11", "old",     "100", "2346", "1", "1", "8284",
                                "2",  "oldname", "1",   "1",    "2", "1"};

void fillOldCache(CDeviceSession& s)
{
    s.operChannelID = 11;
    s.operESSID = QStringLiteral("old");
    s.operRTSThreshold = 100;
    s.operFragmentationThreshold = 2346;
    s.operPreambleType = 1;
    s.operAuthenticationType = 1;
    s.operBasicRates = QStringLiteral("8284");
    s.operAutoRateFallBack = 2;
    s.operAccessPointName = QStringLiteral("oldname");
    s.operSSIDBroadcasting = 1;
    s.operAntennaSettings = 1;
    s.operInterRoaming = 2;
    s.AuthorizationMacEnable = 1;
}

void fillWriteCache(CDeviceSession& s)
{
    s.operChannelID = 3;
    s.operESSID = QStringLiteral("Lab42");
    s.operRTSThreshold = 2347;
    s.operFragmentationThreshold = 256;
    s.operPreambleType = 1;
    s.operAuthenticationType = 2;
    s.operBasicRates = QStringLiteral("82840B16");
    s.operAutoRateFallBack = 2;
    s.operAccessPointName = QStringLiteral("Roof AP");
    s.operSSIDBroadcasting = 1;
    s.operAntennaSettings = 2;
    s.operInterRoaming = 2;
    s.AuthorizationMacEnable = 1;
}

} // namespace

class TestWirelessOperational : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void readRequestOrder();
    void readValues_data();
    void readValues();
    void readStatus_data();
    void readStatus();
    void readMissingValueIsUnexpected();

    void writeRequest();
    void writeEcho_data();
    void writeEcho();
    void writeStatus_data();
    void writeStatus();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestWirelessOperational::readRequestOrder()
{
    m_f->answer(validAnswer());
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalGet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::GetRequest));
    const char* names[] = {"operChannelID",         "operESSID",
                           "operRTSThreshold",      "operFragmentationThreshold",
                           "operPreambleType",      "operAuthenticationType",
                           "operBasicRates",        "operAutoRateFallBack",
                           "operAccessPointName",   "operSSIDBroadcasting",
                           "operAntennaSettings",   "operInterRoaming",
                           "AuthorizationMacEnable"};
    QStringList expected;
    for (const char* name : names)
        expected << m_f->id(name);
    QCOMPARE(requestIdentifiers(request), expected);
    for (const SnmpVariable& v : request.variables().list())
        QCOMPARE(v.syntax(), SnmpVariable::Null);
}

void TestWirelessOperational::readValues_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("diagnostic");

    QTest::newRow("all valid") << 1 << integerValue(6) << "6" << true << "";
    QTest::newRow("channel 0") << 1 << integerValue(0) << "0" << false << "Not expected ChannelID";
    QTest::newRow("channel 15") << 1 << integerValue(15) << "15" << false
                                << "Not expected ChannelID";
    QTest::newRow("channel 14") << 1 << integerValue(14) << "14" << true << "";
    QTest::newRow("channel not a number")
        << 1 << bytesValue("x7") << "0" << false << "Not expected ChannelID";
    QTest::newRow("empty ESSID") << 2 << bytesValue("") << "" << false << "Not expected ESSID";
    QTest::newRow("ESSID ends at zero byte")
        << 2 << bytesValue(QByteArray("ab\0cd", 5)) << "ab" << true << "";
    QTest::newRow("RTS 2347") << 3 << integerValue(2347) << "2347" << true << "";
    QTest::newRow("RTS 2348") << 3 << integerValue(2348) << "2348" << false
                              << "Not expected RTSThreshold";
    QTest::newRow("fragmentation 255")
        << 4 << integerValue(255) << "255" << false << "Not expected FragmentationThreshold";
    QTest::newRow("fragmentation 256") << 4 << integerValue(256) << "256" << true << "";
    QTest::newRow("fragmentation 2346") << 4 << integerValue(2346) << "2346" << true << "";
    QTest::newRow("fragmentation 2347")
        << 4 << integerValue(2347) << "2347" << false << "Not expected FragmentationThreshold";
    QTest::newRow("preamble 3") << 5 << integerValue(3) << "3" << false
                                << "Not expected PreambleType";
    QTest::newRow("authentication 0")
        << 6 << integerValue(0) << "0" << false << "Not expected AuthenticationType";
    QTest::newRow("authentication 4")
        << 6 << integerValue(4) << "4" << false << "Not expected AuthenticationType";
    QTest::newRow("rates are not checked") << 7 << bytesValue(hexBytes("0b")) << "0B" << true << "";
    QTest::newRow("rate fall-back 0")
        << 8 << integerValue(0) << "0" << false << "Not expected AutoRateFallBack";
    QTest::newRow("empty AP name") << 9 << bytesValue("") << "" << false << "Not expected APname";
    QTest::newRow("SSID broadcasting 3")
        << 10 << integerValue(3) << "3" << false << "Not expected SSIDbroadcasting";
    QTest::newRow("antenna 257 (low byte 1)") << 11 << integerValue(257) << "257" << true << "";
    QTest::newRow("antenna 256 (low byte 0)")
        << 11 << integerValue(256) << "256" << false << "Not expected Rx/Tx Antenna Settings Value";
    QTest::newRow("antenna 4") << 11 << integerValue(4) << "4" << false
                               << "Not expected Rx/Tx Antenna Settings Value";
    QTest::newRow("roaming 0") << 12 << integerValue(0) << "0" << false
                               << "Not expected International Roaming Value";
    QTest::newRow("MAC table switch 3")
        << 13 << integerValue(3) << "3" << false << "Not expected AuthorizationTableEnableValue";
}

void TestWirelessOperational::readValues()
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
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalGet(); }));

    // Members before the value are updated, the value itself is stored, the
    // members after it keep their old values when it was rejected.
    QStringList expected = kNewValues.mid(0, position - 1);
    expected << stored;
    expected << (accepted ? kNewValues : kOldValues).mid(position);
    QCOMPARE(snapshot(*m_f->session), expected);
    QCOMPARE(m_f->session->m_getResult, accepted ? 1u : 0u);
    QCOMPARE(m_f->ui.plain, diagnostic.isEmpty() ? QStringList() : QStringList{diagnostic});
    QVERIFY(m_f->ui.stop.isEmpty());
}

void TestWirelessOperational::readStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("debug");
    QTest::addColumn<bool>("badChannel");
    QTest::addColumn<QStringList>("plain");
    QTest::addColumn<QStringList>("stop");
    QTest::addColumn<int>("retryCount");

    const QStringList refused{"You are not an authorized User.Check your Community name"};
    QTest::newRow("refused community") << 16 << true << false << QStringList() << refused << 4;
    QTest::newRow("refused community, no debug mode")
        << 16 << false << false << QStringList() << refused << 4;
    QTest::newRow("refused community and a bad value")
        << 16 << true << true << QStringList{"Not expected ChannelID"} << refused << 4;
    QTest::newRow("other status") << 5 << true << false
                                  << QStringList{"Unexpected Error on GetWirelessOperationalValues"}
                                  << QStringList() << 1;
    QTest::newRow("other status, no debug mode")
        << 2 << false << false << QStringList() << QStringList() << 1;
}

void TestWirelessOperational::readStatus()
{
    QFETCH(int, status);
    QFETCH(bool, debug);
    QFETCH(bool, badChannel);
    QFETCH(QStringList, plain);
    QFETCH(QStringList, stop);
    QFETCH(int, retryCount);

    m_f->session->m_debugMode = debug;
    m_f->session->m_retryCount = 1;
    fillOldCache(*m_f->session);
    QList<SnmpVariable> values = validAnswer();
    if (badChannel)
        values[0] = integerValue(15);
    m_f->answer(values, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalGet(); }));

    QCOMPARE(m_f->session->m_getResult, 0u);
    QCOMPARE(m_f->ui.plain, plain);
    QCOMPARE(m_f->ui.stop, stop);
    QCOMPARE(int(m_f->session->m_retryCount), retryCount);
    // The values are stored and checked whatever the status says.
    if (!badChannel)
        QCOMPARE(snapshot(*m_f->session), kNewValues);
}

void TestWirelessOperational::readMissingValueIsUnexpected()
{
    fillOldCache(*m_f->session);
    m_f->answer(validAnswer().mid(0, 12));
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalGet(); }));
    QCOMPARE(m_f->session->m_getResult, 0u);
    QCOMPARE(m_f->ui.plain,
             QStringList{QStringLiteral("Unexpected Error on GetWirelessOperationalValues")});
    QCOMPARE(snapshot(*m_f->session).mid(0, 12), kNewValues.mid(0, 12));
    QCOMPARE(m_f->session->AuthorizationMacEnable, 1u);
}

void TestWirelessOperational::writeRequest()
{
    fillWriteCache(*m_f->session);
    m_f->echo();
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalSet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(request.community(), QByteArray("private"));

    const char* names[] = {"operChannelID",
                           "operESSIDLength",
                           "operESSID",
                           "operRTSThreshold",
                           "operFragmentationThreshold",
                           "operPreambleType",
                           "operAuthenticationType",
                           "operBasicRates",
                           "operAutoRateFallBack",
                           "operAccessPointName",
                           "operSSIDBroadcasting",
                           "operAntennaSettings",
                           "operInterRoaming"};
    QStringList expected;
    for (const char* name : names)
        expected << m_f->id(name);
    QCOMPARE(requestIdentifiers(request), expected);

    const SnmpVariables& v = request.variables();
    const QList<qint64> integers = {3, 5, -1, 2347, 256, 1, 2, -1, 2, -1, 1, 2, 2};
    for (int i = 0; i < integers.size(); ++i) {
        if (integers[i] < 0)
            continue;
        QCOMPARE(v.item(i + 1)->syntax(), SnmpVariable::Integer);
        QCOMPARE(v.item(i + 1)->valueInteger(), integers[i]);
    }
    // The five characters of the ESSID, no terminating zero.
    QCOMPARE(v.item(3)->syntax(), SnmpVariable::OctetString);
    QCOMPARE(v.item(3)->valueBytes(), QByteArray("Lab42"));
    QCOMPARE(v.item(8)->valueBytes(), hexBytes("82840B16"));
    QCOMPARE(v.item(10)->valueBytes(), QByteArray("Roof AP"));
    QCOMPARE(m_f->session->m_setResult, 1u);
    QVERIFY(m_f->ui.plain.isEmpty());
}

void TestWirelessOperational::writeEcho_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("echoed");
    QTest::addColumn<QString>("rates");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("same values") << 0 << SnmpVariable() << "82840B16" << true;
    QTest::newRow("channel differs") << 1 << integerValue(4) << "82840B16" << false;
    QTest::newRow("ESSID length differs") << 2 << integerValue(6) << "82840B16" << false;
    QTest::newRow("ESSID differs") << 3 << bytesValue("lab42") << "82840B16" << false;
    QTest::newRow("ESSID cut short") << 3 << bytesValue("Lab4") << "82840B16" << false;
    QTest::newRow("RTS differs") << 4 << integerValue(2346) << "82840B16" << false;
    QTest::newRow("fragmentation differs") << 5 << integerValue(258) << "82840B16" << false;
    QTest::newRow("preamble differs") << 6 << integerValue(2) << "82840B16" << false;
    QTest::newRow("authentication differs") << 7 << integerValue(3) << "82840B16" << false;
    QTest::newRow("rates differ") << 8 << bytesValue(hexBytes("8284")) << "82840B16" << false;
    QTest::newRow("lower-case cached rates never match")
        << 0 << SnmpVariable() << "82840b16" << false;
    QTest::newRow("rate fall-back differs") << 9 << integerValue(1) << "82840B16" << false;
    QTest::newRow("AP name differs") << 10 << bytesValue("Roof") << "82840B16" << false;
    QTest::newRow("SSID broadcasting differs") << 11 << integerValue(2) << "82840B16" << false;
    QTest::newRow("antenna differs") << 12 << integerValue(3) << "82840B16" << false;
    QTest::newRow("roaming differs") << 13 << integerValue(1) << "82840B16" << false;
}

void TestWirelessOperational::writeEcho()
{
    QFETCH(int, position);
    QFETCH(SnmpVariable, echoed);
    QFETCH(QString, rates);
    QFETCH(bool, confirmed);

    fillWriteCache(*m_f->session);
    m_f->session->operBasicRates = rates;
    m_f->echo(0, [position, echoed](int p, SnmpVariable& value) {
        if (p == position) {
            const QString id = value.identifier();
            value = echoed;
            value.setIdentifier(id);
        }
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalSet(); }));
    // Lower-case digits still send the right bytes.
    QCOMPARE(m_f->lastRequest().variables().item(8)->valueBytes(), hexBytes("82840B16"));
    QCOMPARE(m_f->session->m_setResult, confirmed ? 1u : 0u);
    // A difference ends the handler without a message.
    QVERIFY(m_f->ui.plain.isEmpty());
    QVERIFY(m_f->ui.stop.isEmpty());
}

void TestWirelessOperational::writeStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("plain");
    QTest::addColumn<QStringList>("stop");
    QTest::addColumn<int>("retryCount");

    QTest::newRow("refused community")
        << 16 << QStringList()
        << QStringList{"You are not an authorized for this action. Check your Community name"} << 4;
    QTest::newRow("other status")
        << 3 << QStringList{"Unexpected Error on ValidateWirelessOperationalSetValues"}
        << QStringList() << 0;
}

void TestWirelessOperational::writeStatus()
{
    QFETCH(int, status);
    QFETCH(QStringList, plain);
    QFETCH(QStringList, stop);
    QFETCH(int, retryCount);

    fillWriteCache(*m_f->session);
    m_f->echo(status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessOperationalSet(); }));
    QCOMPARE(m_f->session->m_setResult, 0u);
    QCOMPARE(m_f->ui.plain, plain);
    QCOMPARE(m_f->ui.stop, stop);
    QCOMPARE(int(m_f->session->m_retryCount), retryCount);
}

QTEST_GUILESS_MAIN(TestWirelessOperational)
#include "tst_group_wireless_operational.moc"
