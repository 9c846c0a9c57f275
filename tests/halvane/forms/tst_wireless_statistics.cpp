// The wireless statistics form: the 22 counters from a prepared cache, the
// compact layout and the full one (AppView), and a poll against apsim.
#include "form_fixture.h"
#include "wireless_statistics.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

void PutCounter(CDeviceSession& s, int n, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        s.wirelessStatistics[std::size_t(n * 4 + i)] = quint8(value >> (8 * i));
}

const QStringList kLabels{"Unicast Transmitted Packets",
                          "Broadcast Transmitted Packets",
                          "Multicast Transmitted Packets",
                          "Transmitted Beacon",
                          "Transmitted ACK",
                          "Transmitted RTS",
                          "Transmitted CTS",
                          "Unicast Received Packets",
                          "Broadcast Received Packets",
                          "Multicast Received Packets",
                          "Received Beacon",
                          "Received ACK",
                          "Received RTS",
                          "Received CTS",
                          "ACK Failure",
                          "CTS Failure",
                          "Retry Packets",
                          "Received Duplicate",
                          "Failed Packets",
                          "Aged Packets",
                          "FCS Error",
                          "Invalid PLCP"};

} // namespace

class TestWirelessStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void countersFromTheCache();
    void compactLayout();
    void fullLayout();
    void okAndCloseBoxClose();
    void pollRefreshesTheForm();

private:
    QTemporaryDir m_dir;
};

void TestWirelessStatistics::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestWirelessStatistics::init()
{
    FormFixture::ResetMessages();
}

void TestWirelessStatistics::cleanup()
{
    CMessageBox::clearNextAnswer();
}

void TestWirelessStatistics::countersFromTheCache()
{
    auto frame = FormFixture::Frame();
    QVERIFY(frame);
    CDeviceSession& s = frame->Session();
    // Counter n holds 1000 n + 7; the first and the last the largest value.
    for (int n = 0; n < 22; ++n)
        PutCounter(s, n, quint32(n * 1000 + 7));
    PutCounter(s, 0, 4294967295u);
    PutCounter(s, 21, 4294967295u);
    s.wirelessStatistics[88] = 0xFF; // bytes after the 22 counters are not shown
    auto* form = FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics);
    QVERIFY(form);
    for (int n = 0; n < 22; ++n) {
        const QString expected =
            (n == 0 || n == 21) ? QStringLiteral("4294967295") : QString::number(n * 1000 + 7);
        QCOMPARE(form->CounterEdit(n)->text(), expected);
        QCOMPARE(form->CounterLabel(n)->text(), kLabels[n]);
        QVERIFY(form->CounterEdit(n)->isReadOnly());
    }
    // Refresh shows a changed cache.
    PutCounter(s, 8, 12345u);
    form->Refresh();
    QCOMPARE(form->CounterEdit(8)->text(), QStringLiteral("12345"));
}

void TestWirelessStatistics::compactLayout()
{
    auto frame = FormFixture::Frame(false);
    QVERIFY(frame);
    auto* form = FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics);
    QVERIFY(form);
    CChildFrame* child = frame->FormChild(FormWirelessStatistics);
    const QSize designed = child->sizeHint();
    const int w = designed.width();
    const int h = designed.height();
    QCOMPARE(child->size(), QSize(w, h / 2));
    QCOMPARE(child->pos(), QPoint(0, 0));
    auto* ok = form->findChild<QPushButton*>(QStringLiteral("okButton"));
    QCOMPARE(ok->pos(), QPoint(5 * w / 13, 5 * h / 17));
    int shown = 0;
    for (int n = 0; n < 22; ++n) {
        const bool compact = CWirelessStatistics::IsCompactCounter(n);
        QCOMPARE(form->CounterEdit(n)->isVisibleTo(form), compact);
        QCOMPARE(form->CounterLabel(n)->isVisibleTo(form), compact);
        QCOMPARE(form->CounterEdit(n)->isEnabled(), compact);
        shown += form->CounterEdit(n)->isVisibleTo(form) ? 1 : 0;
        // What the compact window shows lies inside it, above the OK button.
        if (compact)
            QVERIFY(form->CounterEdit(n)->geometry().bottom() < ok->y());
    }
    QCOMPARE(shown, 6);
    QVERIFY(ok->geometry().bottom() < form->height());
}

void TestWirelessStatistics::fullLayout()
{
    auto frame = FormFixture::Frame(true);
    QVERIFY(frame);
    auto* form = FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics);
    QVERIFY(form);
    CChildFrame* child = frame->FormChild(FormWirelessStatistics);
    QCOMPARE(child->size(), child->sizeHint());
    for (int n = 0; n < 22; ++n) {
        QVERIFY(form->CounterEdit(n)->isVisibleTo(form));
        QVERIFY(form->CounterLabel(n)->isVisibleTo(form));
        // Shown, still disabled.
        QCOMPARE(form->CounterEdit(n)->isEnabled(), CWirelessStatistics::IsCompactCounter(n));
        QVERIFY(form->rect().contains(form->CounterEdit(n)->geometry()));
        for (int m = 0; m < n; ++m)
            QVERIFY(!form->CounterEdit(n)->geometry().intersects(form->CounterEdit(m)->geometry()));
    }
}

void TestWirelessStatistics::okAndCloseBoxClose()
{
    auto frame = FormFixture::Frame();
    QVERIFY(frame);
    auto* form = FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics);
    QVERIFY(form);
    FormFixture::Click(form->findChild<QPushButton*>(QStringLiteral("okButton")));
    QVERIFY(FormFixture::WaitClosed(*frame, FormWirelessStatistics));
    QVERIFY(!frame->FormView(FormWirelessStatistics));
    QVERIFY(FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics));
    frame->FormChild(FormWirelessStatistics)->close();
    QVERIFY(FormFixture::WaitClosed(*frame, FormWirelessStatistics));
}

void TestWirelessStatistics::pollRefreshesTheForm()
{
    const quint16 port = FormFixture::FreePort();
    ApsimProcess ap(QStringLiteral(QX_BIN_DIR));
    QVERIFY(FormFixture::StartApsim(ap, QStringLiteral("127.0.0.41"), port));
    auto frame = FormFixture::Frame(false, port);
    QVERIFY(frame);
    FormFixture::Attach(*frame, QStringLiteral("127.0.0.41"), 0, QStringLiteral("public"));
    frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Get Configuration done"));
    auto* form = FormFixture::Open<CWirelessStatistics>(*frame, FormWirelessStatistics);
    QVERIFY(form);
    const CDeviceSession& s = frame->Session();
    const QString beaconsBefore = form->CounterEdit(3)->text();
    QCOMPARE(beaconsBefore,
             QString::number(CDeviceSession::StatisticsCounter(s.wirelessStatistics, 3)));
    QTest::qWait(1200); // the device keeps sending beacons
    QCOMPARE(frame->Transfer().Poll(), CConfigTransfer::Done);
    for (int n = 0; n < 22; ++n)
        QCOMPARE(form->CounterEdit(n)->text(),
                 QString::number(CDeviceSession::StatisticsCounter(s.wirelessStatistics, n)));
    QVERIFY(form->CounterEdit(3)->text().toUInt() > beaconsBefore.toUInt());
}

QTEST_MAIN(TestWirelessStatistics)
#include "tst_wireless_statistics.moc"
