// The "AP Configuration" window: reads the configuration block through the driver, lists
// its 41 rows, edits one row at a time and writes the block back. Modeless; each window has
// a block of its own.
#pragma once

#include "configuration_block.h"
#include "configuration_rows.h"

#include <QDialog>

#include <memory>
#include <optional>

class DeviceLink;

namespace Ui
{
class ConfigurationWindow;
}

class ConfigurationWindow : public QDialog
{
    Q_OBJECT
public:
    ConfigurationWindow(DeviceLink& link, int appMode, QWidget* parent = nullptr);
    ~ConfigurationWindow() override;

    // The commands of the buttons Get, Modify and Set.
    void get();
    void modify();
    void set();
    // Edits the selected row (a double-click or Enter on a row); only once a Get succeeded.
    void activateSelectedRow();

    const ConfigurationBlock& block() const { return m_block; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList();
    void editRow(int row);
    std::optional<EditResult> runEditor(const RowAction& action);
    void updateWidgets();

    std::unique_ptr<Ui::ConfigurationWindow> m_ui;
    DeviceLink& m_link;
    const int m_appMode;
    ConfigurationBlock m_block;
    EditResult m_editResult;
    qint32 m_accepted = 0;
    // The regulatory domain captured when the list was last built; the channel editor
    // offers its channels.
    quint8 m_channelDomain = 0;
    bool m_gotConfiguration = false;
};
