#include "wep128_editor.h"

#include "ui_wep128_editor.h"

Wep128Editor::Wep128Editor(QWidget* parent)
    : HexBoxesEditor(parent), m_ui(std::make_unique<Ui::Wep128Editor>())
{
    m_ui->setupUi(this);
    setUpBoxes({m_ui->box1, m_ui->box2, m_ui->box3, m_ui->box4, m_ui->box5, m_ui->box6, m_ui->box7,
                m_ui->box8, m_ui->box9, m_ui->box10, m_ui->box11, m_ui->box12, m_ui->box13},
               m_ui->buttonBox);
}

Wep128Editor::~Wep128Editor() = default;
