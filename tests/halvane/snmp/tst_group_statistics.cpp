// Statistics and associated stations against crafted answers: the counter
// blocks cut to their size, the station count rule, and the station records
// read one by one through a set-request.
#include "group_fixture.h"

namespace
{

// count little-endian counters 1000, 1001, ...
QByteArray counters(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        const quint32 v = 1000 + quint32(i);
        const char raw[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        bytes.append(raw, 4);
    }
    return bytes;
}

QByteArray stationAnswer(quint16 number, const QByteArray& mac, int size = 50)
{
    QByteArray r(size, '\x33');
    r[0] = char(number);
    r[1] = char(number >> 8);
    for (int i = 0; i < 6 && 2 + i < size; ++i)
        r[2 + i] = mac[i];
    return r;
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void wirelessStatistics_data();
    void wirelessStatistics();
    void ethernetStatistics();
    void stationCount_data();
    void stationCount();
    void stationRequest();
    void stationRecord_data();
    void stationRecord();
    void stationNumbersOutsideTheRequest_data();
    void stationNumbersOutsideTheRequest();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestStatistics::wirelessStatistics_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("copied");
    QTest::addColumn<quint32>("result");

    QTest::newRow("88 bytes, the 22 counters") << 88 << 0 << 88 << 1u;
    QTest::newRow("200 bytes") << 200 << 0 << 200 << 1u;
    QTest::newRow("longer than the block is cut") << 260 << 0 << 200 << 1u;
    QTest::newRow("short value keeps the rest") << 20 << 0 << 20 << 1u;
    QTest::newRow("error status") << 88 << 2 << 88 << 0u;
}

void TestStatistics::wirelessStatistics()
{
    QFETCH(int, size);
    QFETCH(int, status);
    QFETCH(int, copied);
    QFETCH(quint32, result);

    CDeviceSession& s = *m_f->session;
    s.wirelessStatistics.fill(0xAA);
    QByteArray value = counters(size / 4);
    value.resize(size, '\x01');
    m_f->answer({bytesValue(value)}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendWirelessStatisticsGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()), QStringList{m_f->id("wirelessStatistics")});
    for (int i = 0; i < int(s.wirelessStatistics.size()); ++i)
        QCOMPARE(s.wirelessStatistics[i], i < copied ? quint8(value[i]) : quint8(0xAA));
    if (copied >= 88) {
        QCOMPARE(CDeviceSession::StatisticsCounter(s.wirelessStatistics, 0), 1000u);
        QCOMPARE(CDeviceSession::StatisticsCounter(s.wirelessStatistics, 21), 1021u);
    }
    QCOMPARE(s.m_getResult, result);
    QCOMPARE(m_f->ui.plain,
             status ? QStringList{QStringLiteral("Unexpected Error on GetWirelessStatisticsValues")}
                    : QStringList());
}

void TestStatistics::ethernetStatistics()
{
    CDeviceSession& s = *m_f->session;
    s.EthRxStatistics.fill(0xAA);
    s.EthTxStatistics.fill(0xBB);
    m_f->answer({bytesValue(counters(16)), bytesValue(counters(40))});
    QVERIFY(m_f->exchange([this] { return m_f->session->SendEthernetStatisticsGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             (QStringList{m_f->id("EthRxStatistics"), m_f->id("EthTxStatistics")}));
    QCOMPARE(s.m_getResult, 1u);
    QCOMPARE(CDeviceSession::StatisticsCounter(s.EthRxStatistics, 15), 1015u);
    QCOMPARE(s.EthRxStatistics[64], quint8(0xAA));
    // 160 bytes for a 100-byte block: cut, counter 24 is the last whole one.
    QCOMPARE(CDeviceSession::StatisticsCounter(s.EthTxStatistics, 24), 1024u);
    QCOMPARE(CDeviceSession::StatisticsCounter(s.EthTxStatistics, 25), 0u);

    m_f->answer({bytesValue(counters(16)), bytesValue(counters(14))}, 5);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendEthernetStatisticsGet(); }));
    QCOMPARE(s.m_getResult, 0u);
    QCOMPARE(m_f->ui.plain,
             QStringList{QStringLiteral("Unexpected Error on GetEthernetStatisticsValues")});
}

void TestStatistics::stationCount_data()
{
    QTest::addColumn<quint32>("count");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");
    QTest::newRow("none") << 0u << 0 << 1u << QStringList();
    QTest::newRow("2007") << 2007u << 0 << 1u << QStringList();
    QTest::newRow("2008") << 2008u << 0 << 0u << QStringList{"Not expected AssocStationNo"};
    QTest::newRow("error status") << 3u << 5 << 0u
                                  << QStringList{"Unexpected Error on GetAssociatedSTAsNumValues"};
}

void TestStatistics::stationCount()
{
    QFETCH(quint32, count);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    SnmpVariable gauge;
    gauge.setInteger(count, SnmpVariable::Gauge32);
    m_f->answer({gauge}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendAssociatedSTAsNumGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()), QStringList{m_f->id("AssociatedSTAsNum")});
    QCOMPARE(m_f->session->m_stationCount, count);
    QCOMPARE(m_f->session->m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestStatistics::stationRequest()
{
    m_f->session->m_stationIndex = 0xAB;
    m_f->session->m_getResult = 1;
    m_f->session->m_setResult = 1;
    m_f->silent();
    QCOMPARE(m_f->session->SendAssociatedStationGet(), 1);
    // A read as far as the session goes, although it travels as a set.
    QCOMPARE(m_f->session->m_getResult, 0u);
    QCOMPARE(m_f->session->m_setResult, 1u);
    QTRY_COMPARE(m_f->requestCount(), 1);
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(requestIdentifiers(request), QStringList{m_f->id("AssociatedSTAsInfo")});
    QByteArray expected(24, '\0');
    expected[0] = char(0xAB);
    QCOMPARE(request.variables().item(1)->valueBytes(), expected);
}

void TestStatistics::stationRecord_data()
{
    QTest::addColumn<quint32>("index");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("copied");
    QTest::addColumn<quint32>("result");

    const QByteArray mac = hexBytes("001122334455");
    QTest::newRow("station 1 lands in record 1") << 1u << stationAnswer(1, mac) << 0 << 50 << 1u;
    QTest::newRow("station 255") << 255u << stationAnswer(255, mac) << 0 << 50 << 1u;
    QTest::newRow("short answer keeps the old MAC bytes")
        << 7u << stationAnswer(7, mac, 5) << 0 << 5 << 1u;
    QTest::newRow("long answer is cut to the record")
        << 8u << stationAnswer(8, mac, 80) << 0 << 50 << 1u;
    QTest::newRow("error status") << 2u << stationAnswer(2, mac) << 5 << 50 << 0u;
}

void TestStatistics::stationRecord()
{
    QFETCH(quint32, index);
    QFETCH(QByteArray, value);
    QFETCH(int, status);
    QFETCH(int, copied);
    QFETCH(quint32, result);

    CDeviceSession& s = *m_f->session;
    for (auto& record : s.AssociatedSTAsInfo)
        record.fill(0xEE);
    s.m_stationIndex = index;
    m_f->answer({bytesValue(value)}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendAssociatedStationGet(); }));
    QCOMPARE(s.m_getResult, result);
    const CDeviceSession::StationRecord& record = s.AssociatedSTAsInfo[index];
    for (int i = 0; i < 50; ++i)
        QCOMPARE(record[i], i < copied ? quint8(value[i]) : quint8(0xEE));
    if (copied == 50) {
        QCOMPARE(CDeviceSession::StationNumber(record), quint16(index));
        QCOMPARE(CDeviceSession::StationMacAddress(record), QStringLiteral("001122334455"));
    }
    // Record 0 and the neighbours never change.
    QCOMPARE(s.AssociatedSTAsInfo[0][0], quint8(0xEE));
    QCOMPARE(s.AssociatedSTAsInfo[index + 1][0], quint8(0xEE));
    QCOMPARE(s.AssociatedSTAsInfo[index - 1][49], quint8(0xEE));
    QCOMPARE(m_f->ui.plain,
             status ? QStringList{QStringLiteral("Unexpected Error on GetAssociatedStationValues")}
                    : QStringList());
}

void TestStatistics::stationNumbersOutsideTheRequest_data()
{
    QTest::addColumn<quint32>("index");
    QTest::newRow("station 0") << 0u;
    QTest::newRow("station 256") << 256u;
    QTest::newRow("station 2000") << 2000u;
    QTest::newRow("station 2007") << 2007u;
}

void TestStatistics::stationNumbersOutsideTheRequest()
{
    QFETCH(quint32, index);

    CDeviceSession& s = *m_f->session;
    m_f->answer({bytesValue(stationAnswer(1, hexBytes("001122334455")))});
    // A handler left over from an unanswered request is not left waiting.
    s.m_pendingHandler = {&CDeviceSession::GetKnownAPsValues, "GetKnownAPsValues",
                          CDeviceSession::Read};
    s.m_getResult = 1;
    s.m_stationIndex = index;
    QCOMPARE(s.SendAssociatedStationGet(), 0);
    QCOMPARE(s.m_getResult, 0u);
    QVERIFY(!s.m_pendingHandler);
    QTest::qWait(50);
    QCOMPARE(m_f->requestCount(), 0);
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_group_statistics.moc"
