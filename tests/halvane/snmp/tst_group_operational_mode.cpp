// Operational mode group against crafted answers: the mode and the BSSID
// that only modes 3 to 5 use, the client connection, the known BSS list
// block and its entries, and the site survey start.
#include "group_fixture.h"

namespace
{

const QString kOldBssid = QStringLiteral("111111111111");

// A known BSS list value of count entries with non-zero BSSIDs.
QByteArray knownList(int count, int size)
{
    QByteArray list(size, '\0');
    for (int n = 0; n < count && (n + 1) * 48 <= size; ++n) {
        char* entry = list.data() + n * 48;
        entry[0] = 0x00;
        entry[1] = 0x0A;
        entry[5] = char(n + 1);
        entry[6] = char(20 + n);
        entry[8] = char(1 + n % 14);
        entry[10] = char(n % 2 ? 0x21 : 0x10);
        const QByteArray ssid = "net" + QByteArray::number(n + 1);
        memcpy(entry + 16, ssid.constData(), size_t(ssid.size()));
    }
    return list;
}

QStringList firstVariables(const GroupFixture& f)
{
    QStringList ids;
    for (const SnmpMessage& request : f.responder->requests())
        ids << request.variables().item(1)->identifier();
    return ids;
}

} // namespace

class TestOperationalMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void readMode_data();
    void readMode();
    void writeMode_data();
    void writeMode();
    void writeAccessPointClient_data();
    void writeAccessPointClient();
    void writeRunnersUpload_data();
    void writeRunnersUpload();

    void knownAPsBlock_data();
    void knownAPsBlock();
    void knownBssEntries_data();
    void knownBssEntries();
    void knownAPsRunner();

    void siteSurvey();
    void siteSurveyRefusedWhileBusy();
    void siteSurveyClearsStaleHandler();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestOperationalMode::readMode_data()
{
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QByteArray>("bssid");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("cachedBssid");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    const QByteArray six = hexBytes("000A1B2C3D4E");
    QTest::newRow("mode 2 leaves the BSSID alone")
        << 2u << six << 0 << kOldBssid << 1u << QStringList();
    QTest::newRow("mode 1 leaves the BSSID alone")
        << 1u << six << 0 << kOldBssid << 1u << QStringList();
    QTest::newRow("mode 3 takes the BSSID")
        << 3u << six << 0 << "000A1B2C3D4E" << 1u << QStringList();
    QTest::newRow("mode 5 takes the BSSID")
        << 5u << six << 0 << "000A1B2C3D4E" << 1u << QStringList();
    QTest::newRow("mode 4 with a 5-byte BSSID")
        << 4u << hexBytes("000A1B2C3D") << 0 << "000A1B2C3D" << 0u
        << QStringList{"Not expected RemoteBridgeBSSID"};
    QTest::newRow("mode 3 with a 7-byte BSSID")
        << 3u << hexBytes("000A1B2C3D4E5F") << 0 << "000A1B2C3D4E5F" << 0u
        << QStringList{"Not expected RemoteBridgeBSSID"};
    QTest::newRow("mode 0") << 0u << six << 0 << kOldBssid << 0u
                            << QStringList{"Not expected BridgeOperationalMode"};
    QTest::newRow("mode 6") << 6u << six << 0 << kOldBssid << 0u
                            << QStringList{"Not expected BridgeOperationalMode"};
    QTest::newRow("error status") << 4u << six << 5 << "000A1B2C3D4E" << 0u
                                  << QStringList{"Unexpected Error on GetOperationalModeValues"};
}

void TestOperationalMode::readMode()
{
    QFETCH(quint32, mode);
    QFETCH(QByteArray, bssid);
    QFETCH(int, status);
    QFETCH(QString, cachedBssid);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    m_f->session->bridgeOperationalMode = 9;
    m_f->session->bridgeRemoteBridgeBSSID = kOldBssid;
    m_f->answer({integerValue(mode), bytesValue(bssid)}, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendOperationalModeGet(); }));
    // Both variables are always asked for.
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             (QStringList{m_f->id("bridgeOperationalMode"), m_f->id("bridgeRemoteBridgeBSSID")}));
    QCOMPARE(m_f->session->bridgeOperationalMode, mode);
    QCOMPARE(m_f->session->bridgeRemoteBridgeBSSID, cachedBssid);
    QCOMPARE(m_f->session->m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestOperationalMode::writeMode_data()
{
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QString>("bssid");
    QTest::addColumn<int>("changed"); // echo position changed, 0 none
    QTest::addColumn<int>("variables");
    QTest::addColumn<quint32>("result");

    QTest::newRow("mode 2 sends the mode only") << 2u << "000A1B2C3D4E" << 0 << 1 << 1u;
    QTest::newRow("mode 1 sends the mode only") << 1u << "000A1B2C3D4E" << 0 << 1 << 1u;
    QTest::newRow("mode 4 sends the BSSID") << 4u << "000A1B2C3D4E" << 0 << 2 << 1u;
    QTest::newRow("mode 3, mode echo differs") << 3u << "000A1B2C3D4E" << 1 << 2 << 0u;
    QTest::newRow("mode 5, BSSID echo differs") << 5u << "000A1B2C3D4E" << 2 << 2 << 0u;
    QTest::newRow("mode 4, lower-case BSSID never matches") << 4u << "000a1b2c3d4e" << 0 << 2 << 0u;
}

void TestOperationalMode::writeMode()
{
    QFETCH(quint32, mode);
    QFETCH(QString, bssid);
    QFETCH(int, changed);
    QFETCH(int, variables);
    QFETCH(quint32, result);

    m_f->session->bridgeOperationalMode = mode;
    m_f->session->bridgeRemoteBridgeBSSID = bssid;
    m_f->echo(0, [changed](int p, SnmpVariable& value) {
        if (p != changed)
            return;
        if (p == 1)
            value.setInteger(value.valueInteger() + 1);
        else
            value.setBytes(hexBytes("000A1B2C3D4F"));
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendOperationalModeSet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.variables().count(), variables);
    QCOMPARE(request.variables().item(1)->valueInteger(), qint64(mode));
    if (variables == 2) {
        QCOMPARE(request.variables().item(2)->identifier(), m_f->id("bridgeRemoteBridgeBSSID"));
        QCOMPARE(request.variables().item(2)->valueBytes(), hexBytes("000A1B2C3D4E"));
    }
    QCOMPARE(m_f->session->m_setResult, result);
    QVERIFY(m_f->ui.plain.isEmpty());
}

void TestOperationalMode::writeAccessPointClient_data()
{
    QTest::addColumn<int>("changed");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("confirmed") << 0 << 0 << 1u << QStringList();
    QTest::newRow("mode differs") << 1 << 0 << 0u << QStringList();
    QTest::newRow("list number differs") << 2 << 0 << 0u << QStringList();
    QTest::newRow("error status") << 0 << 2 << 0u
                                  << QStringList{
                                         "Unexpected Error on ValidateAccessPointClientSetValues"};
}

void TestOperationalMode::writeAccessPointClient()
{
    QFETCH(int, changed);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    m_f->session->bridgeOperationalMode = 3;
    m_f->session->SelectedBSSListNumber = 7;
    m_f->echo(status, [changed](int p, SnmpVariable& value) {
        if (p == changed)
            value.setInteger(value.valueInteger() + 1);
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendAccessPointClientSet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             (QStringList{m_f->id("bridgeOperationalMode"), m_f->id("SelectedBSSListNumber")}));
    QCOMPARE(m_f->lastRequest().variables().item(2)->valueInteger(), 7);
    QCOMPARE(m_f->session->m_setResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestOperationalMode::writeRunnersUpload_data()
{
    QTest::addColumn<bool>("client");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<int>("writes");
    QTest::addColumn<bool>("result");
    QTest::newRow("operational mode confirmed") << false << true << 1 << true;
    QTest::newRow("operational mode never confirmed") << false << false << 3 << false;
    QTest::newRow("access point client confirmed") << true << true << 1 << true;
    QTest::newRow("access point client never confirmed") << true << false << 3 << false;
}

void TestOperationalMode::writeRunnersUpload()
{
    QFETCH(bool, client);
    QFETCH(bool, confirmed);
    QFETCH(int, writes);
    QFETCH(bool, result);

    m_f->session->bridgeOperationalMode = 3;
    m_f->session->bridgeRemoteBridgeBSSID = QStringLiteral("000A1B2C3D4E");
    m_f->session->SelectedBSSListNumber = 2;
    const QString uploadId = m_f->id("sysUpload");
    m_f->echo(0, [&](int, SnmpVariable& value) {
        if (!confirmed && value.identifier() != uploadId)
            value.setInteger(99);
    });
    const bool done =
        client ? m_f->session->WriteAccessPointClient() : m_f->session->WriteOperationalMode();
    QCOMPARE(done, result);
    QStringList expected(writes, m_f->id("bridgeOperationalMode"));
    if (confirmed)
        expected << uploadId;
    QCOMPARE(firstVariables(*m_f), expected);
}

void TestOperationalMode::knownAPsBlock_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("copied");
    QTest::newRow("768 bytes") << 768 << 768;
    QTest::newRow("exactly the block") << 1000 << 1000;
    QTest::newRow("longer than the block is cut") << 1500 << 1000;
    QTest::newRow("short value keeps the old tail") << 100 << 100;
}

void TestOperationalMode::knownAPsBlock()
{
    QFETCH(int, size);
    QFETCH(int, copied);

    m_f->session->wirelessKnownAPs.fill(0xEE);
    QByteArray value(size, '\0');
    for (int i = 0; i < size; ++i)
        value[i] = char(i * 7);
    m_f->answer({bytesValue(value)});
    QVERIFY(m_f->exchange([this] { return m_f->session->SendKnownAPsGet(); }));
    QCOMPARE(m_f->lastRequest().variables().item(1)->identifier(), m_f->id("wirelessKnownAPs"));
    QCOMPARE(m_f->session->m_getResult, 1u);
    const auto& block = m_f->session->wirelessKnownAPs;
    for (int i = 0; i < int(block.size()); ++i)
        QCOMPARE(block[i], i < copied ? quint8(i * 7) : quint8(0xEE));
}

void TestOperationalMode::knownBssEntries_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("entries");

    QTest::newRow("17 non-zero entries: 16 used") << knownList(17, 1000) << 16;
    QTest::newRow("20 non-zero entries: 16 used") << knownList(20, 1000) << 16;
    QTest::newRow("first BSSID zero: empty") << knownList(0, 768) << 0;
    QTest::newRow("third BSSID zero: two") << knownList(2, 768) << 2;
}

void TestOperationalMode::knownBssEntries()
{
    QFETCH(QByteArray, value);
    QFETCH(int, entries);

    m_f->session->wirelessKnownAPs.fill(0xEE);
    m_f->answer({bytesValue(value)});
    QVERIFY(m_f->exchange([this] { return m_f->session->SendKnownAPsGet(); }));
    const QList<CDeviceSession::KnownBss> list = m_f->session->KnownBssList();
    QCOMPARE(list.size(), entries);
    for (int n = 0; n < entries; ++n) {
        QCOMPARE(list[n].bssid,
                 QStringLiteral("000A000000%1").arg(n + 1, 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(int(list[n].signal), 20 + n);
        QCOMPARE(int(list[n].channel), 1 + n % 14);
        QCOMPARE(int(list[n].flags), n % 2 ? 0x21 : 0x10);
        QCOMPARE(list[n].ssid, QStringLiteral("net%1").arg(n + 1));
    }
}

void TestOperationalMode::knownAPsRunner()
{
    // A full 32-character SSID without its zero byte stays inside its field
    // although the next entry's first byte follows it at once.
    QByteArray value = knownList(1, 768);
    memset(value.data() + 16, 'S', 32);
    value[48] = 'X';
    m_f->answer({bytesValue(value)}, 2);
    QVERIFY(!m_f->session->ReadKnownAPs());
    QCOMPARE(m_f->requestCount(), 3);
    // The status diagnostic of this read names the hardware read.
    QCOMPARE(m_f->ui.plain,
             QStringList(3, QStringLiteral("Unexpected Error on GetHardwareValues")));
    // The block is copied whatever the status.
    const QList<CDeviceSession::KnownBss> list = m_f->session->KnownBssList();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].ssid, QString(32, QLatin1Char('S')));
    QCOMPARE(list[1].bssid, QStringLiteral("580000000000"));

    m_f->ui.clear();
    m_f->answer({bytesValue(value)});
    QVERIFY(m_f->session->ReadKnownAPs());
    QCOMPARE(m_f->requestCount(), 4);
}

void TestOperationalMode::siteSurvey()
{
    // The answer is not examined: an error status does not fail the survey.
    m_f->echo(5);
    m_f->session->m_setResult = 1;
    QVERIFY(m_f->session->StartSiteSurvey());
    QCOMPARE(m_f->session->m_sessionState, quint8(CDeviceSession::StateIdle));
    QTRY_COMPARE(m_f->requestCount(), 1);
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(requestIdentifiers(request), QStringList{m_f->id("SiteSurveyCommand")});
    QCOMPARE(request.variables().item(1)->valueInteger(), 1);
    QTest::qWait(50);
    QVERIFY(m_f->ui.plain.isEmpty());
    QCOMPARE(m_f->session->m_setResult, 0u);
}

void TestOperationalMode::siteSurveyRefusedWhileBusy()
{
    for (quint8 state :
         {quint8(CDeviceSession::StateReading), quint8(CDeviceSession::StateWriting)}) {
        m_f->session->m_sessionState = state;
        QVERIFY(!m_f->session->StartSiteSurvey());
        QCOMPARE(m_f->session->m_sessionState, state);
    }
    m_f->session->m_sessionState = CDeviceSession::StateIdle;
    m_f->silent();
    QCOMPARE(m_f->session->SendFilteringGet(), 1);
    QTRY_COMPARE(m_f->requestCount(), 1);
    QVERIFY(!m_f->session->StartSiteSurvey());
    QTest::qWait(50);
    QCOMPARE(m_f->requestCount(), 1);
}

void TestOperationalMode::siteSurveyClearsStaleHandler()
{
    // An unanswered known-list read leaves its handler waiting; the
    // survey's answer must not be taken for the list.
    m_f->silent();
    QCOMPARE(m_f->session->SendKnownAPsGet(), 1);
    QTRY_COMPARE(m_f->requestCount(), 1);
    QTRY_COMPARE(m_f->manager->busy(), 0);
    QVERIFY(m_f->session->m_pendingHandler);

    m_f->session->wirelessKnownAPs.fill(0x11);
    m_f->answer({bytesValue(QByteArray(48, '\x22'))});
    QVERIFY(m_f->session->StartSiteSurvey());
    QVERIFY(!m_f->session->m_pendingHandler);
    QTRY_COMPARE(m_f->requestCount(), 2);
    QTest::qWait(50);
    QCOMPARE(m_f->session->wirelessKnownAPs[0], quint8(0x11));
}

QTEST_GUILESS_MAIN(TestOperationalMode)
#include "tst_group_operational_mode.moc"
