// The bridge IP configuration form: the access point's Ethernet MAC address,
// IP address, mask and gateway, DHCP, primary port and configuration port.
// It edits the main window's cache only.
#pragma once

#include "fitted_form_view.h"

#include <memory>
#include <optional>

class QButtonGroup;

namespace Ui
{
class CBridgeIPConfiguration;
}

namespace BridgeIPConfiguration
{

extern const char* const kMacMask;
// The two configuration port boxes of a cached operConfigurationPort:
// 1 Ethernet only, 2 wireless only, anything else (0 means both) both.
struct ConfigurationPorts {
    bool ethernet = true;
    bool wireless = true;
};
ConfigurationPorts PortsOf(quint32 configurationPort);
// The value to store; nothing when neither box is checked.
std::optional<quint32> ConfigurationPortOf(const ConfigurationPorts& ports);

} // namespace BridgeIPConfiguration

class CBridgeIPConfiguration : public CFittedFormView
{
    Q_OBJECT

public:
    enum { PrimaryEthernet = 0, PrimaryWireless = 1 };

    CBridgeIPConfiguration(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CBridgeIPConfiguration() override;

    void Populate() override;
    // Stores every value and closes; without a configuration port it says
    // so and keeps the cached port, the rest is stored all the same.
    void OnOk();
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::CBridgeIPConfiguration> m_ui;
    QButtonGroup* m_primaryGroup = nullptr;
};
