// The associated stations form: columns, the rows of prepared station
// records, and the stations of a real apsim after Get Configuration.
#include "associated_stations.h"
#include "form_fixture.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace
{

void PutStation(CDeviceSession& s, int record, quint16 number, const QByteArray& mac)
{
    CDeviceSession::StationRecord& r = s.AssociatedSTAsInfo[std::size_t(record)];
    r.fill(0);
    CDeviceSession::WriteLe16(r, 0, number);
    for (int i = 0; i < 6; ++i)
        r[std::size_t(2 + i)] = quint8(mac[i]);
}

QList<QStringList> Rows(QTreeWidget* list)
{
    QList<QStringList> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << QStringList{list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1)};
    return rows;
}

} // namespace

class TestAssociatedStations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void columns();
    void rows_data();
    void rows();
    void refreshReplacesRows();
    void stationsOfApsim();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestAssociatedStations::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestAssociatedStations::init()
{
    FormFixture::ResetMessages();
}

void TestAssociatedStations::cleanup()
{
    m_frame.reset();
    CMessageBox::clearNextAnswer();
}

void TestAssociatedStations::columns()
{
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    auto* form = FormFixture::Open<CAssociatedStations>(*m_frame, FormAssociatedStations);
    QVERIFY(form);
    QTreeWidget* list = form->List();
    QCOMPARE(list->columnCount(), 2);
    QCOMPARE(list->headerItem()->text(0), QString());
    QCOMPARE(list->headerItem()->text(1), QStringLiteral("Mac Address"));
    QCOMPARE(list->columnWidth(0), 30);
    QCOMPARE(list->columnWidth(1), 155);
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(m_frame->FormChild(FormAssociatedStations)->windowTitle(),
             QStringLiteral(" Associated Stations"));
    FormFixture::Click(form->findChild<QPushButton*>(QStringLiteral("okButton")));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormAssociatedStations));
}

void TestAssociatedStations::rows_data()
{
    QTest::addColumn<quint32>("count");
    QTest::addColumn<QList<quint16>>("numbers"); // of records 1, 2, 3, ...
    QTest::addColumn<QList<QStringList>>("expected");
    const QStringList first{"1", "00-0A-1B-2C-3D-4E"};
    const QStringList second{"2", "00-A0-F8-12-34-56"};
    const QStringList third{"300", "FF-FF-FF-FF-FF-FF"};
    QTest::newRow("count 0: empty") << 0u << QList<quint16>{1, 2, 300} << QList<QStringList>{};
    QTest::newRow("count 3, all there")
        << 3u << QList<quint16>{1, 2, 300} << QList<QStringList>{first, second, third};
    QTest::newRow("count 3, second record empty")
        << 3u << QList<quint16>{1, 0, 300} << QList<QStringList>{first};
    QTest::newRow("count 2 of three records")
        << 2u << QList<quint16>{1, 2, 300} << QList<QStringList>{first, second};
    QTest::newRow("count beyond the records")
        << 5u << QList<quint16>{1, 2, 300} << QList<QStringList>{first, second, third};
}

void TestAssociatedStations::rows()
{
    QFETCH(quint32, count);
    QFETCH(QList<quint16>, numbers);
    QFETCH(QList<QStringList>, expected);
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    CDeviceSession& s = m_frame->Session();
    const QByteArray macs[] = {QByteArray("\x00\x0A\x1B\x2C\x3D\x4E", 6),
                               QByteArray("\x00\xA0\xF8\x12\x34\x56", 6), QByteArray(6, '\xFF')};
    // Record 0 never holds a station: a number there is not shown.
    PutStation(s, 0, 9, macs[0]);
    for (int i = 0; i < numbers.size(); ++i)
        PutStation(s, i + 1, numbers[i], macs[i]);
    s.m_stationCount = count;
    QCOMPARE(AssociatedStations::StationRows(s), expected);
    auto* form = FormFixture::Open<CAssociatedStations>(*m_frame, FormAssociatedStations);
    QVERIFY(form);
    QCOMPARE(Rows(form->List()), expected);
}

void TestAssociatedStations::refreshReplacesRows()
{
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    CDeviceSession& s = m_frame->Session();
    PutStation(s, 1, 1, QByteArray(6, '\x11'));
    PutStation(s, 2, 2, QByteArray(6, '\x22'));
    s.m_stationCount = 2;
    auto* form = FormFixture::Open<CAssociatedStations>(*m_frame, FormAssociatedStations);
    QVERIFY(form);
    QCOMPARE(form->List()->topLevelItemCount(), 2);
    s.m_stationCount = 1;
    form->Refresh();
    QCOMPARE(Rows(form->List()), (QList<QStringList>{{"1", "11-11-11-11-11-11"}}));
    // A count larger than the table reads only what the table holds.
    s.m_stationCount = CDeviceSession::kMaxStationCount;
    for (std::size_t k = 1; k < std::size_t(CDeviceSession::kStationRecords); ++k)
        CDeviceSession::WriteLe16(s.AssociatedSTAsInfo[k], 0, quint16(k));
    form->Refresh();
    QCOMPARE(form->List()->topLevelItemCount(), CDeviceSession::kStationRecords - 1);
}

void TestAssociatedStations::stationsOfApsim()
{
    const quint16 port = FormFixture::FreePort();
    ApsimProcess ap(QStringLiteral(QX_BIN_DIR));
    QVERIFY(FormFixture::StartApsim(ap, QStringLiteral("127.0.0.51"), port));
    m_frame = FormFixture::Frame(false, port);
    QVERIFY(m_frame);
    FormFixture::Attach(*m_frame, QStringLiteral("127.0.0.51"), 0, QStringLiteral("public"));
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration done"));
    // "ok N MAC MAC ...": the device's stations in order.
    const QStringList answer =
        FormFixture::Control(ap, "stations").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QVERIFY(answer.size() >= 2);
    QCOMPARE(answer[0], QStringLiteral("ok"));
    const int count = answer[1].toInt();
    QVERIFY(count > 0);
    QList<QStringList> expected;
    for (int i = 0; i < count; ++i) {
        QString mac = answer[2 + i].toUpper();
        for (int at = 10; at > 0; at -= 2)
            mac.insert(at, QLatin1Char('-'));
        expected << QStringList{QString::number(i + 1), mac};
    }
    auto* form = FormFixture::Open<CAssociatedStations>(*m_frame, FormAssociatedStations);
    QVERIFY(form);
    QCOMPARE(Rows(form->List()), expected);
    // A station that leaves is gone after the next poll.
    QCOMPARE(FormFixture::Control(ap, "leave " + answer[2].toLatin1()).left(2),
             QStringLiteral("ok"));
    QCOMPARE(m_frame->Transfer().Poll(), CConfigTransfer::Done);
    QCOMPARE(form->List()->topLevelItemCount(), count - 1);
}

QTEST_MAIN(TestAssociatedStations)
#include "tst_associated_stations.moc"
