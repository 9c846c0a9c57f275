#include "associated_stations.h"

#include "main_frame.h"
#include "ui_associated_stations.h"

#include <QHeaderView>

namespace AssociatedStations
{

QList<QStringList> StationRows(const CDeviceSession& session)
{
    QList<QStringList> rows;
    // Record n holds station n; record 0 holds none. A count beyond the
    // table reads only the records the table has.
    const quint64 last =
        qMin<quint64>(session.m_stationCount, quint64(CDeviceSession::kStationRecords - 1));
    for (quint64 k = 0; k < last; ++k) {
        const CDeviceSession::StationRecord& record = session.AssociatedSTAsInfo[k + 1];
        const quint16 number = CDeviceSession::StationNumber(record);
        if (number == 0)
            break;
        const QString hex = CDeviceSession::StationMacAddress(record);
        QStringList pairs;
        for (int i = 0; i < hex.size(); i += 2)
            pairs << hex.mid(i, 2);
        rows << QStringList{QString::number(number), pairs.join(QLatin1Char('-'))};
    }
    return rows;
}

} // namespace AssociatedStations

CAssociatedStations::CAssociatedStations(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CAssociatedStations>())
{
    m_ui->setupUi(this);
    m_ui->stationList->setColumnCount(0);
    m_ui->stationList->setMinimumSize(30 + 155 + 24, 180);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CFormView::CloseForm);
}

CAssociatedStations::~CAssociatedStations() = default;

QTreeWidget* CAssociatedStations::List() const
{
    return m_ui->stationList;
}

void CAssociatedStations::Populate()
{
    QTreeWidget* list = m_ui->stationList;
    list->setColumnCount(2);
    list->setHeaderLabels({QString(), QStringLiteral("Mac Address")});
    list->header()->setStretchLastSection(false);
    list->setColumnWidth(0, 30);
    list->setColumnWidth(1, 155);
}

void CAssociatedStations::Refresh()
{
    QTreeWidget* list = m_ui->stationList;
    list->clear();
    const QList<QStringList> rows = AssociatedStations::StationRows(m_mainFrame->Session());
    QList<QTreeWidgetItem*> items;
    for (const QStringList& row : rows)
        items << new QTreeWidgetItem(row);
    list->addTopLevelItems(items);
}
