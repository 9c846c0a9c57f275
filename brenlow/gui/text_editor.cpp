#include "text_editor.h"

#include "editor_checks.h"
#include "ui_text_editor.h"

TextEditor::TextEditor(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::TextEditor>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, [this] {
        m_text = textEntryToBytes(m_ui->textEdit->text());
        accept();
    });
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TextEditor::~TextEditor() = default;
