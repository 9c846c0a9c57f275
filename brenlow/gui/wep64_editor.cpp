#include "wep64_editor.h"

#include "ui_wep64_editor.h"

Wep64Editor::Wep64Editor(QWidget* parent)
    : HexBoxesEditor(parent), m_ui(std::make_unique<Ui::Wep64Editor>())
{
    m_ui->setupUi(this);
    setUpBoxes({m_ui->box1, m_ui->box2, m_ui->box3, m_ui->box4, m_ui->box5}, m_ui->buttonBox);
}

Wep64Editor::~Wep64Editor() = default;
