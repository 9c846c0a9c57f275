#include "choice_editor.h"

#include "ui_choice_editor.h"

ChoiceEditor::ChoiceEditor(const QStringList& choices, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ChoiceEditor>())
{
    m_ui->setupUi(this);
    m_ui->choiceList->addItems(choices);
    m_ui->choiceList->setCurrentIndex(choices.isEmpty() ? -1 : 0);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, [this] {
        m_position = m_ui->choiceList->currentIndex();
        accept();
    });
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ChoiceEditor::~ChoiceEditor() = default;
