#include "authorized_mac_addresses.h"

#include "file_dialog.h"
#include "form_checks.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_authorized_mac_addresses.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

namespace
{

constexpr int kWordLength = 12;
const char* const kNotAuthorized = "You are not authorized for this action";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QString CAuthorizedMacAddresses::ParseMacFile(QIODevice& file, QList<MacEntry>& table)
{
    table.clear();
    QList<MacEntry> entries;
    // The word being read; one character more than a valid word is enough
    // to know that it is too long, so a huge file without blanks costs no
    // memory.
    QByteArray word;
    const auto endWord = [&]() -> QString {
        if (word.isEmpty())
            return QString();
        if (word.size() != kWordLength)
            return QStringLiteral("Invalid address length");
        MacEntry entry{};
        for (int i = 0; i < 6; ++i) {
            const int high = hexValue(word[2 * i]);
            const int low = hexValue(word[2 * i + 1]);
            if (high < 0 || low < 0)
                return QStringLiteral("Invalid address digits");
            entry[std::size_t(i)] = quint8(high * 16 + low);
        }
        if (entries.size() >= kMaxEntries)
            return QStringLiteral("Too many Mac Addresses. Not allowed over %1").arg(kMaxEntries);
        entries.append(entry);
        word.clear();
        return QString();
    };
    char chunk[4096];
    for (;;) {
        const qint64 count = file.read(chunk, sizeof chunk);
        if (count <= 0)
            break;
        for (qint64 i = 0; i < count; ++i) {
            const char c = chunk[i];
            if (isBlank(c)) {
                const QString error = endWord();
                if (!error.isEmpty())
                    return error;
            } else if (word.size() <= kWordLength) {
                word.append(c);
            }
        }
    }
    const QString error = endWord();
    if (!error.isEmpty())
        return error;
    std::stable_sort(entries.begin(), entries.end());
    table = entries;
    return QString();
}

QString CAuthorizedMacAddresses::ParseMacText(const QByteArray& text, QList<MacEntry>& table)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ParseMacFile(buffer, table);
}

QString CAuthorizedMacAddresses::HexText(const MacEntry& entry)
{
    return CDeviceSession::BytesToHexText(reinterpret_cast<const char*>(entry.data()), 6);
}

CAuthorizedMacAddresses::MacEntry CAuthorizedMacAddresses::EntryOf(const QString& hexText)
{
    MacEntry entry{};
    const QByteArray bytes = CDeviceSession::HexTextToBytes(hexText);
    for (int i = 0; i < 6 && i < bytes.size(); ++i)
        entry[std::size_t(i)] = quint8(bytes[i]);
    return entry;
}

CAuthorizedMacAddresses::CAuthorizedMacAddresses(CMainFrame* mainFrame, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAuthorizedMacAddresses>()), m_mainFrame(mainFrame)
{
    m_ui->setupUi(this);
    // Widths of 30 and 155, widened where the font needs more room for up to
    // five digits and a whole address.
    const QFontMetrics metrics(m_ui->macList->font());
    const int numberWidth = qMax(30, metrics.horizontalAdvance(QStringLiteral("10000")) + 16);
    const int macWidth =
        qMax(155, metrics.horizontalAdvance(QStringLiteral("00-00-00-00-00-00")) + 16);
    m_ui->macList->setColumnWidth(0, numberWidth);
    m_ui->macList->setColumnWidth(1, macWidth);
    m_ui->macList->setMinimumWidth(numberWidth + macWidth +
                                   m_ui->macList->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                   2 * m_ui->macList->frameWidth() + 4);
    m_ui->tableEnableBox->setChecked(m_mainFrame->Session().AuthorizationMacEnable == 1);
    // The bar keeps its room while hidden, so the dialog does not jump.
    QSizePolicy policy = m_ui->progressBar->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_ui->progressBar->setSizePolicy(policy);
    m_ui->progressBar->hide();

    connect(m_ui->loadFileButton, &QPushButton::clicked, this,
            &CAuthorizedMacAddresses::OnLoadFile);
    connect(m_ui->downloadButton, &QPushButton::clicked, this,
            &CAuthorizedMacAddresses::OnDownload);
    connect(m_ui->getButton, &QPushButton::clicked, this, &CAuthorizedMacAddresses::OnGet);
    connect(m_ui->tableEnableBox, &QCheckBox::clicked, this,
            &CAuthorizedMacAddresses::OnTableEnableClicked);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &CAuthorizedMacAddresses::reject);
}

CAuthorizedMacAddresses::~CAuthorizedMacAddresses() = default;

QList<QStringList> CAuthorizedMacAddresses::RowsShown() const
{
    QList<QStringList> rows;
    for (int row = 0; row < m_ui->macList->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_ui->macList->topLevelItem(row);
        rows << QStringList{item->text(0), item->text(1)};
    }
    return rows;
}

int CAuthorizedMacAddresses::ProgressValue() const
{
    return m_ui->progressBar->value();
}

int CAuthorizedMacAddresses::ProgressMaximum() const
{
    return m_ui->progressBar->maximum();
}

void CAuthorizedMacAddresses::ShowTable()
{
    m_ui->macList->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_table.size());
    for (int n = 0; n < m_table.size(); ++n)
        items << new QTreeWidgetItem(
            QStringList{QString::number(n + 1), FormChecks::MacDisplayText(m_table[n])});
    m_ui->macList->addTopLevelItems(items);
}

void CAuthorizedMacAddresses::SetControlsEnabled(bool enabled)
{
    for (QWidget* control :
         {static_cast<QWidget*>(m_ui->downloadButton), static_cast<QWidget*>(m_ui->getButton),
          static_cast<QWidget*>(m_ui->loadFileButton), static_cast<QWidget*>(m_ui->closeButton),
          static_cast<QWidget*>(m_ui->tableEnableBox)})
        control->setEnabled(enabled);
}

void CAuthorizedMacAddresses::BeginTransfer(int total)
{
    m_transferRunning = true;
    // Nothing else may start meanwhile: a new file would replace the table
    // being sent, and the switch would find the session busy.
    SetControlsEnabled(false);
    m_ui->progressBar->setRange(0, qMax(total, 1));
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->show();
}

void CAuthorizedMacAddresses::StepTransfer(int done)
{
    m_ui->progressBar->setValue(done);
}

void CAuthorizedMacAddresses::EndTransfer()
{
    m_transferRunning = false;
    SetControlsEnabled(true);
}

void CAuthorizedMacAddresses::OnLoadFile()
{
    if (m_transferRunning || m_switchBusy)
        return;
    const QString path = CFileDialog::GetOpenFileName(
        this, {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")},
        QStringLiteral("txt"));
    // Cancel leaves the table and its list as they were.
    if (path.isEmpty())
        return;
    m_table.clear();
    ShowTable();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        CMessageBox::Show(this, CMessageBox::Stop, QStringLiteral("Can't open ") + path);
        return;
    }
    QList<MacEntry> table;
    const QString error = ParseMacFile(file, table);
    if (!error.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, error);
        return;
    }
    m_table = table;
    ShowTable();
}

void CAuthorizedMacAddresses::OnDownload()
{
    if (m_transferRunning || m_switchBusy)
        return;
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kNotAuthorized));
        return;
    }
    if (m_table.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, QStringLiteral("Load Mac Addresses"));
        return;
    }
    if (m_table.size() > kMaxDownload) {
        CMessageBox::Show(this, CMessageBox::Stop,
                          QStringLiteral("Too many Mac Addresses. Not allowed over 680"));
        return;
    }
    if (CMessageBox::Show(this, CMessageBox::Question,
                          QStringLiteral("Do you want to Download these Mac Addresses?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    m_mainFrame->SetStatusText(QStringLiteral("Download in progress..."));
    const QList<MacEntry> table = m_table;
    const quint16 total = quint16(table.size());
    BeginTransfer(table.size());
    for (int n = 0; n < table.size(); ++n) {
        session.FillAuthorizedMacBlock(CDeviceSession::MacBlockWrite, total, quint16(n + 1),
                                       HexText(table[n]));
        if (!session.TransferAuthorizedMacBlock(1)) {
            m_mainFrame->SetStatusText(QStringLiteral("Download Authorized Mac Addresses failed"));
            EndTransfer();
            return;
        }
        StepTransfer(n + 1);
    }
    m_mainFrame->SetStatusText(QStringLiteral("Download Authorized Mac Addresses Done"));
    EndTransfer();
}

void CAuthorizedMacAddresses::OnGet()
{
    if (m_transferRunning || m_switchBusy)
        return;
    CDeviceSession& session = m_mainFrame->Session();
    m_mainFrame->SetStatusText(QStringLiteral("Get Authorized Mac in progress..."));
    // Whatever the outcome, the list shows the table: empty until the
    // device's whole table has been read.
    m_table.clear();
    ShowTable();
    BeginTransfer(1);
    session.FillAuthorizedMacBlock(CDeviceSession::MacBlockRead, 0, 1);
    if (!session.TransferAuthorizedMacBlock(2)) {
        m_mainFrame->SetStatusText(QStringLiteral("Get Authorized Mac Addresses failed"));
        EndTransfer();
        return;
    }
    const int total = session.AuthorizedMacTotal();
    if (total == 0 || total > kMaxDownload) {
        m_mainFrame->SetStatusText(QStringLiteral("There are not Authorized Mac Addresses"));
        EndTransfer();
        m_ui->progressBar->hide();
        CMessageBox::Show(this, CMessageBox::Information,
                          QStringLiteral("There are not Authorized Mac Addresses recorded"));
        return;
    }
    QList<MacEntry> entries{EntryOf(session.AuthorizedMacAddress())};
    m_ui->progressBar->setRange(0, total);
    StepTransfer(1);
    for (int n = 2; n <= total; ++n) {
        session.FillAuthorizedMacBlock(CDeviceSession::MacBlockRead, 0, quint16(n));
        if (!session.TransferAuthorizedMacBlock(2)) {
            m_mainFrame->SetStatusText(QStringLiteral("Get Authorized Mac Addresses failed"));
            EndTransfer();
            return;
        }
        entries.append(EntryOf(session.AuthorizedMacAddress()));
        StepTransfer(n);
    }
    m_table = entries;
    ShowTable();
    m_mainFrame->SetStatusText(QStringLiteral("Get Authorized Mac Addresses Done"));
    EndTransfer();
}

void CAuthorizedMacAddresses::OnTableEnableClicked()
{
    CDeviceSession& session = m_mainFrame->Session();
    const bool checked = m_ui->tableEnableBox->isChecked();
    if (m_transferRunning || m_switchBusy) {
        m_ui->tableEnableBox->setChecked(!checked);
        return;
    }
    m_switchBusy = true;
    SetControlsEnabled(false);
    const quint32 previous = session.AuthorizationMacEnable;
    session.AuthorizationMacEnable = checked ? 1 : 2;
    if (session.SetAuthorizationTable()) {
        CMessageBox::Show(this, CMessageBox::Information,
                          checked ? QStringLiteral("Authorization Table Enable")
                                  : QStringLiteral("Authorization Table Disable"));
    } else {
        m_ui->tableEnableBox->setChecked(!checked);
        session.AuthorizationMacEnable = previous;
        CMessageBox::Show(this, CMessageBox::Stop,
                          QStringLiteral("Failed to connect with Access Point"));
    }
    SetControlsEnabled(true);
    m_switchBusy = false;
}

void CAuthorizedMacAddresses::reject()
{
    if (m_transferRunning || m_switchBusy)
        return;
    QDialog::reject();
}

void CAuthorizedMacAddresses::closeEvent(QCloseEvent* event)
{
    if (m_transferRunning || m_switchBusy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
