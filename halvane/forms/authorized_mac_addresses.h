// " Authorized Mac Addresses": the table of station addresses the access
// point may accept. Loaded from a text file, downloaded to the device one
// address at a time, read back, and switched on or off on the device.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <array>
#include <memory>

class CMainFrame;
class QIODevice;
namespace Ui
{
class CAuthorizedMacAddresses;
}

class CAuthorizedMacAddresses : public QDialog
{
    Q_OBJECT

public:
    using MacEntry = std::array<quint8, 6>;
    // The table the dialog holds, and what one download may carry.
    static constexpr int kMaxEntries = 10000;
    static constexpr int kMaxDownload = 680;

    // Reads a MAC address file: words of 12 hexadecimal digits separated by
    // white space. Returns an error text (the table is then empty), else
    // an empty text and the addresses sorted octet by octet.
    static QString ParseMacFile(QIODevice& file, QList<MacEntry>& table);
    static QString ParseMacText(const QByteArray& text, QList<MacEntry>& table);
    static QString HexText(const MacEntry& entry);
    static MacEntry EntryOf(const QString& hexText);

    explicit CAuthorizedMacAddresses(CMainFrame* mainFrame, QWidget* parent = nullptr);
    ~CAuthorizedMacAddresses() override;

    void OnLoadFile();
    void OnDownload();
    void OnGet();
    void OnTableEnableClicked();

    // The dialog does not end while a transfer or a switch change runs.
    void reject() override;

    QList<MacEntry> Table() const { return m_table; }
    // "No" and "Mac Address" of each row.
    QList<QStringList> RowsShown() const;
    bool TransferRunning() const { return m_transferRunning; }
    // The progress shown: entries done and entries in all.
    int ProgressValue() const;
    int ProgressMaximum() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowTable();
    void SetControlsEnabled(bool enabled);
    void BeginTransfer(int total);
    void StepTransfer(int done);
    void EndTransfer();

    std::unique_ptr<Ui::CAuthorizedMacAddresses> m_ui;
    CMainFrame* m_mainFrame;
    QList<MacEntry> m_table;
    bool m_transferRunning = false; // a download or get runs
    bool m_switchBusy = false;      // the table switch is being changed
};
