// Which class stands behind each form of the registry.
#include "associated_stations.h"
#include "bridge_ip_configuration.h"
#include "bridge_operational_mode.h"
#include "ethernet_statistics.h"
#include "filtering.h"
#include "form_registry.h"
#include "form_view.h"
#include "hardware_configuration.h"
#include "known_bsss.h"
#include "radio_configuration.h"
#include "trap_log.h"
#include "wireless_operational_settings.h"
#include "wireless_privacy_options.h"
#include "wireless_statistics.h"

CFormView* CreateFormView(int index, CMainFrame* mainFrame)
{
    const CFormDescription& form = FormTable()[index];
    switch (index) {
    case FormTrapLog:
        return new CTrapLog(mainFrame, form.closeCommand);
    case FormWirelessStatistics:
        return new CWirelessStatistics(mainFrame, form.closeCommand);
    case FormBridgeIPConfiguration:
        return new CBridgeIPConfiguration(mainFrame, form.closeCommand);
    case FormEthernetStatistics:
        return new CEthernetStatistics(mainFrame, form.closeCommand);
    case FormWirelessOperationalSettings:
        return new CWireLessOperationalSettings(mainFrame, form.closeCommand);
    case FormPrivacyOptions:
        return new CWireLessPrivacyOptions(mainFrame, form.closeCommand);
    case FormAssociatedStations:
        return new CAssociatedStations(mainFrame, form.closeCommand);
    case FormFiltering:
        return new CFiltering(mainFrame, form.closeCommand);
    case FormBridgeOperationalMode:
        return new CBridgeOperationalMode(mainFrame, form.closeCommand);
    case FormKnownBSSs:
        return new CKnownBSSs(mainFrame, form.closeCommand);
    case FormHardwareConfiguration:
        return new CHardwareConfiguration(mainFrame, form.closeCommand);
    case FormRadioConfiguration:
        return new CRadioConfiguration(mainFrame, form.closeCommand);
    default:
        return new CPlaceholderForm(mainFrame, form.closeCommand,
                                    QString::fromLatin1(form.title));
    }
}
