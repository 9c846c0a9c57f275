// The main window of halvane: the MDI area for the forms, the menus, the
// three-pane status bar, and the SNMP objects, the device session and the
// trap recorder it owns for the whole run.
#pragma once

#include "discovery.h"
#include "menus.h"
#include "session.h"
#include "settings.h"
#include "snmp_manager.h"
#include "snmp_mib.h"
#include "trap_recorder.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QMdiArea;
class QMenu;

struct CHalvaneOptions {
    quint16 agentPort = 161;
    quint16 trapPort = 162;
    QString broadcast = QStringLiteral("255.255.255.255");
    QString mibFile = QStringLiteral("QX9304.mib");
};

class CMainFrame : public QMainWindow, public CSessionUi
{
    Q_OBJECT

public:
    CMainFrame(const CHalvaneSettings& settings, const CHalvaneOptions& options,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The creation handler: components, trap recorder, status bar, initial
    // values, opening of the main manager, MIB. Returns 0, or -1 when the
    // window must not come up (its message has been shown).
    int OnCreate();

    CDeviceSession& Session() { return *m_session; }
    CTrapRecorder& TrapRecorder() { return *m_trapRecorder; }
    CDiscovery& Discovery() { return *m_discovery; }
    const CHalvaneOptions& Options() const { return m_options; }
    const CHalvaneSettings& Settings() const { return m_settings; }

    // Status bar panes.
    QString StatusText(int pane) const;
    bool PaneVisible(int pane) const;
    void ShowAgentPane(const QString& address);
    void HideAgentPane();
    void ShowTrapPane(int trapCount);
    void HideTrapPane();

    // Runs a menu command by its number.
    void OnCommand(int command);
    // The menu currently shown (128, 129 or 130).
    int CurrentMenu() const { return m_currentMenu; }

    // CSessionUi
    void ShowPlainMessage(const QString& text) override;
    void ShowStopMessage(const QString& text) override;
    void SetStatusText(const QString& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu(const QList<CMenuItem>& items, int menuId);
    void AddAccelerators();
    // The main manager's response event: discovery first, then the session.
    void OnResponse();
    void OnAccessPointFound(const QString& sysDescr);
    void OnScanSucceeded();
    void OnAccessPointNotFound();
    void OnConnectCommand();
    void OnFindCommand();
    void OnGetConfiguration();
    void RepaintStatusBar();
    void ShowListenFailure(const QString& text, int errorNumber, const QString& reason,
                           quint16 port, const char* option);

    CHalvaneSettings m_settings;
    CHalvaneOptions m_options;
    SnmpManager* m_manager = nullptr;
    std::unique_ptr<SnmpMib> m_mib;
    CDeviceSession* m_session = nullptr;
    CTrapRecorder* m_trapRecorder = nullptr;
    CDiscovery* m_discovery = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    QLabel* m_panes[3] = {nullptr, nullptr, nullptr};
    int m_currentMenu = 0;
};
