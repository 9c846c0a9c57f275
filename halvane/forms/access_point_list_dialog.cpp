#include "access_point_list_dialog.h"

#include "connect_dialog.h"
#include "dialog_runner.h"
#include "discovery.h"
#include "ui_access_point_list_dialog.h"

CAccessPointListDialog::CAccessPointListDialog(CDiscovery* discovery, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAccessPointListDialog>()),
      m_discovery(discovery)
{
    m_ui->setupUi(this);
    QTreeWidget* list = m_ui->accessPointList;
    list->setColumnWidth(0, 240);
    list->setColumnWidth(1, 100);
    for (int i = 0; i < m_discovery->m_foundCount; ++i) {
        const CDiscovery::CFoundAccessPoint& entry = m_discovery->m_foundList[i];
        // Device texts are shown as they are, never interpreted.
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{entry.description, entry.address}));
    }
    // The first access point found is selected, so that Connect (or Enter)
    // works at once; the view would otherwise show it as current without
    // selecting it.
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    connect(m_ui->connectButton, &QPushButton::clicked, this,
            &CAccessPointListDialog::ConnectSelected);
    connect(list, &QTreeWidget::itemActivated, this, &CAccessPointListDialog::ConnectSelected);
    connect(m_ui->scanButton, &QPushButton::clicked, this, &CAccessPointListDialog::ScanAgain);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CAccessPointListDialog::reject);
}

CAccessPointListDialog::~CAccessPointListDialog() = default;

int CAccessPointListDialog::RowCount() const
{
    return m_ui->accessPointList->topLevelItemCount();
}

QString CAccessPointListDialog::RowText(int row, int column) const
{
    const QTreeWidgetItem* item = m_ui->accessPointList->topLevelItem(row);
    return item ? item->text(column) : QString();
}

void CAccessPointListDialog::SelectRow(int row)
{
    m_ui->accessPointList->setCurrentItem(m_ui->accessPointList->topLevelItem(row));
}

void CAccessPointListDialog::ConnectSelected()
{
    const QList<QTreeWidgetItem*> selected = m_ui->accessPointList->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_ui->accessPointList->indexOfTopLevelItem(selected.first());
    if (row < 0 || row >= m_discovery->m_foundCount)
        return;
    const QString address = m_discovery->m_foundList[row].address;
    reject();
    CConnectDialog dialog(m_discovery, false, address, parentWidget());
    CDialogRunner::Exec(dialog);
}

void CAccessPointListDialog::ScanAgain()
{
    reject();
    m_discovery->StartScan(5);
}
