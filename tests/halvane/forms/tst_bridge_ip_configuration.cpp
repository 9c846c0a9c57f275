// The bridge IP configuration form on a prepared cache: the MAC field, the
// three address fields, DHCP, the primary port and the configuration port
// rule with its message.
#include "bridge_ip_configuration.h"
#include "form_fixture.h"
#include "ip_address_edit.h"
#include "masked_edit.h"

#include <QLineEdit>
#include <QPushButton>

using namespace BridgeIPConfiguration;

namespace
{

using Ip = CDeviceSession::IpBytes;

void PrepareCache(CDeviceSession& s)
{
    s.operEthernetAddress = QStringLiteral("000A1B2C3D4E");
    s.operIPAddress = Ip{192, 168, 10, 254};
    s.operIPMask = Ip{255, 255, 255, 0};
    s.operGateway = Ip{192, 168, 10, 1};
    s.operDHCP = 2;
    s.operPrimaryPort = 1;
    s.operConfigurationPort = 0;
}

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

} // namespace

class TestBridgeIPConfiguration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void configurationPortRule_data();
    void configurationPortRule();
    void portsThroughTheForm_data();
    void portsThroughTheForm();
    void neitherConfigurationPort();
    void addressesAndMac();
    void cancelAndCloseBoxStoreNothing();

private:
    CBridgeIPConfiguration* OpenForm();

    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestBridgeIPConfiguration::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestBridgeIPConfiguration::init()
{
    FormFixture::ResetMessages();
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    PrepareCache(m_frame->Session());
}

void TestBridgeIPConfiguration::cleanup()
{
    m_frame.reset();
    CMessageBox::clearNextAnswer();
}

CBridgeIPConfiguration* TestBridgeIPConfiguration::OpenForm()
{
    return FormFixture::Open<CBridgeIPConfiguration>(*m_frame, FormBridgeIPConfiguration);
}

void TestBridgeIPConfiguration::configurationPortRule_data()
{
    QTest::addColumn<bool>("ethernet");
    QTest::addColumn<bool>("wireless");
    QTest::addColumn<int>("stored"); // -1: nothing
    QTest::newRow("Ethernet only") << true << false << 1;
    QTest::newRow("Wireless only") << false << true << 2;
    QTest::newRow("both") << true << true << 0;
    QTest::newRow("neither") << false << false << -1;
}

void TestBridgeIPConfiguration::configurationPortRule()
{
    QFETCH(bool, ethernet);
    QFETCH(bool, wireless);
    QFETCH(int, stored);
    const std::optional<quint32> port = ConfigurationPortOf({ethernet, wireless});
    QCOMPARE(port.has_value(), stored >= 0);
    if (port)
        QCOMPARE(int(*port), stored);
}

void TestBridgeIPConfiguration::portsThroughTheForm_data()
{
    QTest::addColumn<quint32>("configurationPort");
    QTest::addColumn<quint32>("primaryPort");
    QTest::addColumn<quint32>("dhcp");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("ethernetShown");
    QTest::addColumn<bool>("wirelessShown");
    QTest::addColumn<bool>("primaryEthernetShown");
    QTest::addColumn<bool>("dhcpShown");
    QTest::addColumn<quint32>("configurationStored");
    QTest::addColumn<quint32>("primaryStored");
    QTest::addColumn<quint32>("dhcpStored");
    QTest::newRow("port 0 unchanged")
        << 0u << 1u << 2u << QStringList{} << true << true << true << false << 0u << 1u << 2u;
    QTest::newRow("port 3 shows both, stores 0")
        << 3u << 1u << 2u << QStringList{} << true << true << true << false << 0u << 1u << 2u;
    QTest::newRow("port 1") << 1u << 2u << 1u << QStringList{} << true << false << false << true
                            << 1u << 2u << 1u;
    QTest::newRow("port 2") << 2u << 1u << 2u << QStringList{} << false << true << true << false
                            << 2u << 1u << 2u;
    QTest::newRow("primary port 0 shows Wireless, stores 2")
        << 0u << 0u << 2u << QStringList{} << true << true << false << false << 0u << 2u << 2u;
    QTest::newRow("DHCP checked stores 1") << 0u << 1u << 2u << QStringList{"dhcpCheck"} << true
                                           << true << true << false << 0u << 1u << 1u;
    QTest::newRow("Wireless cleared, primary Wireless")
        << 0u << 1u << 1u << QStringList{"configWirelessCheck", "primaryWirelessRadio", "dhcpCheck"}
        << true << true << true << true << 1u << 2u << 2u;
    QTest::newRow("Ethernet cleared")
        << 1u << 1u << 2u << QStringList{"configWirelessCheck", "configEthernetCheck"} << true
        << false << true << false << 2u << 1u << 2u;
}

void TestBridgeIPConfiguration::portsThroughTheForm()
{
    QFETCH(quint32, configurationPort);
    QFETCH(quint32, primaryPort);
    QFETCH(quint32, dhcp);
    QFETCH(QStringList, clicks);
    QFETCH(bool, ethernetShown);
    QFETCH(bool, wirelessShown);
    QFETCH(bool, primaryEthernetShown);
    QFETCH(bool, dhcpShown);
    QFETCH(quint32, configurationStored);
    QFETCH(quint32, primaryStored);
    QFETCH(quint32, dhcpStored);
    CDeviceSession& s = m_frame->Session();
    s.operConfigurationPort = configurationPort;
    s.operPrimaryPort = primaryPort;
    s.operDHCP = dhcp;
    CBridgeIPConfiguration* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(Child<QCheckBox>(form, "configEthernetCheck")->isChecked(), ethernetShown);
    QCOMPARE(Child<QCheckBox>(form, "configWirelessCheck")->isChecked(), wirelessShown);
    QCOMPARE(Child<QRadioButton>(form, "primaryEthernetRadio")->isChecked(), primaryEthernetShown);
    QCOMPARE(Child<QRadioButton>(form, "primaryWirelessRadio")->isChecked(), !primaryEthernetShown);
    QCOMPARE(Child<QCheckBox>(form, "dhcpCheck")->isChecked(), dhcpShown);
    for (const QString& name : clicks)
        FormFixture::Click(Child<QAbstractButton>(form, name.toLatin1().constData()));
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeIPConfiguration));
    QCOMPARE(s.operConfigurationPort, configurationStored);
    QCOMPARE(s.operPrimaryPort, primaryStored);
    QCOMPARE(s.operDHCP, dhcpStored);
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestBridgeIPConfiguration::neitherConfigurationPort()
{
    CDeviceSession& s = m_frame->Session();
    s.operConfigurationPort = 2;
    CBridgeIPConfiguration* form = OpenForm();
    QVERIFY(form);
    FormFixture::Click(Child<QCheckBox>(form, "configWirelessCheck"));
    FormFixture::Click(Child<QCheckBox>(form, "dhcpCheck"));
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("You need to specify the Configuration Port!")});
    // The form closes all the same; the other values are stored.
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeIPConfiguration));
    QCOMPARE(s.operConfigurationPort, 2u);
    QCOMPARE(s.operDHCP, 1u);
}

void TestBridgeIPConfiguration::addressesAndMac()
{
    CDeviceSession& s = m_frame->Session();
    CBridgeIPConfiguration* form = OpenForm();
    QVERIFY(form);
    auto* mac = Child<CMSMask>(form, "macEdit");
    auto* ip = Child<CIPAddressEdit>(form, "ipAddressEdit");
    auto* mask = Child<CIPAddressEdit>(form, "ipMaskEdit");
    auto* gateway = Child<CIPAddressEdit>(form, "gatewayEdit");
    QCOMPARE(mac->displayText(), QStringLiteral("00 0A 1B 2C 3D 4E"));
    QCOMPARE(ip->DottedText(), QStringLiteral("192.168.10.254"));
    QCOMPARE(ip->FieldEdit(0)->text(), QStringLiteral("192"));
    QCOMPARE(mask->DottedText(), QStringLiteral("255.255.255.0"));
    QCOMPARE(gateway->DottedText(), QStringLiteral("192.168.10.1"));

    // Type a new address into the first field set, clear the gateway, and
    // type a MAC address (stored as typed, capitals, no blanks).
    ip->FieldEdit(0)->setFocus();
    ip->FieldEdit(0)->selectAll();
    QTest::keyClicks(ip->FieldEdit(0), QStringLiteral("10"));
    QTest::keyClick(ip->FieldEdit(0), Qt::Key_Period);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
    QCOMPARE(ip->DottedText(), QStringLiteral("10.0.0.2"));
    gateway->ClearAddress();
    mask->FieldEdit(3)->clear(); // an empty field reads as 0
    mask->FieldEdit(2)->clear();
    mac->setFocus();
    mac->selectAll();
    QTest::keyClick(mac, Qt::Key_Delete);
    mac->setCursorPosition(0);
    QTest::keyClicks(mac, QStringLiteral("00a0f8123456"));
    FormFixture::Click(Child<QPushButton>(form, "okButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeIPConfiguration));
    QCOMPARE(s.operIPAddress, (Ip{10, 0, 0, 2}));
    QCOMPARE(s.operIPMask, (Ip{255, 255, 0, 0}));
    QCOMPARE(s.operGateway, (Ip{0, 0, 0, 0}));
    QCOMPARE(s.operEthernetAddress, QStringLiteral("00A0F8123456"));
}

void TestBridgeIPConfiguration::cancelAndCloseBoxStoreNothing()
{
    CDeviceSession& s = m_frame->Session();
    for (bool closeBox : {false, true}) {
        CBridgeIPConfiguration* form = OpenForm();
        QVERIFY(form);
        Child<CIPAddressEdit>(form, "ipAddressEdit")->SetAddress(1, 2, 3, 4);
        FormFixture::Click(Child<QCheckBox>(form, "configWirelessCheck"));
        FormFixture::Click(Child<QCheckBox>(form, "dhcpCheck"));
        if (closeBox)
            m_frame->FormChild(FormBridgeIPConfiguration)->close();
        else
            FormFixture::Click(Child<QPushButton>(form, "cancelButton"));
        QVERIFY(FormFixture::WaitClosed(*m_frame, FormBridgeIPConfiguration));
        QCOMPARE(s.operIPAddress, (Ip{192, 168, 10, 254}));
        QCOMPARE(s.operConfigurationPort, 0u);
        QCOMPARE(s.operDHCP, 2u);
    }
}

QTEST_MAIN(TestBridgeIPConfiguration)
#include "tst_bridge_ip_configuration.moc"
