#include "menus.h"

const QList<CMenuItem>& MenuTable()
{
    static const QList<CMenuItem> table = {
        // Menu 128: not connected.
        {InMenu128, 0, "&File", 0},
        {InMenu128, 1, "&Connect to Access Point\tCtrl+C", ID_CONNECT_AP},
        {InMenu128, 1, "&Find Access Point\tCtrl+F", ID_FIND_AP},
        {InMenu128, 1, "&Close Connection AP\tCtrl+L", ID_CLOSE_CONNECTION_GRAYED, true},
        {InMenu128, 1, "E&xit", ID_APP_EXIT, false, true},
        {InMenu128, 0, "&Help", 0},
        {InMenu128, 1, "Help &Topics..", ID_HELP_TOPICS},
        {InMenu128, 1, "&About Halvane...", ID_APP_ABOUT, false, true},

        // Menus 129 (extended) and 130 (standard): connected.
        {InConnected, 0, "&File", 0},
        {InConnected, 1, "&Connect to Access Point\tCtrl+C", ID_CONNECT_AP_GRAYED, true},
        {InConnected, 1, "&Find Access Point\tCtrl+F", ID_FIND_AP_GRAYED, true},
        {InConnected, 1, "&Close Connection AP\tCtrl+L", ID_CLOSE_CONNECTION},
        {InConnected, 1, "&Download Changes\tCtrl+D", ID_DOWNLOAD_CHANGES, false, true},
        {InConnected, 1, "&Refresh...\tCtrl+R", ID_REFRESH, false, true},
        {InConnected, 1, "&Options...", ID_OPTIONS, false, true},
        {InConnected, 1, "E&xit", ID_APP_EXIT, false, true},
        {InConnected, 0, "&Setup", 0},
        {InConnected, 1, "&Bridge", 0},
        {InConnected, 2, "&IP Configuration", ID_BRIDGE_IP_CONFIGURATION},
        {InConnected, 2, "&Filtering", ID_FILTERING},
        {InConnected, 1, "&Wireless LAN", 0},
        {InConnected, 2, "P&rivacy Options", ID_PRIVACY_OPTIONS},
        {InConnected, 2, "&Operational Settings", ID_OPERATIONAL_SETTINGS},
        {InConnected, 2, "&Authorized Mac Addresses", ID_AUTHORIZED_MACS},
        {InMenu129, 1, "&Hardware", 0},
        {InMenu129, 2, "&Configuration", ID_HARDWARE_CONFIGURATION},
        {InConnected, 1, "&Enable SNMP Traps", ID_TRAP_SWITCH, false, true, nullptr, true},
        {InConnected, 1, "&Authorization", ID_AUTHORIZATION},
        {InConnected, 0, "&Commands", 0},
        {InConnected, 1, "&Reset Device", ID_RESET_DEVICE, false, false, "&Reset Access Point"},
        {InConnected, 1, "Re&store Defaults", ID_RESTORE_DEFAULTS},
        {InConnected, 0, "&Info", 0},
        {InConnected, 1, "&Wireless Statistics", ID_WIRELESS_STATISTICS},
        {InConnected, 1, "&Ethernet Statistics", ID_ETHERNET_STATISTICS},
        {InConnected, 0, "&Traps", 0},
        {InConnected, 1, "&View Record", ID_VIEW_TRAP_RECORD},
        {InConnected, 0, "&Radio", 0, false, false, "Radio"},
        {InConnected, 1, "&Configuration", ID_RADIO_CONFIGURATION, false, false, "&Power Regulator"},
        {InMenu129, 1, "&Tests", ID_RADIO_TESTS},
        {InConnected, 0, "Network", 0},
        {InConnected, 1, "Associated Stations", ID_ASSOCIATED_STATIONS},
        {InConnected, 1, "Known BSSs", ID_KNOWN_BSSS, false, false, "KnownBSSs"},
        {InConnected, 0, "&Window", 0},
        {InConnected, 1, "&Cascade", ID_WINDOW_CASCADE},
        {InConnected, 1, "&Tile", ID_WINDOW_TILE},
        {InConnected, 0, "&Help", 0},
        {InConnected, 1, "Help Topics..", ID_HELP_TOPICS},
        {InConnected, 1, "&About Halvane...", ID_APP_ABOUT, false, true},
    };
    return table;
}

QList<CMenuItem> MenuItems(int menuId)
{
    const int bit = menuId == 128 ? InMenu128 : menuId == 129 ? InMenu129 : InMenu130;
    QList<CMenuItem> items;
    for (CMenuItem item : MenuTable()) {
        if (!(item.menus & bit))
            continue;
        if (bit == InMenu130 && item.text130)
            item.text = item.text130;
        items.append(item);
    }
    return items;
}

const QList<CAccelerator>& Accelerators()
{
    static const QList<CAccelerator> accelerators = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_CONNECT_AP},
        {QKeySequence(Qt::CTRL | Qt::Key_F), ID_FIND_AP},
        {QKeySequence(Qt::CTRL | Qt::Key_L), ID_CLOSE_CONNECTION},
        {QKeySequence(Qt::CTRL | Qt::Key_D), ID_DOWNLOAD_CHANGES},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), ID_DEBUG_MODE},
    };
    return accelerators;
}
