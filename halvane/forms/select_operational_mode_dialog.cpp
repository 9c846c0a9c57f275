#include "select_operational_mode_dialog.h"

#include "main_frame.h"
#include "ui_select_operational_mode_dialog.h"

quint32 CSelectOperationalModeDialog::ModeOf(int modeIndex, int kindIndex)
{
    switch (modeIndex) {
    case 0:
        return 3;
    case 1:
        return kindIndex == 1 ? 1 : 4;
    case 2:
        return 5;
    default:
        return 0;
    }
}

CSelectOperationalModeDialog::CSelectOperationalModeDialog(CMainFrame* mainFrame, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CSelectOperationalModeDialog>()),
      m_mainFrame(mainFrame)
{
    m_ui->setupUi(this);
    m_ui->accessPointClientRadio->setChecked(true);
    m_ui->pointToPointRadio->setChecked(true);
    UpdateWidgets();
    for (QAbstractButton* button : m_ui->modeGroup->buttons())
        connect(button, &QAbstractButton::clicked, this,
                &CSelectOperationalModeDialog::UpdateWidgets);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this,
            &CSelectOperationalModeDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this,
            &CSelectOperationalModeDialog::reject);
}

CSelectOperationalModeDialog::~CSelectOperationalModeDialog() = default;

int CSelectOperationalModeDialog::ModeIndex() const
{
    const QList<QAbstractButton*> modes = {m_ui->accessPointClientRadio, m_ui->wirelessBridgeRadio,
                                           m_ui->wirelessRepeaterRadio};
    return int(modes.indexOf(m_ui->modeGroup->checkedButton()));
}

int CSelectOperationalModeDialog::KindIndex() const
{
    const QList<QAbstractButton*> kinds = {m_ui->pointToPointRadio, m_ui->pointToMultiPointRadio};
    return int(kinds.indexOf(m_ui->kindGroup->checkedButton()));
}

void CSelectOperationalModeDialog::UpdateWidgets()
{
    const bool bridge = ModeIndex() == 1;
    m_ui->pointToPointRadio->setEnabled(bridge);
    m_ui->pointToMultiPointRadio->setEnabled(bridge);
}

void CSelectOperationalModeDialog::accept()
{
    m_mainFrame->Session().bridgeOperationalMode = ModeOf(ModeIndex(), KindIndex());
    QDialog::accept();
}
