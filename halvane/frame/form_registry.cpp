#include "form_registry.h"

const std::array<CFormDescription, FormCount>& FormTable()
{
    static const std::array<CFormDescription, FormCount> table = {{
        {"CWirelessStatistics", 32785, " WireLess Statistics", 34445, RefreshThenPopulate, true},
        {"CBridgeIPConfiguration", 32776, " Bridge IP Configuration", 34446, PopulateOnly, false},
        {"CBridgeOperationalMode", 32777, " Bridge Operational Mode", 34447, PopulateOnly, false},
        {"CEthernetStatistics", 32786, " Ethernet Statistics", 34448, RefreshThenPopulate, true},
        {"CWireLessOperationalSettings", 32780, " WireLess Operational Settings", 34449,
         PopulateOnly, false},
        {"CWireLessPrivacyOptions", 32779, " Privacy Options", 34451, PopulateOnly, false},
        {"CTrapLog", 32787, " Trap Recorder", 34452, RefreshOnly, true},
        {"CRadioConfiguration", 32791, " Power Regulator", 34454, PopulateOnly, false},
        {"CAssociatedStations", 32800, " Associated Stations", 34456, PopulateThenRefresh, true},
        {"CKnownBSSs", 32817, " Known BSSs", 34459, ClearBusyThenPopulate, true},
        {"CHardwareConfiguration", 32804, " Hardware Configuration", 34457, PopulateOnly, false},
        {"CFiltering", 32805, " Filtering Options", 34458, PopulateOnly, false},
    }};
    return table;
}

int FormOfOpenCommand(int command)
{
    for (int i = 0; i < FormCount; ++i) {
        if (FormTable()[i].openCommand == command)
            return i;
    }
    return -1;
}

int FormOfCloseCommand(int command)
{
    for (int i = 0; i < FormCount; ++i) {
        if (FormTable()[i].closeCommand == command)
            return i;
    }
    return -1;
}
