// The main window of halvane: the MDI area for the forms, the menus, the
// three-pane status bar, and the SNMP objects, the device session, the
// discovery, the configuration transfer and the trap recorder it owns for
// the whole run.
#pragma once

#include "config_transfer.h"
#include "discovery.h"
#include "form_registry.h"
#include "menus.h"
#include "session.h"
#include "settings.h"
#include "snmp_manager.h"
#include "snmp_mib.h"
#include "trap_recorder.h"

#include <QMainWindow>
#include <array>
#include <memory>

class CChildFrame;
class CFormView;
class QLabel;
class QMdiArea;

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
    CConfigTransfer& Transfer() { return *m_transfer; }
    const CHalvaneOptions& Options() const { return m_options; }
    const CHalvaneSettings& Settings() const { return m_settings; }

    // Status bar panes.
    QString StatusText(int pane) const;
    bool PaneVisible(int pane) const;
    void ShowAgentPane(const QString& address);
    void HideAgentPane();
    void ShowTrapPane(int trapCount);
    void HideTrapPane();

    // Runs a menu, accelerator or form command by its number.
    void OnCommand(int command);
    // The menu currently shown (128, 129 or 130) and its actions.
    int CurrentMenu() const { return m_currentMenu; }
    QAction* MenuAction(int command) const;
    int ConnectedMenu() const { return m_settings.m_extendedMenus ? 129 : 130; }

    // Form registry.
    bool FormOpen(int index) const { return m_formOpen[index]; }
    CFormView* FormView(int index) const { return m_formView[index]; }
    CChildFrame* FormChild(int index) const { return m_formChild[index]; }
    // Order in which forms were closed, for Close Connection's registry order.
    QList<int> ClosedFormsLog() const { return m_closedForms; }

    // CSessionUi
    void ShowPlainMessage(const QString& text) override;
    void ShowStopMessage(const QString& text) override;
    void SetStatusText(const QString& text) override;
    void SetWaitCursor(bool on) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SwitchMenu(int menuId);
    void UpdateTrapCheck();
    void AddAccelerators();
    static int PaneWidth(const QLabel* pane, int designWidth);
    void RepaintStatusBar();
    void ShowListenFailure(const QString& text, int errorNumber, const QString& reason,
                           quint16 port, const char* option);

    // The main manager's response event: discovery first, then the session.
    void OnResponse();
    void OnAccessPointFound(const QString& sysDescr);
    void OnScanSucceeded();
    void OnAccessPointNotFound();
    void OnTrapLogged(int trapCount, const QString& text);
    void OnPollSucceeded();

    void OnConnect();
    void OnGetConfiguration();
    void OnDownloadChanges();
    void OnOptions();
    void OnCloseConnection();
    void OnTrapSwitch();
    void OnReset();
    void OnRestoreDefaults();
    void OnDebugMode();
    void OnHelp();
    void OnAbout();
    void OpenForm(int index);
    void CloseFormCommand(int index);
    bool CheckAdministrator();

    CHalvaneSettings m_settings;
    CHalvaneOptions m_options;
    SnmpManager* m_manager = nullptr;
    std::unique_ptr<SnmpMib> m_mib;
    CDeviceSession* m_session = nullptr;
    CTrapRecorder* m_trapRecorder = nullptr;
    CDiscovery* m_discovery = nullptr;
    CConfigTransfer* m_transfer = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    QLabel* m_panes[3] = {nullptr, nullptr, nullptr};
    int m_currentMenu = 0;
    QHash<int, QAction*> m_menuActions;

    std::array<bool, FormCount> m_formOpen{};
    std::array<CFormView*, FormCount> m_formView{};
    std::array<CChildFrame*, FormCount> m_formChild{};
    QList<int> m_closedForms;
};
