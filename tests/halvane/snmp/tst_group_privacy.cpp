// Privacy group against crafted answers: key lengths, WEP mode and key
// number rules, the status read after the values, the write of 5- and
// 13-byte keys with its echo comparison, and the two runners.
#include "group_fixture.h"

namespace
{

const QByteArray kKey13 = hexBytes("00112233445566778899AABBCC");

QList<SnmpVariable> validAnswer()
{
    return {bytesValue(kKey13),
            bytesValue(hexBytes("0102030405060708090A0B0C0D")),
            bytesValue(hexBytes("A1A2A3A4A5A6A7A8A9AAABACAD")),
            bytesValue(hexBytes("F0F1F2F3F4F5F6F7F8F9FAFBFC")),
            integerValue(3),
            integerValue(2)};
}

const QStringList kNewValues = {"00112233445566778899AABBCC",
                                "0102030405060708090A0B0C0D",
                                "A1A2A3A4A5A6A7A8A9AAABACAD",
                                "F0F1F2F3F4F5F6F7F8F9FAFBFC",
                                "3",
                                "2"};
const QStringList kOldValues = {"old1", "old2", "old3", "old4", "2", "1"};

QStringList snapshot(const CDeviceSession& s)
{
    return {s.defaultWEPKey1,
            s.defaultWEPKey2,
            s.defaultWEPKey3,
            s.defaultWEPKey4,
            QString::number(s.privacyWEPEnable),
            QString::number(s.privacyDefaultWEPKeyID)};
}

void fillOldCache(CDeviceSession& s)
{
    s.defaultWEPKey1 = QStringLiteral("old1");
    s.defaultWEPKey2 = QStringLiteral("old2");
    s.defaultWEPKey3 = QStringLiteral("old3");
    s.defaultWEPKey4 = QStringLiteral("old4");
    s.privacyWEPEnable = 2;
    s.privacyDefaultWEPKeyID = 1;
}

void fillWriteCache(CDeviceSession& s, const QString& key)
{
    s.defaultWEPKey1 = key;
    s.defaultWEPKey2 = key;
    s.defaultWEPKey3 = key;
    s.defaultWEPKey4 = key;
    s.privacyWEPEnable = 1;
    s.privacyDefaultWEPKeyID = 4;
}

} // namespace

class TestPrivacy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void readValues_data();
    void readValues();
    void readStatusAfterValues_data();
    void readStatusAfterValues();

    void writeKeys_data();
    void writeKeys();
    void writeEcho_data();
    void writeEcho();

    void readRunnerRefusesWhenBusy();
    void readRunnerRetries();
    void writeRunnerUploadsAfterConfirmedWrite_data();
    void writeRunnerUploadsAfterConfirmedWrite();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestPrivacy::readValues_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("value");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("diagnostic");

    QTest::newRow("all valid") << 1 << bytesValue(kKey13) << "00112233445566778899AABBCC" << true
                               << "";
    QTest::newRow("5-byte first key") << 1 << bytesValue(hexBytes("0A0B0C0D0E")) << "0A0B0C0D0E"
                                      << false << "Not expected DeafultWepKeys1";
    QTest::newRow("14-byte second key")
        << 2 << bytesValue(kKey13 + '\x01') << "00112233445566778899AABBCC01" << false
        << "Not expected DeafultWepKeys2";
    QTest::newRow("empty third key")
        << 3 << bytesValue("") << "" << false << "Not expected DeafultWepKeys3";
    QTest::newRow("fourth key as a number")
        << 4 << integerValue(7) << "" << false << "Not expected DeafultWepKeys4";
    QTest::newRow("WEP mode 0") << 5 << integerValue(0) << "0" << false
                                << "Not expected WEPEnable Value";
    QTest::newRow("WEP mode 4") << 5 << integerValue(4) << "4" << false
                                << "Not expected WEPEnable Value";
    QTest::newRow("WEP mode 1") << 5 << integerValue(1) << "1" << true << "";
    QTest::newRow("key number 0") << 6 << integerValue(0) << "0" << true << "";
    QTest::newRow("key number 4") << 6 << integerValue(4) << "4" << true << "";
    QTest::newRow("key number 5") << 6 << integerValue(5) << "5" << false
                                  << "Not expected DeafultWepKeyID";
}

void TestPrivacy::readValues()
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
    QVERIFY(m_f->exchange([this] { return m_f->session->SendPrivacySettingsGet(); }));

    QStringList expected = kNewValues.mid(0, position - 1);
    expected << stored << (accepted ? kNewValues : kOldValues).mid(position);
    QCOMPARE(snapshot(*m_f->session), expected);
    QCOMPARE(m_f->session->m_getResult, accepted ? 1u : 0u);
    QCOMPARE(m_f->ui.plain, diagnostic.isEmpty() ? QStringList() : QStringList{diagnostic});
}

void TestPrivacy::readStatusAfterValues_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("badMode");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("status 16 is no refused community here")
        << 16 << false << QStringList{"Unexpected Error on GetPrivacySettingsValues"};
    QTest::newRow("status 5") << 5 << false
                              << QStringList{"Unexpected Error on GetPrivacySettingsValues"};
    // A rejected value ends the handler before the status is read.
    QTest::newRow("bad value, status not read")
        << 5 << true << QStringList{"Not expected WEPEnable Value"};
}

void TestPrivacy::readStatusAfterValues()
{
    QFETCH(int, status);
    QFETCH(bool, badMode);
    QFETCH(QStringList, plain);

    QList<SnmpVariable> values = validAnswer();
    if (badMode)
        values[4] = integerValue(9);
    m_f->answer(values, status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendPrivacySettingsGet(); }));
    QCOMPARE(m_f->session->m_getResult, 0u);
    QCOMPARE(m_f->ui.plain, plain);
    QVERIFY(m_f->ui.stop.isEmpty());
    QCOMPARE(m_f->session->defaultWEPKey4, kNewValues[3]);
}

void TestPrivacy::writeKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("64-bit key, 10 digits") << "0A1B2C3D4E" << hexBytes("0A1B2C3D4E");
    QTest::newRow("128-bit key, 26 digits") << "00112233445566778899AABBCC" << kKey13;
}

void TestPrivacy::writeKeys()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, bytes);

    fillWriteCache(*m_f->session, key);
    m_f->echo();
    QVERIFY(m_f->exchange([this] { return m_f->session->SendPrivacySettingsSet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(request.variables().count(), 6);
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(request.variables().item(i)->identifier(),
                 m_f->id(qPrintable(QStringLiteral("defaultWEPKey%1").arg(i))));
        QCOMPARE(request.variables().item(i)->valueBytes(), bytes);
    }
    QCOMPARE(request.variables().item(5)->valueInteger(), 1);
    QCOMPARE(request.variables().item(6)->valueInteger(), 4);
    QCOMPARE(m_f->session->m_setResult, 1u);
}

void TestPrivacy::writeEcho_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("position");
    QTest::addColumn<SnmpVariable>("echoed");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("plain");

    const QString upper = QStringLiteral("0A1B2C3D4E");
    QTest::newRow("same values") << upper << 0 << SnmpVariable() << 0 << true << QStringList();
    QTest::newRow("lower-case key is never confirmed")
        << "0a1b2c3d4e" << 0 << SnmpVariable() << 0 << false << QStringList();
    QTest::newRow("third key differs")
        << upper << 3 << bytesValue(hexBytes("0A1B2C3D4F")) << 0 << false << QStringList();
    QTest::newRow("key echoed as 13 bytes")
        << upper << 2 << bytesValue(kKey13) << 0 << false << QStringList();
    QTest::newRow("WEP mode differs")
        << upper << 5 << integerValue(3) << 0 << false << QStringList();
    QTest::newRow("key number differs")
        << upper << 6 << integerValue(0) << 0 << false << QStringList();
    QTest::newRow("same values, error status")
        << upper << 0 << SnmpVariable() << 4 << false
        << QStringList{"Unexpected Error on ValidatePrivacySettingsSetValues"};
}

void TestPrivacy::writeEcho()
{
    QFETCH(QString, key);
    QFETCH(int, position);
    QFETCH(SnmpVariable, echoed);
    QFETCH(int, status);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, plain);

    fillWriteCache(*m_f->session, key);
    m_f->echo(status, [position, echoed](int p, SnmpVariable& value) {
        if (p == position) {
            const QString id = value.identifier();
            value = echoed;
            value.setIdentifier(id);
        }
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendPrivacySettingsSet(); }));
    QCOMPARE(m_f->session->m_setResult, confirmed ? 1u : 0u);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestPrivacy::readRunnerRefusesWhenBusy()
{
    // A request to the silent responder keeps the manager busy.
    m_f->silent();
    QCOMPARE(m_f->session->SendFilteringGet(), 1);
    QTRY_COMPARE(m_f->requestCount(), 1);
    QCOMPARE(m_f->manager->busy(), 1);

    QVERIFY(!m_f->session->ReadPrivacySettings());
    QCOMPARE(m_f->session->m_sessionState, quint8(CDeviceSession::StateIdle));
    QVERIFY(m_f->ui.status.isEmpty());
    QTest::qWait(50);
    QCOMPARE(m_f->requestCount(), 1);
}

void TestPrivacy::readRunnerRetries()
{
    // A 5-byte key twice, then a valid answer: the third attempt succeeds.
    int seen = 0;
    m_f->answerBy([&seen](const SnmpMessage&) {
        QList<SnmpVariable> values = validAnswer();
        if (++seen < 3)
            values[0] = bytesValue(hexBytes("0102030405"));
        return values;
    });
    QVERIFY(m_f->session->ReadPrivacySettings());
    QCOMPARE(m_f->requestCount(), 3);
    QCOMPARE(snapshot(*m_f->session), kNewValues);

    // Always rejected: three attempts, then failure.
    seen = -100;
    m_f->ui.clear();
    QVERIFY(!m_f->session->ReadPrivacySettings());
    QCOMPARE(m_f->requestCount(), 6);
    QCOMPARE(m_f->ui.plain.size(), 3);
}

void TestPrivacy::writeRunnerUploadsAfterConfirmedWrite_data()
{
    QTest::addColumn<bool>("writeConfirmed");
    QTest::addColumn<bool>("uploadConfirmed");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("sent"); // first variable of each request

    QTest::newRow("write and upload confirmed")
        << true << true << true << QStringList{"defaultWEPKey1", "sysUpload"};
    QTest::newRow("upload never confirmed")
        << true << false << false
        << QStringList{"defaultWEPKey1", "sysUpload", "sysUpload", "sysUpload"};
    QTest::newRow("write never confirmed: no upload")
        << false << true << false
        << QStringList{"defaultWEPKey1", "defaultWEPKey1", "defaultWEPKey1"};
}

void TestPrivacy::writeRunnerUploadsAfterConfirmedWrite()
{
    QFETCH(bool, writeConfirmed);
    QFETCH(bool, uploadConfirmed);
    QFETCH(bool, result);
    QFETCH(QStringList, sent);

    fillWriteCache(*m_f->session, QStringLiteral("00112233445566778899AABBCC"));
    const QString uploadId = m_f->id("sysUpload");
    m_f->echo(0, [&](int p, SnmpVariable& value) {
        const bool upload = value.identifier() == uploadId;
        if ((upload && !uploadConfirmed) || (!upload && !writeConfirmed && p == 6)) {
            const QString id = value.identifier();
            value = integerValue(2);
            value.setIdentifier(id);
        }
    });
    QCOMPARE(m_f->session->WritePrivacySettings(), result);
    QStringList firsts;
    for (const SnmpMessage& request : m_f->responder->requests())
        firsts << request.variables().item(1)->identifier();
    QStringList expected;
    for (const QString& name : sent)
        expected << m_f->id(qPrintable(name));
    QCOMPARE(firsts, expected);
    QCOMPARE(m_f->session->m_sessionState, quint8(CDeviceSession::StateIdle));
}

QTEST_GUILESS_MAIN(TestPrivacy)
#include "tst_group_privacy.moc"
