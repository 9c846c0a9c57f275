// " Bridge Operational Mode": the older form with three modes and the
// remote MAC address; edits the main window's cache only.
#pragma once

#include "fitted_form_view.h"

#include <memory>

namespace Ui
{
class CBridgeOperationalMode;
}

class CBridgeOperationalMode : public CFittedFormView
{
    Q_OBJECT

public:
    // Radios "Building to Building", "Wireless Bridge", "Access Point".
    enum Choice { NoChoice = -1, BuildingToBuilding = 0, WirelessBridge, AccessPoint };

    // The radio for a cached mode (modes 4 and 5 have none).
    static int ChoiceOfMode(quint32 mode);
    // OK: the cached mode and MAC for a choice and the field's text. Returns
    // an error text (the address is not 12 hexadecimal digits) and changes
    // nothing then.
    static QString ApplyOk(int choice, const QString& fieldText, quint32& mode, QString& mac);

    CBridgeOperationalMode(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CBridgeOperationalMode() override;

    void Populate() override;
    void OnOk();
    int Choice() const;
    QString MacText() const;

private:
    void UpdateWidgets();

    std::unique_ptr<Ui::CBridgeOperationalMode> m_ui;
};
