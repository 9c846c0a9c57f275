// The menus of halvane as one table: one row per item, in display order,
// with the menus each row belongs to.
#pragma once

#include <QKeySequence>
#include <QList>

// Command numbers of the menus, the accelerators and the form close commands.
enum CommandId {
    ID_CONNECT_AP = 32771,
    ID_FIND_AP = 32797,
    ID_CLOSE_CONNECTION_GRAYED = 32789,
    ID_CONNECT_AP_GRAYED = 32790,
    ID_FIND_AP_GRAYED = 32799,
    ID_CLOSE_CONNECTION = 32774,
    ID_DOWNLOAD_CHANGES = 32772,
    ID_REFRESH = 32813,
    ID_OPTIONS = 32773,
    ID_APP_EXIT = 57665,
    ID_BRIDGE_IP_CONFIGURATION = 32776,
    ID_BRIDGE_OPERATIONAL_MODE = 32777,
    ID_FILTERING = 32805,
    ID_PRIVACY_OPTIONS = 32779,
    ID_OPERATIONAL_SETTINGS = 32780,
    ID_AUTHORIZED_MACS = 32809,
    ID_HARDWARE_CONFIGURATION = 32804,
    ID_TRAP_SWITCH = 32782,
    ID_AUTHORIZATION = 32807,
    ID_RESET_DEVICE = 32783,
    ID_RESTORE_DEFAULTS = 32784,
    ID_WIRELESS_STATISTICS = 32785,
    ID_ETHERNET_STATISTICS = 32786,
    ID_VIEW_TRAP_RECORD = 32787,
    ID_RADIO_CONFIGURATION = 32791,
    ID_RADIO_TESTS = 32796,
    ID_ASSOCIATED_STATIONS = 32800,
    ID_KNOWN_BSSS = 32817,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_HELP_TOPICS = 32794,
    ID_APP_ABOUT = 57664,
    ID_DEBUG_MODE = 32801,
    ID_GET_CONFIGURATION = 34453,
};

// Which menus a row appears in.
enum MenuSet { InMenu128 = 1, InMenu129 = 2, InMenu130 = 4, InConnected = InMenu129 | InMenu130 };

struct CMenuItem {
    int menus;              // MenuSet bits
    int depth;              // 0: popup of the menu bar, 1: item or sub-popup, 2: item of a sub-popup
    const char* text;       // with "&" mnemonics and "\t" shortcut texts
    int command;            // 0 for a popup
    bool grayed = false;
    bool separatorBefore = false;
    const char* text130 = nullptr;   // the text in menu 130 where it differs
    bool checkable = false;
};

// All rows of menus 128, 129 and 130.
const QList<CMenuItem>& MenuTable();
// The rows of one menu (128, 129 or 130), with that menu's texts.
QList<CMenuItem> MenuItems(int menuId);

struct CAccelerator {
    QKeySequence keys;
    int command;
};
// Active in every menu state.
const QList<CAccelerator>& Accelerators();
