// The filtering options form on a prepared cache: the four switches in and
// out, only ever stored as 1 or 2.
#include "filtering.h"
#include "form_fixture.h"

#include <QPushButton>

namespace
{

const char* const kBoxes[] = {"ipFilterCheck", "forwardBcastCheck", "sendBackBcastCheck",
                              "sendBackUnicastCheck"};

QCheckBox* Box(QWidget* form, int n)
{
    return form->findChild<QCheckBox*>(QLatin1String(kBoxes[n]));
}

std::array<quint32*, 4> Members(CDeviceSession& s)
{
    return {&s.operIPFilter, &s.operForwarbBcast, &s.operSendBackBcast, &s.operSendBackUnicast};
}

} // namespace

class TestFiltering : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void switches_data();
    void switches();
    void labels();
    void cancelAndCloseBoxStoreNothing();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestFiltering::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestFiltering::init()
{
    FormFixture::ResetMessages();
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
}

void TestFiltering::cleanup()
{
    m_frame.reset();
    CMessageBox::clearNextAnswer();
}

void TestFiltering::switches_data()
{
    QTest::addColumn<QList<quint32>>("cached");
    QTest::addColumn<QList<bool>>("shown");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QList<quint32>>("stored");
    QTest::newRow("unchanged") << QList<quint32>{1, 2, 1, 2}
                               << QList<bool>{true, false, true, false} << QList<int>{}
                               << QList<quint32>{1, 2, 1, 2};
    QTest::newRow("all cleared stores 2 each")
        << QList<quint32>{1, 1, 1, 1} << QList<bool>{true, true, true, true}
        << QList<int>{0, 1, 2, 3} << QList<quint32>{2, 2, 2, 2};
    QTest::newRow("all checked stores 1 each")
        << QList<quint32>{2, 2, 2, 2} << QList<bool>{false, false, false, false}
        << QList<int>{0, 1, 2, 3} << QList<quint32>{1, 1, 1, 1};
    // A value that is neither 1 nor 2 shows clear and is stored as 2.
    QTest::newRow("other values") << QList<quint32>{0, 3, 7, 1}
                                  << QList<bool>{false, false, false, true} << QList<int>{2}
                                  << QList<quint32>{2, 2, 1, 1};
}

void TestFiltering::switches()
{
    QFETCH(QList<quint32>, cached);
    QFETCH(QList<bool>, shown);
    QFETCH(QList<int>, clicks);
    QFETCH(QList<quint32>, stored);
    CDeviceSession& s = m_frame->Session();
    const auto members = Members(s);
    for (int n = 0; n < 4; ++n)
        *members[n] = cached[n];
    auto* form = FormFixture::Open<CFiltering>(*m_frame, FormFiltering);
    QVERIFY(form);
    for (int n = 0; n < 4; ++n)
        QCOMPARE(Box(form, n)->isChecked(), shown[n]);
    for (int n : clicks)
        FormFixture::Click(Box(form, n));
    FormFixture::Click(form->findChild<QPushButton*>(QStringLiteral("okButton")));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormFiltering));
    for (int n = 0; n < 4; ++n)
        QCOMPARE(*members[n], stored[n]);
}

void TestFiltering::labels()
{
    auto* form = FormFixture::Open<CFiltering>(*m_frame, FormFiltering);
    QVERIFY(form);
    const QStringList texts{"IP Filtering", "Broadcast Forwarding", "Send Back Broadcast",
                            "Send Back Unicast"};
    for (int n = 0; n < 4; ++n)
        QCOMPARE(Box(form, n)->text(), texts[n]);
    QCOMPARE(m_frame->FormChild(FormFiltering)->windowTitle(),
             QStringLiteral(" Filtering Options"));
}

void TestFiltering::cancelAndCloseBoxStoreNothing()
{
    CDeviceSession& s = m_frame->Session();
    for (quint32* member : Members(s))
        *member = 1;
    for (bool closeBox : {false, true}) {
        auto* form = FormFixture::Open<CFiltering>(*m_frame, FormFiltering);
        QVERIFY(form);
        for (int n = 0; n < 4; ++n)
            FormFixture::Click(Box(form, n));
        if (closeBox)
            m_frame->FormChild(FormFiltering)->close();
        else
            FormFixture::Click(form->findChild<QPushButton*>(QStringLiteral("cancelButton")));
        QVERIFY(FormFixture::WaitClosed(*m_frame, FormFiltering));
        for (quint32* member : Members(s))
            QCOMPARE(*member, 1u);
    }
}

QTEST_MAIN(TestFiltering)
#include "tst_filtering.moc"
