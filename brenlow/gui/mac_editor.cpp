#include "mac_editor.h"

#include "ui_mac_editor.h"

MacEditor::MacEditor(QWidget* parent)
    : HexBoxesEditor(parent), m_ui(std::make_unique<Ui::MacEditor>())
{
    m_ui->setupUi(this);
    setUpBoxes({m_ui->box1, m_ui->box2, m_ui->box3, m_ui->box4, m_ui->box5, m_ui->box6},
               m_ui->buttonBox);
}

MacEditor::~MacEditor() = default;
