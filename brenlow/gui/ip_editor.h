#pragma once

#include <QByteArray>
#include <QDialog>

#include <memory>

namespace Ui
{
class IpEditor;
}

// An IP address in four fields of 0 to 255; a blank field counts as 0.
class IpEditor : public QDialog
{
    Q_OBJECT
public:
    explicit IpEditor(QWidget* parent = nullptr);
    ~IpEditor() override;

    // The four bytes, first field first, after the dialog was accepted.
    QByteArray bytes() const { return m_bytes; }

private:
    void takeFields();

    std::unique_ptr<Ui::IpEditor> m_ui;
    QByteArray m_bytes;
};
