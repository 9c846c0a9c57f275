#include "configuration_window.h"

#include "brenlow_texts.h"
#include "choice_editor.h"
#include "device_link.h"
#include "ip_editor.h"
#include "mac_editor.h"
#include "message_box.h"
#include "number_editor.h"
#include "text_editor.h"
#include "ui_configuration_window.h"
#include "wep128_editor.h"
#include "wep64_editor.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>

namespace
{

QString text(const char* fixed)
{
    return QString::fromLatin1(fixed);
}

} // namespace

ConfigurationWindow::ConfigurationWindow(DeviceLink& link, int appMode, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ConfigurationWindow>()), m_link(link),
      m_appMode(appMode)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    QHeaderView* header = m_ui->list->header();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    // 180 and 250 pixels, or what the longest identifier needs in the font in use, so that
    // no identifier is cut off.
    int identifierWidth = 0;
    for (int row = 0; row < ConfigurationRowCount; ++row) {
        identifierWidth = std::max(identifierWidth,
                                   m_ui->list->fontMetrics().horizontalAdvance(rowIdentifier(row)));
    }
    const int padding = 2 * m_ui->list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    m_ui->list->setColumnWidth(0, std::max(180, identifierWidth + padding));
    m_ui->list->setColumnWidth(1, 250);
    m_ui->list->setMinimumWidth(m_ui->list->columnWidth(0) + 250 +
                                m_ui->list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                2 * m_ui->list->frameWidth());
    resize(sizeHint().expandedTo(size()));
    m_ui->list->installEventFilter(this);

    connect(m_ui->getButton, &QPushButton::clicked, this, &ConfigurationWindow::get);
    connect(m_ui->modifyButton, &QPushButton::clicked, this, &ConfigurationWindow::modify);
    connect(m_ui->setButton, &QPushButton::clicked, this, &ConfigurationWindow::set);
    connect(m_ui->exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->list, &QTreeWidget::itemActivated, this, [this] { activateSelectedRow(); });
    updateWidgets();
}

ConfigurationWindow::~ConfigurationWindow() = default;

void ConfigurationWindow::updateWidgets()
{
    m_ui->modifyButton->setEnabled(m_gotConfiguration);
    m_ui->setButton->setEnabled(m_gotConfiguration);
}

void ConfigurationWindow::get()
{
    if (!m_link.isOpen() && !m_link.Open()) {
        MessageBox::show(this, text(Texts::DriverNotLoaded));
        return;
    }
    BusyCursor busy;
    if (!m_link.ReadGroup(GroupConfiguration, m_block.area(), DeviceLink::ReplySize)) {
        busy.restore();
        MessageBox::show(this, text(Texts::CannotGetConfiguration));
        m_link.Close();
        return;
    }
    m_link.Close();
    busy.restore();
    buildList();
    m_gotConfiguration = true;
    updateWidgets();
}

void ConfigurationWindow::modify()
{
    activateSelectedRow();
    m_ui->list->setFocus();
}

void ConfigurationWindow::activateSelectedRow()
{
    if (!m_gotConfiguration)
        return;
    const QList<QTreeWidgetItem*> selected = m_ui->list->selectedItems();
    if (selected.isEmpty())
        return;
    editRow(m_ui->list->indexOfTopLevelItem(selected.first()));
}

void ConfigurationWindow::set()
{
    if (m_ui->list->topLevelItemCount() == 0) {
        MessageBox::show(this, text(Texts::CantSaveConfiguration), MessageBox::Icon::Stop);
        return;
    }
    if (!MessageBox::ask(this, text(Texts::SaveQuestion)))
        return;
    setEnabled(false);
    if (!m_link.isOpen() && !m_link.Open()) {
        MessageBox::show(this, text(Texts::DriverNotLoaded));
        setEnabled(true);
        return;
    }
    BusyCursor busy;
    const bool written =
        m_link.WriteGroup(m_block.area(), GroupConfiguration, ConfigurationBlock::Size);
    busy.restore();
    if (!written)
        MessageBox::show(this, text(Texts::CannotSetConfiguration));
    m_link.Close();
    setEnabled(true);
}

void ConfigurationWindow::buildList()
{
    m_ui->list->clear();
    m_channelDomain = m_block.u8(ConfigurationBlock::RegulatoryDomain);
    m_block.normaliseChannel();
    QList<QTreeWidgetItem*> items;
    for (int row = 0; row < ConfigurationRowCount; ++row)
        items.append(new QTreeWidgetItem({rowIdentifier(row), rowValueText(m_block, row)}));
    m_ui->list->addTopLevelItems(items);
}

void ConfigurationWindow::editRow(int row)
{
    const RowAction action = rowAction(row, m_block, m_appMode, m_channelDomain);
    switch (action.kind) {
    case RowAction::Kind::Nothing:
        return;
    case RowAction::Kind::ReadOnly:
        MessageBox::show(this, text(Texts::ReadOnlyField), MessageBox::Icon::Stop);
        return;
    case RowAction::Kind::Edit:
        break;
    }
    m_accepted = 1;
    const std::optional<EditResult> result = runEditor(action);
    if (!result) {
        m_accepted = 0;
        return;
    }
    m_editResult = *result;
    const EditOutcome outcome = applyEdit(m_block, row, m_editResult);
    if (!outcome.message.isEmpty())
        MessageBox::show(this, outcome.message);
    if (outcome.rebuild)
        buildList();
}

std::optional<EditResult> ConfigurationWindow::runEditor(const RowAction& action)
{
    // Each editor is modal to this window only; the main window and other configuration
    // windows stay usable.
    const auto run = [](QDialog& editor) {
        editor.setWindowModality(Qt::WindowModal);
        return editor.exec() == QDialog::Accepted;
    };
    EditResult result;
    switch (action.editor) {
    case EditorKind::Mac: {
        MacEditor editor(this);
        if (!run(editor))
            return std::nullopt;
        result.bytes = editor.bytes();
        break;
    }
    case EditorKind::Wep64: {
        Wep64Editor editor(this);
        if (!run(editor))
            return std::nullopt;
        result.bytes = editor.bytes();
        break;
    }
    case EditorKind::Wep128: {
        Wep128Editor editor(this);
        if (!run(editor))
            return std::nullopt;
        result.bytes = editor.bytes();
        break;
    }
    case EditorKind::Number: {
        NumberEditor editor(action.hint, this);
        if (!run(editor))
            return std::nullopt;
        result.number = editor.number();
        break;
    }
    case EditorKind::Ip: {
        IpEditor editor(this);
        if (!run(editor))
            return std::nullopt;
        result.bytes = editor.bytes();
        break;
    }
    case EditorKind::Text: {
        TextEditor editor(this);
        if (!run(editor))
            return std::nullopt;
        result.text = editor.text();
        break;
    }
    case EditorKind::Choice: {
        ChoiceEditor editor(action.choices, this);
        if (!run(editor))
            return std::nullopt;
        result.position = editor.position();
        break;
    }
    }
    return result;
}

bool ConfigurationWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on the list edits the row; it must not also reach the default button Get,
    // which would read the block again over the edit.
    if (watched == m_ui->list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activateSelectedRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
