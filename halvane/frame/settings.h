// Settings of halvane: "Halvane.ini" (AppMode, AppView) and the per-user
// profile value "IPsettings". Both are INI files under the XDG configuration
// directory.
#pragma once

#include <QString>

struct CHalvaneSettings {
    bool m_extendedMenus = false;
    bool m_appView = false;

    // Reads "AppMode" and "AppView" from section "Halvane" of "Halvane.ini":
    // at most 2 characters, "0" when missing; anything but "0" switches on.
    static CHalvaneSettings Read();
    // The last access point address typed in the Connect dialog.
    static QString ReadIpSettings();
    static void WriteIpSettings(const QString& address);
};
