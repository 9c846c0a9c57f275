#pragma once

#include "hex_boxes_editor.h"

#include <memory>

namespace Ui
{
class Wep128Editor;
}

class Wep128Editor : public HexBoxesEditor
{
    Q_OBJECT
public:
    explicit Wep128Editor(QWidget* parent = nullptr);
    ~Wep128Editor() override;

private:
    std::unique_ptr<Ui::Wep128Editor> m_ui;
};
