// brenlow's main window: the firmware version probe, "Configuration", "Reset AP",
// "Restore Defaults" and the status line. It owns the program's DeviceLink.
#pragma once

#include "device_link.h"

#include <QDialog>

#include <memory>

namespace Ui
{
class MainDialog;
}

class MainDialog : public QDialog
{
    Q_OBJECT
public:
    MainDialog(const QString& devicePath, int appMode, QWidget* parent = nullptr);
    ~MainDialog() override;

    // The end of the window's initialisation: reads group 3 once for the firmware version.
    void runVersionProbe();

    // The commands of the three buttons.
    void openConfiguration();
    void resetAp();
    void restoreDefaults();

    DeviceLink& link() { return m_link; }
    int appMode() const { return m_appMode; }

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool openLink();
    void runCommand(bool (DeviceLink::*command)(), const char* failure, const char* success);

    std::unique_ptr<Ui::MainDialog> m_ui;
    DeviceLink m_link;
    const int m_appMode;
};

// The program's icon, drawn rather than loaded so that it needs no file.
QIcon brenlowIcon();
