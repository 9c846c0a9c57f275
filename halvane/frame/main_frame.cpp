#include "main_frame.h"

#include "about_dialog.h"
#include "access_point_list_dialog.h"
#include "authority_configuration.h"
#include "authorized_mac_addresses.h"
#include "child_frame.h"
#include "connect_dialog.h"
#include "dialog_runner.h"
#include "form_view.h"
#include "message_box.h"
#include "options_dialog.h"
#include "radio_tests_dialog.h"
#include "trap_log.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

namespace {

const char* const kNotAuthorized = "You are not authorized for this action";

} // namespace

CMainFrame::CMainFrame(const CHalvaneSettings& settings, const CHalvaneOptions& options,
                       QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_options(options)
{
    setWindowTitle(QStringLiteral(" Access Point SNMP Manager"));
    m_mdiArea = new QMdiArea(this);
    setCentralWidget(m_mdiArea);
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate()
{
    m_manager = new SnmpManager(this);
    m_mib = std::make_unique<SnmpMib>();
    m_session = new CDeviceSession(m_manager, m_mib.get(), this, this);
    connect(m_manager, &SnmpManager::error, this,
            [this](int number, const QString&) { m_session->m_lastError = number; });
    connect(m_manager, &SnmpManager::response, this, &CMainFrame::OnResponse);
    m_discovery = new CDiscovery(m_session, m_options.agentPort, m_options.broadcast, this);
    connect(m_discovery, &CDiscovery::AccessPointFound, this, &CMainFrame::OnAccessPointFound);
    connect(m_discovery, &CDiscovery::ScanSucceeded, this, &CMainFrame::OnScanSucceeded);
    connect(m_discovery, &CDiscovery::AccessPointNotFound, this,
            &CMainFrame::OnAccessPointNotFound);
    m_transfer = new CConfigTransfer(m_session, this);
    connect(m_transfer, &CConfigTransfer::PollSucceeded, this, &CMainFrame::OnPollSucceeded);

    m_trapRecorder = new CTrapRecorder(m_session, this);
    switch (m_trapRecorder->Create(m_options.trapPort, m_options.mibFile)) {
    case CTrapRecorder::Created:
        break;
    case CTrapRecorder::ListenFailed:
        ShowListenFailure(m_trapRecorder->ListenFailureText(), m_trapRecorder->LastErrorNumber(),
                          m_trapRecorder->ListenFailureReason(), m_options.trapPort,
                          "--trap-port");
        return -1;
    case CTrapRecorder::CreateFailed:
        CMessageBox::Show(this, CMessageBox::Plain, QStringLiteral("Cannot create Traps"),
                          QMessageBox::Ok, m_trapRecorder->MibErrorText());
        return -1;
    }
    connect(m_trapRecorder, &CTrapRecorder::TrapLogged, this, &CMainFrame::OnTrapLogged);

    // Status bar: three panes, "Arial Bold" 16 pixels high.
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(16);
    statusBar()->setFont(font);
    for (int i = 0; i < 3; ++i) {
        m_panes[i] = new QLabel(this);
        m_panes[i]->setFont(font);
        m_panes[i]->setTextFormat(Qt::PlainText);
    }
    m_panes[0]->setMinimumWidth(200);
    statusBar()->addWidget(m_panes[0], 1);
    statusBar()->addPermanentWidget(m_panes[1]);
    statusBar()->addPermanentWidget(m_panes[2]);
    HideAgentPane();
    HideTrapPane();

    m_session->m_sessionState = CDeviceSession::StateIdle;
    m_session->m_requestCounter = 0;

    if (!m_manager->isOpen()) {
        m_manager->setTimeout(CDeviceSession::kRequestTimeout);
        if (!m_manager->open(0, QString())) {
            const bool inUse = m_session->m_lastError == SnmpManager::ErrorAddressInUse;
            ShowListenFailure(inUse ? QStringLiteral("Current port is in use. Check to to see if "
                                                     "another manager is running, then restart "
                                                     "this one.")
                                    : QStringLiteral("Undetermined Error! Not Listening."),
                              m_session->m_lastError, QString(), 0, nullptr);
            return -1;
        }
    }
    SetStatusText(QStringLiteral("Manager opened successfully"));
    m_mib->load(m_options.mibFile);

    SwitchMenu(128);
    AddAccelerators();
    return 0;
}

void CMainFrame::ShowListenFailure(const QString& text, int errorNumber, const QString& reason,
                                   quint16 port, const char* option)
{
    QString detail = reason;
    if (option) {
        if (!detail.isEmpty())
            detail += QStringLiteral("\n");
        if (errorNumber == SnmpManager::ErrorAddressInUse)
            detail += QStringLiteral("Another program already listens on UDP port %1. Close it, "
                                     "or start halvane with %2 N to listen on another port.")
                          .arg(port)
                          .arg(QLatin1String(option));
        else
            detail += QStringLiteral("UDP port %1 could not be opened. Ports below 1024 need "
                                     "root or the CAP_NET_BIND_SERVICE capability; or start "
                                     "halvane with %2 N to listen on another port.")
                          .arg(port)
                          .arg(QLatin1String(option));
    }
    CMessageBox::Show(this, CMessageBox::Plain, text, QMessageBox::Ok, detail);
}

// ---- menus ----

void CMainFrame::SwitchMenu(int menuId)
{
    menuBar()->clear();
    m_menuActions.clear();
    QMenu* popups[3] = {nullptr, nullptr, nullptr};
    for (const CMenuItem& item : MenuItems(menuId)) {
        const QString text = QString::fromLatin1(item.text);
        if (item.command == 0) {
            QMenu* parent = item.depth == 0 ? nullptr : popups[item.depth - 1];
            if (parent && item.separatorBefore)
                parent->addSeparator();
            popups[item.depth] = parent ? parent->addMenu(text) : menuBar()->addMenu(text);
            continue;
        }
        QMenu* parent = popups[item.depth - 1];
        if (!parent)
            continue;
        if (item.separatorBefore)
            parent->addSeparator();
        // The shortcut column is display text only; the accelerators are
        // separate and active in every menu.
        QAction* action = parent->addAction(text);
        action->setEnabled(!item.grayed);
        action->setCheckable(item.checkable);
        const int command = item.command;
        if (!item.grayed)
            connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        m_menuActions.insert(command, action);
    }
    m_currentMenu = menuId;
    UpdateTrapCheck();
}

QAction* CMainFrame::MenuAction(int command) const
{
    return m_menuActions.value(command, nullptr);
}

void CMainFrame::UpdateTrapCheck()
{
    if (QAction* action = MenuAction(ID_TRAP_SWITCH))
        action->setChecked(m_session->m_trapState == 1);
}

void CMainFrame::AddAccelerators()
{
    for (const CAccelerator& accelerator : Accelerators()) {
        QAction* action = new QAction(this);
        action->setShortcut(accelerator.keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        const int command = accelerator.command;
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        addAction(action);
    }
}

// ---- commands ----

void CMainFrame::OnCommand(int command)
{
    const int openForm = FormOfOpenCommand(command);
    if (openForm >= 0) {
        if (openForm == FormKnownBSSs && m_session->bridgeOperationalMode == 5) {
            CMessageBox::Show(this, CMessageBox::Exclamation,
                              QStringLiteral("You can not use this function in repeater mode"),
                              QMessageBox::Ok, QString(), QStringLiteral("Known BSSs"));
            return;
        }
        OpenForm(openForm);
        return;
    }
    const int closeForm = FormOfCloseCommand(command);
    if (closeForm >= 0) {
        CloseFormCommand(closeForm);
        return;
    }
    switch (command) {
    case ID_CONNECT_AP:
        OnConnect();
        break;
    case ID_FIND_AP:
        m_discovery->StartScan(0);
        break;
    case ID_CLOSE_CONNECTION:
        OnCloseConnection();
        break;
    case ID_DOWNLOAD_CHANGES:
        OnDownloadChanges();
        break;
    case ID_REFRESH:
    case ID_GET_CONFIGURATION:
        OnGetConfiguration();
        break;
    case ID_OPTIONS:
        OnOptions();
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_TRAP_SWITCH:
        OnTrapSwitch();
        break;
    case ID_RESET_DEVICE:
        OnReset();
        break;
    case ID_RESTORE_DEFAULTS:
        OnRestoreDefaults();
        break;
    case ID_AUTHORIZATION: {
        CAuthorityConfiguration dialog(this, this);
        CDialogRunner::Exec(dialog);
        break;
    }
    case ID_AUTHORIZED_MACS: {
        CAuthorizedMacAddresses dialog(this, this);
        CDialogRunner::Exec(dialog);
        break;
    }
    case ID_RADIO_TESTS: {
        CRadioTestsDialog dialog(this, this);
        CDialogRunner::Exec(dialog);
        break;
    }
    case ID_WINDOW_CASCADE:
        m_mdiArea->cascadeSubWindows();
        break;
    case ID_WINDOW_TILE:
        m_mdiArea->tileSubWindows();
        break;
    case ID_HELP_TOPICS:
        OnHelp();
        break;
    case ID_APP_ABOUT:
        OnAbout();
        break;
    case ID_DEBUG_MODE:
        OnDebugMode();
        break;
    default:
        break;
    }
}

void CMainFrame::OnConnect()
{
    CConnectDialog dialog(m_discovery, true, QString(), this);
    CDialogRunner::Exec(dialog);
}

void CMainFrame::OnResponse()
{
    if (!m_discovery->OnResponse())
        m_session->DispatchResponse();
}

void CMainFrame::OnAccessPointFound(const QString& sysDescr)
{
    CMessageBox::Show(this, CMessageBox::Information,
                      sysDescr + QStringLiteral("\n               found"));
    // Read the configuration after the current event has been handled.
    QMetaObject::invokeMethod(
        this, [this] { OnCommand(ID_GET_CONFIGURATION); }, Qt::QueuedConnection);
}

void CMainFrame::OnScanSucceeded()
{
    CAccessPointListDialog dialog(m_discovery, this);
    CDialogRunner::Exec(dialog);
}

void CMainFrame::OnAccessPointNotFound()
{
    CMessageBox::Show(this, CMessageBox::Plain, QStringLiteral("Access Point not found"));
}

void CMainFrame::OnGetConfiguration()
{
    SetWaitCursor(true);
    const CConfigTransfer::Outcome outcome = m_transfer->GetConfiguration();
    if (outcome == CConfigTransfer::Done) {
        ShowAgentPane(m_session->m_agentAddress);
        if (!m_session->m_configRead) {
            SwitchMenu(ConnectedMenu());
            m_session->m_configRead = 1;
        }
        UpdateTrapCheck();
    }
    SetWaitCursor(false);
}

bool CMainFrame::CheckAdministrator()
{
    if (m_session->m_authority != 0)
        return true;
    CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kNotAuthorized));
    return false;
}

void CMainFrame::OnDownloadChanges()
{
    if (!m_session->m_configRead)
        return;
    if (!CheckAdministrator())
        return;
    if (CMessageBox::Show(this, CMessageBox::Question,
                          QStringLiteral("Do you want to Download Configuration?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    SetWaitCursor(true);
    m_transfer->DownloadChanges();
    SetWaitCursor(false);
}

void CMainFrame::OnOptions()
{
    COptionsDialog dialog(m_transfer, this);
    CDialogRunner::Exec(dialog);
}

void CMainFrame::OnPollSucceeded()
{
    for (int index : {FormEthernetStatistics, FormWirelessStatistics, FormAssociatedStations}) {
        if (m_formView[index])
            m_formView[index]->Refresh();
    }
}

void CMainFrame::OnCloseConnection()
{
    SwitchMenu(128);
    m_session->m_configRead = 0;
    SetStatusText(QString());
    HideAgentPane();
    m_transfer->SetPollInterval(0);
    for (int index = 0; index < FormCount; ++index) {
        if (m_formOpen[index])
            CloseFormCommand(index);
    }
}

void CMainFrame::OnTrapSwitch()
{
    const quint32 newState = m_session->m_trapState == 1 ? 2 : 1;
    m_session->m_trapState = newState;
    if (m_session->WriteTrapState()) {
        SetStatusText(newState == 1 ? QStringLiteral("SNMP traps Enable")
                                    : QStringLiteral("SNMP traps Disable"));
    } else if (newState == 1) {
        SetStatusText(QStringLiteral("Error - SNMP traps are still Disable"));
        m_session->m_trapState = 2;
    } else {
        SetStatusText(QStringLiteral("Error - SNMP traps are still Enable"));
        m_session->m_trapState = 1;
    }
    UpdateTrapCheck();
}

void CMainFrame::OnReset()
{
    if (!CheckAdministrator())
        return;
    if (CMessageBox::Show(this, CMessageBox::Question, QStringLiteral("Do you want to Reset Device ?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    SetStatusText(m_session->RunSystemCommand(0) ? QStringLiteral("Reset complete")
                                                 : QStringLiteral("Reset failed"));
}

void CMainFrame::OnRestoreDefaults()
{
    if (!CheckAdministrator())
        return;
    if (CMessageBox::Show(this, CMessageBox::Question,
                          QStringLiteral("Do you want to Restore Defaults Values?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    SetStatusText(m_session->RunRestoreDefaults() ? QStringLiteral("Restore Defaults complete")
                                                  : QStringLiteral("Restore Defaults failed"));
}

void CMainFrame::OnDebugMode()
{
    CMessageBox::Show(this, CMessageBox::Plain,
                      m_session->m_debugMode ? QStringLiteral("Application is at Normal Mode")
                                             : QStringLiteral("Application is at Debug Mode"));
    m_session->m_debugMode = !m_session->m_debugMode;
}

void CMainFrame::OnHelp()
{
    // The user guide: in the installed data beside the program, in the
    // source tree's docs (a program run from build/bin), or in the
    // configured data directory.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        programDir + QStringLiteral("/../share/qx9304/docs/index.html"),
        programDir + QStringLiteral("/../../docs/index.html"),
        QStringLiteral(QX_DATA_DIR "/docs/index.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath()));
            return;
        }
    }
    SetStatusText(QStringLiteral("The user guide was not found"));
}

void CMainFrame::OnAbout()
{
    CAboutDialog dialog(this);
    CDialogRunner::Exec(dialog);
}

// ---- forms ----

void CMainFrame::OpenForm(int index)
{
    if (m_formOpen[index])
        return;
    const CFormDescription& form = FormTable()[index];
    CFormView* view = CreateFormView(index, this);
    auto* child = new CChildFrame(view, QString::fromLatin1(form.title));
    m_mdiArea->addSubWindow(child);
    child->show();
    m_mdiArea->setActiveSubWindow(child);
    m_formChild[index] = child;
    m_formView[index] = view;
    m_formOpen[index] = true;
    switch (form.routines) {
    case RefreshThenPopulate:
        view->Refresh();
        view->Populate();
        break;
    case PopulateOnly:
        view->Populate();
        break;
    case PopulateThenRefresh:
        view->Populate();
        view->Refresh();
        break;
    case RefreshOnly:
        view->Refresh();
        break;
    case ClearBusyThenPopulate:
        view->ClearBusy();
        view->Populate();
        break;
    }
}

void CMainFrame::CloseFormCommand(int index)
{
    if (!m_formOpen[index])
        return;
    m_formOpen[index] = false;
    CChildFrame* child = m_formChild[index];
    m_formChild[index] = nullptr;
    m_formView[index] = nullptr;
    m_closedForms.append(index);
    if (child) {
        m_mdiArea->removeSubWindow(child);
        child->deleteLater();
    }
}

void CMainFrame::OnTrapLogged(int trapCount, const QString& text)
{
    ShowTrapPane(trapCount);
    if (auto* log = qobject_cast<CTrapLog*>(m_formView[FormTrapLog]))
        log->AppendTrap(text);
}

// ---- status bar ----

QString CMainFrame::StatusText(int pane) const
{
    return pane >= 0 && pane < 3 && m_panes[pane] ? m_panes[pane]->text() : QString();
}

bool CMainFrame::PaneVisible(int pane) const
{
    return pane >= 0 && pane < 3 && m_panes[pane] && m_panes[pane]->maximumWidth() > 0 &&
           !m_panes[pane]->isHidden();
}

void CMainFrame::ShowAgentPane(const QString& address)
{
    m_panes[1]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panes[1]->setText(address);
    m_panes[1]->setFixedWidth(PaneWidth(m_panes[1], 100));
    m_panes[1]->show();
    RepaintStatusBar();
}

void CMainFrame::HideAgentPane()
{
    m_panes[1]->setFrameStyle(QFrame::NoFrame);
    m_panes[1]->setFixedWidth(0);
    m_panes[1]->clear();
    m_panes[1]->hide();
    RepaintStatusBar();
}

void CMainFrame::ShowTrapPane(int trapCount)
{
    m_panes[2]->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panes[2]->setText(QString::number(trapCount) + QStringLiteral(" <Trap Received>"));
    m_panes[2]->setFixedWidth(PaneWidth(m_panes[2], 130));
    m_panes[2]->show();
    RepaintStatusBar();
}

void CMainFrame::HideTrapPane()
{
    m_panes[2]->setFrameStyle(QFrame::NoFrame);
    m_panes[2]->setFixedWidth(0);
    m_panes[2]->clear();
    m_panes[2]->hide();
    RepaintStatusBar();
}

// A pane is as wide as its width in the status bar's design, and wider when
// the bold status font needs more room for the text: an address or a trap
// count is never cut off.
int CMainFrame::PaneWidth(const QLabel* pane, int designWidth)
{
    const int needed = pane->fontMetrics().horizontalAdvance(pane->text()) +
                       2 * pane->frameWidth() + 2 * pane->margin() + 8;
    return qMax(designWidth, needed);
}

void CMainFrame::RepaintStatusBar()
{
    statusBar()->repaint();
}

void CMainFrame::ShowPlainMessage(const QString& text)
{
    CMessageBox::Show(this, CMessageBox::Plain, text);
}

void CMainFrame::ShowStopMessage(const QString& text)
{
    CMessageBox::Show(this, CMessageBox::Stop, text);
}

void CMainFrame::SetStatusText(const QString& text)
{
    if (!m_panes[0])
        return;
    m_panes[0]->setText(text);
    RepaintStatusBar();
}

void CMainFrame::SetWaitCursor(bool on)
{
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the process at once with status 1; the
    // open forms get no close handling of their own.
    event->accept();
    QCoreApplication::exit(1);
}
