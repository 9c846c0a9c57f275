#include "menus.h"

const QList<CMenuItem>& NotConnectedMenu()
{
    static const QList<CMenuItem> menu = {
        {0, "&File", 0},
        {1, "&Connect to Access Point\tCtrl+C", ID_CONNECT_AP},
        {1, "&Find Access Point\tCtrl+F", ID_FIND_AP},
        {1, "&Close Connection AP\tCtrl+L", ID_CLOSE_CONNECTION_128, true},
        {1, "E&xit", ID_APP_EXIT, false, true},
        {0, "&Help", 0},
        {1, "Help &Topics..", ID_HELP_TOPICS},
        {1, "&About Halvane...", ID_APP_ABOUT, false, true},
    };
    return menu;
}
