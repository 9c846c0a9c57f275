// Options: the polling interval.
#pragma once

#include <QDialog>
#include <memory>

class CConfigTransfer;
namespace Ui {
class COptionsDialog;
}

class COptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit COptionsDialog(CConfigTransfer* transfer, QWidget* parent = nullptr);
    ~COptionsDialog() override;

    int Position() const { return m_position; }
    void SetPosition(int position);
    QString LabelText() const;
    void accept() override;

private:
    void TakeSliderPosition();

    std::unique_ptr<Ui::COptionsDialog> m_ui;
    CConfigTransfer* m_transfer;
    int m_position = 0;
};
