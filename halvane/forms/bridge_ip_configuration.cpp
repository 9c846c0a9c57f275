#include "bridge_ip_configuration.h"

#include "form_exchange.h"
#include "ip_address_edit.h"
#include "main_frame.h"
#include "masked_edit.h"
#include "message_box.h"
#include "ui_bridge_ip_configuration.h"

#include <QButtonGroup>
#include <QKeyEvent>

namespace BridgeIPConfiguration
{

const char* const kMacMask = ">AA AA AA AA AA AA";

ConfigurationPorts PortsOf(quint32 configurationPort)
{
    switch (configurationPort) {
    case 1:
        return {true, false};
    case 2:
        return {false, true};
    default:
        return {true, true};
    }
}

std::optional<quint32> ConfigurationPortOf(const ConfigurationPorts& ports)
{
    if (ports.ethernet && ports.wireless)
        return 0;
    if (ports.ethernet)
        return 1;
    if (ports.wireless)
        return 2;
    return std::nullopt;
}

} // namespace BridgeIPConfiguration

using namespace BridgeIPConfiguration;

namespace
{

QByteArray BytesOf(const CDeviceSession::IpBytes& octets)
{
    return CDeviceSession::BlockBytes(octets);
}

CDeviceSession::IpBytes OctetsOf(const QByteArray& bytes)
{
    CDeviceSession::IpBytes octets{};
    CDeviceSession::CopyIntoBlock(octets, bytes);
    return octets;
}

} // namespace

CBridgeIPConfiguration::CBridgeIPConfiguration(CMainFrame* mainFrame, int closeCommand,
                                               QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CBridgeIPConfiguration>())
{
    m_ui->setupUi(this);
    m_ui->macEdit->SetPromptChar(QLatin1Char('_'));
    m_ui->macEdit->SetMask(QLatin1String(kMacMask));
    m_ui->macEdit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("WW ")) * 6 + 12);
    m_primaryGroup = new QButtonGroup(this);
    m_primaryGroup->addButton(m_ui->primaryEthernetRadio, PrimaryEthernet);
    m_primaryGroup->addButton(m_ui->primaryWirelessRadio, PrimaryWireless);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CBridgeIPConfiguration::OnOk);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CBridgeIPConfiguration::OnCancel);
}

CBridgeIPConfiguration::~CBridgeIPConfiguration() = default;

void CBridgeIPConfiguration::Populate()
{
    const CDeviceSession& s = m_mainFrame->Session();
    m_ui->macEdit->SetText(s.operEthernetAddress);
    m_ui->ipAddressEdit->SetAddress(BytesOf(s.operIPAddress));
    m_ui->ipMaskEdit->SetAddress(BytesOf(s.operIPMask));
    m_ui->gatewayEdit->SetAddress(BytesOf(s.operGateway));
    m_ui->dhcpCheck->setChecked(FormExchange::IsOn(s.operDHCP));
    FormExchange::SetRadioIndex(m_primaryGroup,
                                s.operPrimaryPort == 1 ? PrimaryEthernet : PrimaryWireless);
    const ConfigurationPorts ports = PortsOf(s.operConfigurationPort);
    m_ui->configEthernetCheck->setChecked(ports.ethernet);
    m_ui->configWirelessCheck->setChecked(ports.wireless);
}

void CBridgeIPConfiguration::OnOk()
{
    CDeviceSession& s = m_mainFrame->Session();
    s.operEthernetAddress = m_ui->macEdit->Text();
    s.operIPAddress = OctetsOf(m_ui->ipAddressEdit->Address());
    s.operIPMask = OctetsOf(m_ui->ipMaskEdit->Address());
    s.operGateway = OctetsOf(m_ui->gatewayEdit->Address());
    s.operDHCP = FormExchange::OnOff(m_ui->dhcpCheck->isChecked());
    s.operPrimaryPort = FormExchange::RadioIndex(m_primaryGroup) == PrimaryEthernet ? 1 : 2;
    const std::optional<quint32> port = ConfigurationPortOf(
        {m_ui->configEthernetCheck->isChecked(), m_ui->configWirelessCheck->isChecked()});
    if (port)
        s.operConfigurationPort = *port;
    else
        CMessageBox::Show(this, CMessageBox::Plain,
                          QStringLiteral("You need to specify the Configuration Port!"));
    CloseForm();
}

void CBridgeIPConfiguration::OnCancel()
{
    CloseForm();
}

void CBridgeIPConfiguration::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
