// Filtering group against crafted answers: the four switches in order, the
// status read after them, and the echo comparison of the write.
#include "group_fixture.h"

namespace
{

QList<quint32> snapshot(const CDeviceSession& s)
{
    return {s.operIPFilter, s.operForwarbBcast, s.operSendBackBcast, s.operSendBackUnicast};
}

void fill(CDeviceSession& s, QList<quint32> values)
{
    s.operIPFilter = values[0];
    s.operForwarbBcast = values[1];
    s.operSendBackBcast = values[2];
    s.operSendBackUnicast = values[3];
}

QList<SnmpVariable> integers(const QList<quint32>& values)
{
    QList<SnmpVariable> list;
    for (quint32 v : values)
        list << integerValue(v);
    return list;
}

} // namespace

class TestFiltering : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<GroupFixture>(); }
    void cleanup() { m_f.reset(); }

    void read_data();
    void read();
    void write_data();
    void write();

private:
    std::unique_ptr<GroupFixture> m_f;
};

void TestFiltering::read_data()
{
    QTest::addColumn<QList<quint32>>("answer");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<quint32>>("cache");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    const QList<quint32> old{2, 2, 2, 2};
    QTest::newRow("all valid") << QList<quint32>{1, 2, 1, 1} << 0 << QList<quint32>{1, 2, 1, 1}
                               << 1u << QStringList();
    QTest::newRow("third switch 0") << QList<quint32>{1, 1, 0, 1} << 0 << QList<quint32>{1, 1, 0, 2}
                                    << 0u << QStringList{"Not expected Filtering Values"};
    QTest::newRow("first switch 3") << QList<quint32>{3, 1, 1, 1} << 0 << QList<quint32>{3, 2, 2, 2}
                                    << 0u << QStringList{"Not expected Filtering Values"};
    QTest::newRow("fourth switch 7")
        << QList<quint32>{1, 1, 1, 7} << 0 << QList<quint32>{1, 1, 1, 7} << 0u
        << QStringList{"Not expected Filtering Values"};
    QTest::newRow("error status after valid values")
        << QList<quint32>{1, 1, 1, 1} << 16 << QList<quint32>{1, 1, 1, 1} << 0u
        << QStringList{"Unexpected Error on GetFilteringValues"};
    QTest::newRow("bad value hides the status")
        << QList<quint32>{0, 1, 1, 1} << 5 << QList<quint32>{0, 2, 2, 2} << 0u
        << QStringList{"Not expected Filtering Values"};
}

void TestFiltering::read()
{
    QFETCH(QList<quint32>, answer);
    QFETCH(int, status);
    QFETCH(QList<quint32>, cache);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    fill(*m_f->session, {2, 2, 2, 2});
    m_f->answer(integers(answer), status);
    QVERIFY(m_f->exchange([this] { return m_f->session->SendFilteringGet(); }));
    QCOMPARE(requestIdentifiers(m_f->lastRequest()),
             (QStringList{m_f->id("operIPFilter"), m_f->id("operForwarbBcast"),
                          m_f->id("operSendBackBcast"), m_f->id("operSendBackUnicast")}));
    QCOMPARE(snapshot(*m_f->session), cache);
    QCOMPARE(m_f->session->m_getResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

void TestFiltering::write_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("result");
    QTest::addColumn<QStringList>("plain");

    QTest::newRow("same values") << 0 << 0 << 1u << QStringList();
    for (int p = 1; p <= 4; ++p)
        QTest::addRow("switch %d differs", p) << p << 0 << 0u << QStringList();
    QTest::newRow("error status") << 0 << 3 << 0u
                                  << QStringList{"Unexpected Error on ValidateFilteringSetValues"};
}

void TestFiltering::write()
{
    QFETCH(int, position);
    QFETCH(int, status);
    QFETCH(quint32, result);
    QFETCH(QStringList, plain);

    fill(*m_f->session, {1, 2, 2, 1});
    m_f->echo(status, [position](int p, SnmpVariable& value) {
        if (p == position)
            value.setInteger(value.valueInteger() == 1 ? 2 : 1);
    });
    QVERIFY(m_f->exchange([this] { return m_f->session->SendFilteringSet(); }));
    const SnmpMessage& request = m_f->lastRequest();
    QCOMPARE(request.type(), int(SnmpMessage::SetRequest));
    QList<qint64> sent;
    for (const SnmpVariable& v : request.variables().list())
        sent << v.valueInteger();
    QCOMPARE(sent, (QList<qint64>{1, 2, 2, 1}));
    QCOMPARE(m_f->session->m_setResult, result);
    QCOMPARE(m_f->ui.plain, plain);
}

QTEST_GUILESS_MAIN(TestFiltering)
#include "tst_group_filtering.moc"
