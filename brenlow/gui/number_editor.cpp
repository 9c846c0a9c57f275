#include "number_editor.h"

#include "editor_checks.h"
#include "message_box.h"
#include "ui_number_editor.h"

NumberEditor::NumberEditor(const QString& hint, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::NumberEditor>())
{
    m_ui->setupUi(this);
    m_ui->hintEdit->setPlainText(hint);
    m_ui->numberEdit->selectAll();
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &NumberEditor::takeNumber);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

NumberEditor::~NumberEditor() = default;

void NumberEditor::takeNumber()
{
    const QString message = checkNumberEntry(m_ui->numberEdit->text(), &m_number);
    if (!message.isEmpty()) {
        MessageBox::show(this, message);
        return;
    }
    accept();
}
