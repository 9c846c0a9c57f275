#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui
{
class ChoiceEditor;
}

// One of the row's texts from a drop-down list.
class ChoiceEditor : public QDialog
{
    Q_OBJECT
public:
    explicit ChoiceEditor(const QStringList& choices, QWidget* parent = nullptr);
    ~ChoiceEditor() override;

    // The selected position from 0; -1 when the list is empty.
    int position() const { return m_position; }

private:
    std::unique_ptr<Ui::ChoiceEditor> m_ui;
    int m_position = -1;
};
