#pragma once

#include "hex_boxes_editor.h"

#include <memory>

namespace Ui
{
class MacEditor;
}

class MacEditor : public HexBoxesEditor
{
    Q_OBJECT
public:
    explicit MacEditor(QWidget* parent = nullptr);
    ~MacEditor() override;

private:
    std::unique_ptr<Ui::MacEditor> m_ui;
};
