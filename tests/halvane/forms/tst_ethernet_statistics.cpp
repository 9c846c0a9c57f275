// The Ethernet statistics form: receive and transmit counters from a
// prepared cache, the compact layout and the full one (AppView).
#include "ethernet_statistics.h"
#include "form_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace
{

template <std::size_t N> void PutCounter(std::array<quint8, N>& block, int n, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        block[std::size_t(n * 4 + i)] = quint8(value >> (8 * i));
}

const QStringList kRxLabels{
    "Total Bytes",       "Total Packets",       "Packet CRC Errors", "Multicast Packets",
    "Broadcast Packets", "Control Frames",      "Pause Frames",      "UnknownOP Code",
    "Alignment Error",   "Length Out Of Range", "Code Error",        "False Carrier",
    "Undersize Packets", "Oversize Packets",    "Total Fragments",   "Total Jabber"};
const QStringList kTxLabels{"Total Bytes",          "Total Packets",       "Packet CRC Errors",
                            "Multicast Packets",    "Broadcast Packets",   "Unicast Packets",
                            "Pause Frames",         "SingleDefer Packets", "MultiDefer Packets",
                            "Single Collisions",    "Multi Collisions",    "Late Collisions",
                            "Excessive Collisions", "Total Collisions"};

} // namespace

class TestEthernetStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void countersFromTheCache();
    void compactLayout();
    void fullLayout();

private:
    QTemporaryDir m_dir;
};

void TestEthernetStatistics::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestEthernetStatistics::init()
{
    FormFixture::ResetMessages();
}

void TestEthernetStatistics::cleanup()
{
    CMessageBox::clearNextAnswer();
}

void TestEthernetStatistics::countersFromTheCache()
{
    auto frame = FormFixture::Frame();
    QVERIFY(frame);
    CDeviceSession& s = frame->Session();
    for (int n = 0; n < 16; ++n)
        PutCounter(s.EthRxStatistics, n, quint32(100 + n));
    for (int n = 0; n < 14; ++n)
        PutCounter(s.EthTxStatistics, n, quint32(200000 + n));
    PutCounter(s.EthRxStatistics, 15, 4294967295u);
    PutCounter(s.EthTxStatistics, 0, 4294967295u);
    auto* form = FormFixture::Open<CEthernetStatistics>(*frame, FormEthernetStatistics);
    QVERIFY(form);
    for (int n = 0; n < 16; ++n) {
        QCOMPARE(form->ReceiveEdit(n)->text(),
                 n == 15 ? QStringLiteral("4294967295") : QString::number(100 + n));
        QCOMPARE(form->ReceiveLabel(n)->text(), kRxLabels[n]);
    }
    for (int n = 0; n < 14; ++n) {
        QCOMPARE(form->TransmitEdit(n)->text(),
                 n == 0 ? QStringLiteral("4294967295") : QString::number(200000 + n));
        QCOMPARE(form->TransmitLabel(n)->text(), kTxLabels[n]);
    }
    QCOMPARE(form->ReceivedBox()->title(), QStringLiteral("Received Packets"));
    QCOMPARE(form->TransmittedBox()->title(), QStringLiteral("Transmitted Packets"));
    PutCounter(s.EthTxStatistics, 13, 77u);
    form->Refresh();
    QCOMPARE(form->TransmitEdit(13)->text(), QStringLiteral("77"));
}

void TestEthernetStatistics::compactLayout()
{
    auto frame = FormFixture::Frame(false);
    QVERIFY(frame);
    auto* form = FormFixture::Open<CEthernetStatistics>(*frame, FormEthernetStatistics);
    QVERIFY(form);
    CChildFrame* child = frame->FormChild(FormEthernetStatistics);
    const int w = child->sizeHint().width();
    const int h = child->sizeHint().height();
    QCOMPARE(child->size(), QSize(w, h / 3));
    QCOMPARE(child->pos(), QPoint(0, 0));
    auto* ok = form->findChild<QPushButton*>(QStringLiteral("okButton"));
    QCOMPARE(ok->pos(), QPoint(5 * w / 13, 2 * h / 9));
    QCOMPARE(form->ReceivedBox()->geometry(),
             QRect(w / 30, w / 60, int(0.4878 * w) - w / 30, w / 4 - w / 60));
    QCOMPARE(form->TransmittedBox()->geometry(),
             QRect(w / 2, w / 60, int(0.9524 * w) - w / 2, w / 4 - w / 60));
    int rxShown = 0, txShown = 0;
    for (int n = 0; n < 16; ++n) {
        QCOMPARE(form->ReceiveEdit(n)->isVisibleTo(form), n < 3);
        QCOMPARE(form->ReceiveLabel(n)->isVisibleTo(form), n < 3);
        rxShown += form->ReceiveEdit(n)->isVisibleTo(form) ? 1 : 0;
    }
    for (int n = 0; n < 14; ++n) {
        QCOMPARE(form->TransmitEdit(n)->isVisibleTo(form), n < 3);
        txShown += form->TransmitEdit(n)->isVisibleTo(form) ? 1 : 0;
    }
    QCOMPARE(rxShown, 3);
    QCOMPARE(txShown, 3);
    // The three counters of each box fit inside it, the button below them.
    for (int n = 0; n < 3; ++n) {
        QVERIFY(form->ReceivedBox()->rect().contains(form->ReceiveEdit(n)->geometry()));
        QVERIFY(form->TransmittedBox()->rect().contains(form->TransmitEdit(n)->geometry()));
    }
    QVERIFY(form->ReceivedBox()->geometry().bottom() < ok->y());
    QVERIFY(ok->geometry().bottom() < form->height());
}

void TestEthernetStatistics::fullLayout()
{
    auto frame = FormFixture::Frame(true);
    QVERIFY(frame);
    auto* form = FormFixture::Open<CEthernetStatistics>(*frame, FormEthernetStatistics);
    QVERIFY(form);
    CChildFrame* child = frame->FormChild(FormEthernetStatistics);
    QCOMPARE(child->size(), child->sizeHint());
    for (int n = 0; n < 16; ++n) {
        QVERIFY(form->ReceiveEdit(n)->isVisibleTo(form));
        QCOMPARE(form->ReceiveEdit(n)->isEnabled(), n < 3);
        QVERIFY(form->ReceivedBox()->rect().contains(form->ReceiveEdit(n)->geometry()));
    }
    for (int n = 0; n < 14; ++n) {
        QVERIFY(form->TransmitEdit(n)->isVisibleTo(form));
        QVERIFY(form->TransmittedBox()->rect().contains(form->TransmitEdit(n)->geometry()));
    }
    FormFixture::Click(form->findChild<QPushButton*>(QStringLiteral("okButton")));
    QVERIFY(FormFixture::WaitClosed(*frame, FormEthernetStatistics));
}

QTEST_MAIN(TestEthernetStatistics)
#include "tst_ethernet_statistics.moc"
