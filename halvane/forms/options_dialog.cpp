#include "options_dialog.h"

#include "config_transfer.h"
#include "ui_options_dialog.h"

#include <QPushButton>

COptionsDialog::COptionsDialog(CConfigTransfer* transfer, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::COptionsDialog>()), m_transfer(transfer)
{
    m_ui->setupUi(this);
    m_ui->intervalSlider->setRange(0, 6);
    m_position = CConfigTransfer::PositionOfPollSeconds(m_transfer->m_pollSeconds);
    m_ui->intervalSlider->setValue(m_position);
    TakeSliderPosition();
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(m_ui->intervalSlider, &QSlider::valueChanged, this, &COptionsDialog::TakeSliderPosition);
    connect(m_ui->intervalSlider, &QSlider::sliderReleased, this,
            &COptionsDialog::TakeSliderPosition);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &COptionsDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &COptionsDialog::reject);
}

COptionsDialog::~COptionsDialog() = default;

void COptionsDialog::SetPosition(int position)
{
    m_ui->intervalSlider->setValue(position);
}

QString COptionsDialog::LabelText() const
{
    return m_ui->intervalLabel->text();
}

void COptionsDialog::TakeSliderPosition()
{
    m_position = m_ui->intervalSlider->value();
    m_ui->intervalLabel->setText(CConfigTransfer::PollLabelOfPosition(m_position));
}

void COptionsDialog::accept()
{
    m_transfer->SetPollInterval(CConfigTransfer::PollSecondsOfPosition(m_position));
    QDialog::accept();
}
