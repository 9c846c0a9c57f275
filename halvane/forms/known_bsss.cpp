#include "known_bsss.h"

#include "dialog_runner.h"
#include "main_frame.h"
#include "message_box.h"
#include "select_operational_mode_dialog.h"
#include "ui_known_bsss.h"
#include "wireless_operational_settings.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>

namespace
{

constexpr quint8 kInfrastructure = 0x01;
constexpr quint8 kAdHoc = 0x02;
constexpr quint8 kWep = 0x10;
constexpr quint8 kShortPreamble = 0x20;
constexpr int kMaxEssid = 32;
const int kColumnWidths[] = {110, 110, 40, 60, 70, 90, 70};

const char* const kReturnFailed = "Access Point failed return to previous state.";

} // namespace

int CKnownBSSs::RssiPercent(quint8 raw)
{
    const int level = qMin(int(quint8(raw + 10)), 40);
    return level * 5 / 2;
}

QStringList CKnownBSSs::RowTexts(const CDeviceSession::KnownBss& entry)
{
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < entry.bssid.size(); i += 2)
        pairs << entry.bssid.mid(i, 2);
    QString type;
    if (entry.flags & kInfrastructure)
        type = QStringLiteral("Infrastructure");
    else if (entry.flags & kAdHoc)
        type = QStringLiteral("Ad-Hoc");
    else
        type = QStringLiteral("Wireless Bridge");
    return {entry.ssid,
            pairs.join(QLatin1Char('-')),
            QStringLiteral("%1%").arg(RssiPercent(entry.signal)),
            QString::number(entry.channel),
            (entry.flags & kWep) ? QStringLiteral("Yes") : QStringLiteral("No"),
            type,
            (entry.flags & kShortPreamble) ? QStringLiteral("Short") : QStringLiteral("Long")};
}

CKnownBSSs::CKnownBSSs(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent), m_ui(std::make_unique<Ui::CKnownBSSs>())
{
    m_ui->setupUi(this);
    // The device needs the whole wait for its scan: no early firing.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kSurveyWaitMs);
    const CDeviceSession& session = m_mainFrame->Session();
    m_previousMode = session.bridgeOperationalMode;
    m_previousMac = session.bridgeRemoteBridgeBSSID;
    // The columns keep their widths, widened where the font needs more room
    // for the texts they show.
    const char* const samples[] = {"",    "00-0A-1B-2C-3D-4E", "100%",    "Channel",
                                   "WEP", "Wireless Bridge",   "Preamble"};
    const QFontMetrics metrics(m_ui->bssList->font());
    int total = 0;
    for (int column = 0; column < int(std::size(kColumnWidths)); ++column) {
        const int needed = metrics.horizontalAdvance(QLatin1String(samples[column])) + 16;
        const int width = qMax(kColumnWidths[column], needed);
        m_ui->bssList->setColumnWidth(column, width);
        total += width;
    }
    m_ui->bssList->setMinimumWidth(total + 2 * m_ui->bssList->frameWidth() + 4);
    connect(&m_timer, &QTimer::timeout, this, &CKnownBSSs::OnSurveyTimer);
    connect(m_ui->getRefreshButton, &QPushButton::clicked, this, &CKnownBSSs::OnGetRefresh);
    connect(m_ui->connectButton, &QPushButton::clicked, this, &CKnownBSSs::OnConnect);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CKnownBSSs::OnCancel);
    connect(m_ui->bssList, &QTreeWidget::itemActivated, this, [this] { OnConnect(); });
}

CKnownBSSs::~CKnownBSSs() = default;

void CKnownBSSs::Populate()
{
    m_ui->bssList->clear();
    m_entries.clear();
}

void CKnownBSSs::ClearBusy()
{
    SetBusy(false);
}

void CKnownBSSs::SetBusy(bool busy)
{
    m_busy = busy;
    // Every cursor request over the form shows the wait cursor meanwhile.
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
    m_ui->getRefreshButton->setEnabled(!busy);
}

QList<QStringList> CKnownBSSs::RowsShown() const
{
    QList<QStringList> rows;
    for (int row = 0; row < m_ui->bssList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_ui->bssList->topLevelItem(row);
        QStringList texts;
        for (int column = 0; column < item->columnCount(); ++column)
            texts << item->text(column);
        rows << texts;
    }
    return rows;
}

void CKnownBSSs::SelectRow(int row)
{
    m_ui->bssList->clearSelection();
    if (QTreeWidgetItem* item = m_ui->bssList->topLevelItem(row))
        m_ui->bssList->setCurrentItem(item);
}

void CKnownBSSs::RebuildList()
{
    m_ui->bssList->clear();
    m_entries = m_mainFrame->Session().KnownBssList();
    for (const CDeviceSession::KnownBss& entry : m_entries)
        new QTreeWidgetItem(m_ui->bssList, RowTexts(entry));
}

void CKnownBSSs::OnGetRefresh()
{
    if (m_busy || m_deviceBusy)
        return;
    CDeviceSession& session = m_mainFrame->Session();
    m_mainFrame->SetStatusText(QStringLiteral("Get Known BSSs in progress..."));
    SetBusy(true);
    m_previousMode = session.bridgeOperationalMode;
    m_previousMac = session.bridgeRemoteBridgeBSSID;
    QPointer<CKnownBSSs> alive(this);
    m_deviceBusy = true;
    const bool started = session.StartSiteSurvey();
    if (!alive)
        return;
    m_deviceBusy = false;
    if (started) {
        m_timer.start();
        return;
    }
    m_mainFrame->SetStatusText(QStringLiteral("Get Known BSSs failed."));
    SetBusy(false);
    CMessageBox::Show(this, CMessageBox::Stop,
                      QStringLiteral("Unable to Get Known BSSs. Possibly Access Point is not "
                                     "connected."));
}

void CKnownBSSs::OnSurveyTimer()
{
    m_timer.stop();
    QPointer<CKnownBSSs> alive(this);
    m_deviceBusy = true;
    const bool read = m_mainFrame->Session().ReadKnownAPs();
    if (!alive)
        return;
    m_deviceBusy = false;
    if (read) {
        m_mainFrame->SetStatusText(QStringLiteral("Get Known BSSs done."));
        RebuildList();
        SetBusy(false);
        return;
    }
    m_mainFrame->SetStatusText(QStringLiteral("Get Known BSSs failed."));
    SetBusy(false);
    CMessageBox::Show(this, CMessageBox::Stop,
                      QStringLiteral("Unable to Get Known BSSs. Possibly Access Point is not "
                                     "connected or this Firmware Version does not support this "
                                     "capability."));
}

void CKnownBSSs::OnConnect()
{
    if (m_deviceBusy)
        return;
    int row = -1;
    for (QTreeWidgetItem* item : m_ui->bssList->selectedItems()) {
        const int index = m_ui->bssList->indexOfTopLevelItem(item);
        if (index >= 0 && (row < 0 || index < row))
            row = index;
    }
    if (row < 0 || row >= m_entries.size()) {
        CMessageBox::Show(this, CMessageBox::Stop, QStringLiteral("You must select a BSS"));
        return;
    }
    CDeviceSession& session = m_mainFrame->Session();
    session.SelectedBSSListNumber = quint32(row + 1);
    {
        CSelectOperationalModeDialog dialog(m_mainFrame, this);
        if (CDialogRunner::Exec(dialog) != QDialog::Accepted)
            return;
    }
    const CDeviceSession::KnownBss entry = m_entries[row];
    session.bridgeRemoteBridgeBSSID = entry.bssid;
    const QString oldEssid = session.operESSID;
    const quint32 oldChannel = session.operChannelID;
    session.operESSID = entry.ssid;
    session.operChannelID = entry.channel;

    if (entry.flags & kAdHoc) {
        CMessageBox::Show(this, CMessageBox::Information,
                          QStringLiteral("Not supported BSS Type!"));
        ReturnToPreviousState(oldEssid, oldChannel);
        return;
    }

    session.operESSID = session.operESSID.left(kMaxEssid);
    QPointer<CKnownBSSs> alive(this);
    m_deviceBusy = true;
    const bool connected = session.WriteAccessPointClient();
    if (!alive)
        return;
    m_deviceBusy = false;
    if (connected) {
        if (auto* settings = qobject_cast<CWireLessOperationalSettings*>(
                m_mainFrame->FormView(FormWirelessOperationalSettings)))
            settings->ApplyJoinedBss(session.operESSID, session.operChannelID);
        CMessageBox::Show(this, CMessageBox::Information,
                          QStringLiteral("Device is Connecting..."));
    } else {
        CMessageBox::Show(this, CMessageBox::Stop, QStringLiteral("Unable to Connect!!"));
        ReturnToPreviousState(oldEssid, oldChannel);
        if (!alive)
            return;
    }
    CloseForm();
}

void CKnownBSSs::ReturnToPreviousState(const QString& oldEssid, quint32 oldChannel)
{
    CDeviceSession& session = m_mainFrame->Session();
    session.operESSID = oldEssid;
    session.operChannelID = oldChannel;
    session.bridgeOperationalMode = m_previousMode;
    session.bridgeRemoteBridgeBSSID = m_previousMac;
    WriteModeOrComplain();
}

void CKnownBSSs::WriteModeOrComplain()
{
    QPointer<CKnownBSSs> alive(this);
    m_deviceBusy = true;
    const bool written = m_mainFrame->Session().WriteOperationalMode();
    if (!alive)
        return;
    m_deviceBusy = false;
    if (!written)
        CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kReturnFailed));
}

void CKnownBSSs::OnCancel()
{
    if (m_deviceBusy)
        return;
    QPointer<CKnownBSSs> alive(this);
    WriteModeOrComplain();
    if (alive)
        CloseForm();
}

void CKnownBSSs::OnCloseRequest()
{
    OnCancel();
}

void CKnownBSSs::keyPressEvent(QKeyEvent* event)
{
    // Return takes the default button, except in the list, where it
    // activates the row.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !m_ui->bssList->hasFocus()) {
        OnGetRefresh();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
