#pragma once

#include <QDialog>

#include <memory>

namespace Ui
{
class NumberEditor;
}

// An unsigned decimal number, with the row's hint shown beneath it.
class NumberEditor : public QDialog
{
    Q_OBJECT
public:
    explicit NumberEditor(const QString& hint, QWidget* parent = nullptr);
    ~NumberEditor() override;

    quint32 number() const { return m_number; }

private:
    void takeNumber();

    std::unique_ptr<Ui::NumberEditor> m_ui;
    quint32 m_number = 0;
};
