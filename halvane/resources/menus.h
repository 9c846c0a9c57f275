// The menus of halvane as tables: one row per item, in display order.
#pragma once

#include <QList>

struct CMenuItem {
    int depth;              // 0: popup of the menu bar, 1: item or sub-popup, 2: item of a sub-popup
    const char* text;       // with "&" mnemonics and "\t" shortcut texts
    int command;            // 0 for a popup
    bool grayed = false;
    bool separatorBefore = false;
};

// Menu 128: shown while not connected.
const QList<CMenuItem>& NotConnectedMenu();

// Command numbers of the menus and of the form close commands.
enum CommandId {
    ID_CONNECT_AP = 32771,
    ID_FIND_AP = 32797,
    ID_CLOSE_CONNECTION_128 = 32789,
    ID_APP_EXIT = 57665,
    ID_HELP_TOPICS = 32794,
    ID_APP_ABOUT = 57664,
    ID_GET_CONFIGURATION = 34453,
    ID_REFRESH = 32813,
    ID_DEBUG_MODE = 32801,
};
