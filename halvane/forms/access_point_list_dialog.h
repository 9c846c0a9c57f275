// Available Access Points: the access points that answered a scan.
#pragma once

#include <QDialog>
#include <memory>

class CDiscovery;
namespace Ui {
class CAccessPointListDialog;
}

class CAccessPointListDialog : public QDialog
{
    Q_OBJECT

public:
    CAccessPointListDialog(CDiscovery* discovery, QWidget* parent = nullptr);
    ~CAccessPointListDialog() override;

    // Row i shows entry i of the found list; the selected row (-1: none).
    int RowCount() const;
    QString RowText(int row, int column) const;
    void SelectRow(int row);

    // "Connect": close, then run the Connect dialog with the row's address.
    void ConnectSelected();
    // "Scan AP": close, then one broadcast.
    void ScanAgain();

private:
    std::unique_ptr<Ui::CAccessPointListDialog> m_ui;
    CDiscovery* m_discovery;
};
