// Access rights and MAC authorization table against crafted answers and a
// small table-keeping responder: community writes, the 12-byte transfer
// block in both directions, the whole-table transfers and the table switch.
#include "group_fixture.h"

#include <QHash>

namespace
{

QByteArray block(quint16 operation, quint16 total, quint16 entry, const QByteArray& mac)
{
    QByteArray b(12, '\0');
    b[0] = char(operation);
    b[1] = char(operation >> 8);
    b[2] = char(total);
    b[3] = char(total >> 8);
    b[4] = char(entry);
    b[5] = char(entry >> 8);
    for (int i = 0; i < 6 && i < mac.size(); ++i)
        b[6 + i] = mac[i];
    return b;
}

quint16 field(const QByteArray& b, int offset)
{
    return quint16(quint8(b[offset]) | quint8(b[offset + 1]) << 8);
}

QString macText(int n)
{
    return QStringLiteral("00A0B0%1").arg(n, 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class TestAccessRights : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void communityWrite_data();
    void communityWrite();
    void communityRunner();

    void writeBlock_data();
    void writeBlock();
    void readBlock_data();
    void readBlock();
    void unknownModeSetsNoHandler();
    void transferRefusesWithText();

    void writeWholeTable();
    void tooManyAddressesAreNotSent();
    void readWholeTable_data();
    void readWholeTable();

    void tableSwitch_data();
    void tableSwitch();

private:
    // A device end for the MAC table: keeps written entries and answers
    // read blocks from them, reporting `reportedTotal`.
    void keepTable(int reportedTotal = -1);

    std::unique_ptr<GroupFixture> m_f;
    QHash<int, QByteArray> m_table;
};

void TestAccessRights::communityWrite_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QByteArray>("echo"); // empty: the request's own value
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("user community")
        << 1 << "AuthorizedUserPass" << QByteArray() << 0 << 1u << QStringList();
    QTest::newRow("administrator community")
        << 2 << "AuthorizedAdminPass" << QByteArray() << 0 << 1u << QStringList();
    QTest::newRow("echo differs") << 1 << "AuthorizedUserPass" << QByteArray("secreT") << 0 << 0u
                                  << QStringList();
    QTest::newRow("empty echo") << 2 << "AuthorizedAdminPass" << QByteArray("\0", 1) << 0 << 0u
                                << QStringList();
    QTest::newRow("error status") << 2 << "AuthorizedAdminPass" << QByteArray() << 16 << 0u
                                  << QStringList{"Unexpected Error on ValidateAuthorizedSetValues"};
}

void TestAccessRights::communityWrite()
{
    QFETCH(int, kind);
    QFETCH(QString, variable);
    QFETCH(QByteArray, echo);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    m_f->session->m_newCommunity = QStringLiteral("secret");
    m_f->echo(status, [echo](int, SnmpVariable& value) {
        if (!echo.isEmpty())
            value.setBytes(echo == QByteArray("\0", 1) ? QByteArray() : echo);
    });
    QVERIFY(m_f->exchange([&] { return m_f->session->SendAuthorizedSet(kind); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(requestIdentifiers(request), QStringList{m_f->id(qPrintable(variable))});
    QCOMPARE(request.variables().item(1)->valueBytes(), QByteArray("secret"));
    QCOMPARE(m_f->session->m_setResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestAccessRights::communityRunner()
{
    CDeviceSession& s = *m_f->session;
    s.m_newCommunity = QStringLiteral("admin2");
    m_f->echo();
    QVERIFY(s.WriteAuthorized(2));
    QCOMPARE(m_f->requestCount(), 1);

    // An unknown kind sends nothing and does not pass for the last success.
    QVERIFY(!s.WriteAuthorized(3));
    QCOMPARE(m_f->requestCount(), 1);

    // One attempt only.
    m_f->echo(0, [](int, SnmpVariable& value) { value.setBytes("other"); });
    QVERIFY(!s.WriteAuthorized(1));
    QCOMPARE(m_f->requestCount(), 2);

    s.m_sessionState = CDeviceSession::StateWriting;
    QVERIFY(!s.WriteAuthorized(1));
    QCOMPARE(m_f->ui.status, QStringList{QStringLiteral("Set Access Rigths failed")});
    QCOMPARE(m_f->requestCount(), 2);
}

void TestAccessRights::writeBlock_data()
{
    QTest::addColumn<QByteArray>("echo"); // empty: the request's own value
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");

    const QByteArray mac = hexBytes("0012AB34CD56");
    QTest::newRow("equal echo") << QByteArray() << 0 << 1u;
    QTest::newRow("entry number differs") << block(1, 3, 3, mac) << 0 << 0u;
    QTest::newRow("MAC differs") << block(1, 3, 2, hexBytes("0012AB34CD57")) << 0 << 0u;
    QTest::newRow("echo of 11 bytes") << block(1, 3, 2, mac).left(11) << 0 << 0u;
    QTest::newRow("echo of 14 bytes, first 12 equal") << block(1, 3, 2, mac) + "zz" << 0 << 1u;
    QTest::newRow("error status") << QByteArray() << 5 << 0u;
}

void TestAccessRights::writeBlock()
{
    QFETCH(QByteArray, echo);
    QFETCH(int, status);
    QFETCH(quint32, result);

    CDeviceSession& s = *m_f->session;
    s.FillAuthorizedMacBlock(CDeviceSession::MacBlockWrite, 3, 2, QStringLiteral("0012AB34CD56"));
    m_f->echo(status, [echo](int, SnmpVariable& value) {
        if (!echo.isEmpty())
            value.setBytes(echo);
    });
    QVERIFY(m_f->exchange([&] { return s.SendAuthorizedMacBlock(1); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QCOMPARE(requestIdentifiers(request), QStringList{m_f->id("AuthorizedMac")});
    QCOMPARE(request.variables().item(1)->valueBytes(), block(1, 3, 2, hexBytes("0012AB34CD56")));
    QCOMPARE(s.m_setResult, result);
    QCOMPARE(m_f->ui.plain, status ? QStringList{QStringLiteral(
                                         "Unexpected Error on ValidateAuthorizedMacBlockSetValues")}
                                   : QStringList());
}

void TestAccessRights::readBlock_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QString>("mac");

    const QByteArray mac = hexBytes("0012AB34CD56");
    QTest::newRow("device block") << block(2, 9, 1, mac) << 0 << 1u << "0012AB34CD56";
    QTest::newRow("error status is not read") << block(2, 9, 1, mac) << 5 << 1u << "0012AB34CD56";
    QTest::newRow("longer block is cut")
        << block(2, 9, 1, mac) + "\x01\x02" << 0 << 1u << "0012AB34CD56";
    QTest::newRow("short block is not taken")
        << block(2, 9, 1, mac).left(10) << 0 << 0u << "000000000000";
}

void TestAccessRights::readBlock()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QString, mac);

    CDeviceSession& s = *m_f->session;
    s.FillAuthorizedMacBlock(CDeviceSession::MacBlockRead, 0, 1);
    m_f->answer({bytesValue(answer)}, status);
    QVERIFY(m_f->exchange([&] { return s.SendAuthorizedMacBlock(2); }));
    QCOMPARE(m_f->lastRequest().variables().item(1)->valueBytes(), block(2, 0, 1, QByteArray()));
    QCOMPARE(s.m_setResult, result);
    QCOMPARE(s.AuthorizedMacAddress(), mac);
    QCOMPARE(int(s.AuthorizedMacTotal()), result ? 9 : 0);
    QVERIFY(m_f->ui.plain.isEmpty());
}

void TestAccessRights::unknownModeSetsNoHandler()
{
    CDeviceSession& s = *m_f->session;
    s.m_pendingHandler = {&CDeviceSession::ReadAuthorizedMacBlockValues,
                          "ReadAuthorizedMacBlockValues", CDeviceSession::Write};
    s.FillAuthorizedMacBlock(CDeviceSession::MacBlockWrite, 1, 1, QStringLiteral("0012AB34CD56"));
    m_f->answer({bytesValue(block(2, 5, 5, hexBytes("FFFFFFFFFFFF")))});
    QCOMPARE(s.SendAuthorizedMacBlock(3), 1);
    QVERIFY(!s.m_pendingHandler);
    QTRY_COMPARE(m_f->requestCount(), 1);
    QTest::qWait(50);
    // The answer runs no handler: the block stays as sent.
    QCOMPARE(s.AuthorizedMacAddress(), QStringLiteral("0012AB34CD56"));
    QCOMPARE(s.m_setResult, 0u);
}

void TestAccessRights::transferRefusesWithText()
{
    CDeviceSession& s = *m_f->session;
    s.FillAuthorizedMacBlock(CDeviceSession::MacBlockWrite, 1, 1, QStringLiteral("0012AB34CD56"));
    s.m_sessionState = CDeviceSession::StateReading;
    QVERIFY(!s.TransferAuthorizedMacBlock(1));
    QCOMPARE(m_f->ui.status, QStringList{QStringLiteral("Set Authorized Mac Addresses failed")});

    // Three attempts without a text of its own.
    s.m_sessionState = CDeviceSession::StateIdle;
    m_f->ui.clear();
    m_f->echo(0, [](int, SnmpVariable& value) { value.setBytes(QByteArray(12, '\0')); });
    QVERIFY(!s.TransferAuthorizedMacBlock(1));
    QCOMPARE(m_f->requestCount(), 3);
    QVERIFY(m_f->ui.status.isEmpty());
}

void TestAccessRights::keepTable(int reportedTotal)
{
    m_table.clear();
    m_f->answerBy([this, reportedTotal](const SnmpMessage& request) {
        const QByteArray b = request.variables().item(1)->valueBytes();
        const int entry = field(b, 4);
        if (field(b, 0) == 1) {
            m_table.insert(entry, b.mid(6, 6));
            return QList<SnmpVariable>{bytesValue(b)};
        }
        const int total = reportedTotal >= 0 ? reportedTotal : int(m_table.size());
        return QList<SnmpVariable>{
            bytesValue(block(2, quint16(total), quint16(entry), m_table.value(entry)))};
    });
}

void TestAccessRights::writeWholeTable()
{
    keepTable();
    QStringList macs;
    for (int n = 1; n <= 680; ++n)
        macs << macText(n);
    QVERIFY(m_f->session->WriteAuthorizedMacTable(macs));
    QCOMPARE(m_f->requestCount(), 680);
    for (int n = 1; n <= 680; ++n) {
        const QByteArray sent =
            m_f->responder->requests().at(n - 1).variables().item(1)->valueBytes();
        QCOMPARE(sent, block(1, 680, quint16(n), hexBytes(qPrintable(macText(n)))));
    }

    // Read back: the same 680 addresses in order.
    QStringList read;
    QCOMPARE(m_f->session->ReadAuthorizedMacTable(read), CDeviceSession::MacTableRead);
    QCOMPARE(read, macs);
    QCOMPARE(m_f->requestCount(), 1360);
}

void TestAccessRights::tooManyAddressesAreNotSent()
{
    keepTable();
    QVERIFY(!m_f->session->WriteAuthorizedMacTable(QStringList(681, macText(1))));
    QTest::qWait(50);
    QCOMPARE(m_f->requestCount(), 0);
}

void TestAccessRights::readWholeTable_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("reported");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("requests");
    QTest::newRow("three entries") << 3 << -1 << int(CDeviceSession::MacTableRead) << 3;
    QTest::newRow("one entry") << 1 << -1 << int(CDeviceSession::MacTableRead) << 1;
    QTest::newRow("no entries") << 0 << -1 << int(CDeviceSession::MacTableEmpty) << 1;
    QTest::newRow("number 681 means no table")
        << 3 << 681 << int(CDeviceSession::MacTableEmpty) << 1;
}

void TestAccessRights::readWholeTable()
{
    QFETCH(int, stored);
    QFETCH(int, reported);
    QFETCH(int, result);
    QFETCH(int, requests);

    keepTable(reported);
    for (int n = 1; n <= stored; ++n)
        m_table.insert(n, hexBytes(qPrintable(macText(n))));
    QStringList read{QStringLiteral("stale")};
    QCOMPARE(int(m_f->session->ReadAuthorizedMacTable(read)), result);
    QCOMPARE(m_f->requestCount(), requests);
    QStringList expected;
    if (result == CDeviceSession::MacTableRead)
        for (int n = 1; n <= stored; ++n)
            expected << macText(n);
    QCOMPARE(read, expected);
    // Every request asks for one entry with total 0 and a zero address.
    for (int n = 0; n < requests; ++n)
        QCOMPARE(m_f->responder->requests().at(n).variables().item(1)->valueBytes(),
                 block(2, 0, quint16(n + 1), QByteArray()));
}

void TestAccessRights::tableSwitch_data()
{
    QTest::addColumn<bool>("changeEcho");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QStringList>("plain");
    QTest::newRow("confirmed") << false << 0 << true << 1 << QStringList();
    QTest::newRow("echo differs") << true << 0 << false << 3 << QStringList();
    QTest::newRow("error status") << false << 4 << false << 3
                                  << QStringList(
                                         3,
                                         "Unexpected Error on ValidateAuthorizedTableEnableValues");
}

void TestAccessRights::tableSwitch()
{
    QFETCH(bool, changeEcho);
    QFETCH(int, status);
    QFETCH(bool, result);
    QFETCH(int, requests);
    QFETCH(QStringList, plain);

    CDeviceSession& s = *m_f->session;
    s.AuthorizationMacEnable = 2;
    s.m_setResult = 1;
    m_f->echo(status, [changeEcho](int, SnmpVariable& value) {
        if (changeEcho)
            value.setInteger(1);
    });
    QCOMPARE(s.SetAuthorizationTable(), result);
    QCOMPARE(m_f->requestCount(), requests);
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             QStringList{m_f->id("AuthorizationMacEnable")});
    QCOMPARE(m_f->lastRequest().variables().item(1)->valueInteger(), 2);
    QCOMPARE(m_f->ui.plain, plain);
    QVERIFY(m_f->ui.status.isEmpty());
}

QTEST_GUILESS_MAIN(TestAccessRights)
#include "tst_group_access_rights.moc"
