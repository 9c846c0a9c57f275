#include "ip_editor.h"

#include "editor_checks.h"
#include "ui_ip_editor.h"

#include <QIntValidator>

IpEditor::IpEditor(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::IpEditor>())
{
    m_ui->setupUi(this);
    auto* validator = new QIntValidator(0, 255, this);
    for (QLineEdit* field : {m_ui->field1, m_ui->field2, m_ui->field3, m_ui->field4})
        field->setValidator(validator);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &IpEditor::takeFields);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_ui->field1->setFocus();
}

IpEditor::~IpEditor() = default;

void IpEditor::takeFields()
{
    m_bytes = ipFieldsToBytes(
        {m_ui->field1->text(), m_ui->field2->text(), m_ui->field3->text(), m_ui->field4->text()});
    accept();
}
