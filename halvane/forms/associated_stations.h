// The associated stations form: one row per station the access point
// reported, with its number and MAC address, from the main window's cache.
#pragma once

#include "fitted_form_view.h"

#include <QList>
#include <QStringList>
#include <memory>

class QTreeWidget;

namespace Ui
{
class CAssociatedStations;
}

class CDeviceSession;

namespace AssociatedStations
{

// The rows of the cached station records: records 1 to the station count
// (as far as the table goes), up to the first record numbered 0. Each row:
// the number in decimal and the MAC address as six pairs joined by "-".
QList<QStringList> StationRows(const CDeviceSession& session);

} // namespace AssociatedStations

class CAssociatedStations : public CFittedFormView
{
    Q_OBJECT

public:
    CAssociatedStations(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CAssociatedStations() override;

    // Inserts the two columns.
    void Populate() override;
    // Rebuilds the rows from the cache.
    void Refresh() override;

    QTreeWidget* List() const;

private:
    std::unique_ptr<Ui::CAssociatedStations> m_ui;
};
