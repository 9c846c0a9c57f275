// What the device session needs from the user interface, so that the
// session itself never touches a widget. The main window implements it;
// tests implement it to see every text and icon.
#pragma once

#include <QString>

class CSessionUi
{
public:
    virtual ~CSessionUi() = default;
    // A plain message box with an OK button (the diagnostic texts, and the
    // component error of the trap switch read).
    virtual void ShowPlainMessage(const QString& text) = 0;
    // A message box with the stop icon (refusals, refused communities).
    virtual void ShowStopMessage(const QString& text) = 0;
    // Text for pane 0 of the status bar, repainted at once.
    virtual void SetStatusText(const QString& text) = 0;
    // The wait cursor around the system commands (on, then off again).
    virtual void SetWaitCursor(bool on) { (void)on; }
};
