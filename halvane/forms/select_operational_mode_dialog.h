// " Select Operational Mode": the mode in which the access point joins the
// BSS chosen in the known BSSs form. OK writes the mode into the cache.
#pragma once

#include <QDialog>
#include <memory>

class CMainFrame;
namespace Ui
{
class CSelectOperationalModeDialog;
}

class CSelectOperationalModeDialog : public QDialog
{
    Q_OBJECT

public:
    // Mode radios "Access Point Client", "Wireless Bridge", "Wireless
    // Repeater" (0 to 2); bridge kinds "Point to Point", "Point to
    // MultiPoint" (0, 1).
    static quint32 ModeOf(int modeIndex, int kindIndex);

    CSelectOperationalModeDialog(CMainFrame* mainFrame, QWidget* parent = nullptr);
    ~CSelectOperationalModeDialog() override;

    int ModeIndex() const;
    int KindIndex() const;
    void accept() override;

private:
    void UpdateWidgets();

    std::unique_ptr<Ui::CSelectOperationalModeDialog> m_ui;
    CMainFrame* m_mainFrame;
};
