#pragma once

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui
{
class TextEditor;
}

// A text of at most 32 characters.
class TextEditor : public QDialog
{
    Q_OBJECT
public:
    explicit TextEditor(QWidget* parent = nullptr);
    ~TextEditor() override;

    // The text as the device's single-byte characters, after the dialog was accepted.
    QByteArray text() const { return m_text; }

private:
    std::unique_ptr<Ui::TextEditor> m_ui;
    QByteArray m_text;
};
