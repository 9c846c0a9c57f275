#pragma once

#include "hex_boxes_editor.h"

#include <memory>

namespace Ui
{
class Wep64Editor;
}

class Wep64Editor : public HexBoxesEditor
{
    Q_OBJECT
public:
    explicit Wep64Editor(QWidget* parent = nullptr);
    ~Wep64Editor() override;

private:
    std::unique_ptr<Ui::Wep64Editor> m_ui;
};
