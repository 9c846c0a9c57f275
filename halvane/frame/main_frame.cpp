#include "main_frame.h"

#include "access_point_list_dialog.h"
#include "connect_dialog.h"
#include "dialog_runner.h"
#include "message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

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
    connect(m_trapRecorder, &CTrapRecorder::TrapLogged, this,
            [this](int count) { ShowTrapPane(count); });

    // Status bar: three panes, "Arial Bold" 16 pixels high.
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(16);
    statusBar()->setFont(font);
    for (int i = 0; i < 3; ++i) {
        m_panes[i] = new QLabel(this);
        m_panes[i]->setFont(font);
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

    BuildMenu(NotConnectedMenu(), 128);
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

void CMainFrame::BuildMenu(const QList<CMenuItem>& items, int menuId)
{
    menuBar()->clear();
    QMenu* popups[3] = {nullptr, nullptr, nullptr};
    for (const CMenuItem& item : items) {
        const QString text = QString::fromLatin1(item.text);
        if (item.command == 0) {
            QMenu* parent = item.depth == 0 ? nullptr : popups[item.depth - 1];
            QMenu* popup = parent ? parent->addMenu(text) : menuBar()->addMenu(text);
            popups[item.depth] = popup;
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
        const int command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    m_currentMenu = menuId;
}

void CMainFrame::AddAccelerators()
{
    // Active in every menu state, independent of the menu items.
    const struct {
        QKeySequence keys;
        int command;
    } accelerators[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_CONNECT_AP},
        {QKeySequence(Qt::CTRL | Qt::Key_F), ID_FIND_AP},
    };
    for (const auto& accelerator : accelerators) {
        QAction* action = new QAction(this);
        action->setShortcut(accelerator.keys);
        action->setShortcutContext(Qt::ApplicationShortcut);
        const int command = accelerator.command;
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
        addAction(action);
    }
}

void CMainFrame::OnResponse()
{
    if (!m_discovery->OnResponse())
        m_session->DispatchResponse();
}

void CMainFrame::OnConnectCommand()
{
    CConnectDialog dialog(m_discovery, true, QString(), this);
    CDialogRunner::Exec(dialog);
}

void CMainFrame::OnFindCommand()
{
    m_discovery->StartScan(0);
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
    // Reading the configuration comes with the transfer of the variable
    // groups; until then the command only says so.
    SetStatusText(QStringLiteral("Get Configuration is not available yet"));
}

void CMainFrame::OnCommand(int command)
{
    switch (command) {
    case ID_APP_EXIT:
        close();
        break;
    case ID_CONNECT_AP:
        OnConnectCommand();
        break;
    case ID_FIND_AP:
        OnFindCommand();
        break;
    case ID_GET_CONFIGURATION:
        OnGetConfiguration();
        break;
    default:
        SetStatusText(QStringLiteral("This command is not available yet"));
        break;
    }
}

QString CMainFrame::StatusText(int pane) const
{
    return pane >= 0 && pane < 3 && m_panes[pane] ? m_panes[pane]->text() : QString();
}

bool CMainFrame::PaneVisible(int pane) const
{
    return pane >= 0 && pane < 3 && m_panes[pane] && m_panes[pane]->width() > 0 &&
           !m_panes[pane]->isHidden();
}

void CMainFrame::ShowAgentPane(const QString& address)
{
    m_panes[1]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panes[1]->setFixedWidth(100);
    m_panes[1]->setText(address);
    m_panes[1]->show();
    RepaintStatusBar();
}

void CMainFrame::HideAgentPane()
{
    m_panes[1]->setFrameStyle(QFrame::NoFrame);
    m_panes[1]->setFixedWidth(0);
    m_panes[1]->clear();
    m_panes[1]->hide();
}

void CMainFrame::ShowTrapPane(int trapCount)
{
    m_panes[2]->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panes[2]->setFixedWidth(130);
    m_panes[2]->setText(QString::number(trapCount) + QStringLiteral(" <Trap Received>"));
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

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the process at once with status 1; the
    // open forms get no close handling of their own.
    event->accept();
    QCoreApplication::exit(1);
}
