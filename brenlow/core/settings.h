// The one start-up setting, AppMode, from "Brenlow.ini".
#pragma once

#include <QString>

// Brenlow.ini in the user's configuration directory ($XDG_CONFIG_HOME, normally ~/.config).
QString brenlowIniPath();

// 1 when section "Brenlow", key "AppMode" holds exactly "1" (of at most two characters
// read), otherwise 0; also 0 when the file is missing. The file is never written.
int readAppMode(const QString& iniPath);
