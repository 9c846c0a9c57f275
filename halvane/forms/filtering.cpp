#include "filtering.h"

#include "form_exchange.h"
#include "main_frame.h"
#include "ui_filtering.h"

#include <QKeyEvent>

CFiltering::CFiltering(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent), m_ui(std::make_unique<Ui::CFiltering>())
{
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CFiltering::OnOk);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CFiltering::OnCancel);
}

CFiltering::~CFiltering() = default;

void CFiltering::Populate()
{
    const CDeviceSession& s = m_mainFrame->Session();
    m_ui->ipFilterCheck->setChecked(FormExchange::IsOn(s.operIPFilter));
    m_ui->forwardBcastCheck->setChecked(FormExchange::IsOn(s.operForwarbBcast));
    m_ui->sendBackBcastCheck->setChecked(FormExchange::IsOn(s.operSendBackBcast));
    m_ui->sendBackUnicastCheck->setChecked(FormExchange::IsOn(s.operSendBackUnicast));
}

void CFiltering::OnOk()
{
    CDeviceSession& s = m_mainFrame->Session();
    s.operIPFilter = FormExchange::OnOff(m_ui->ipFilterCheck->isChecked());
    s.operForwarbBcast = FormExchange::OnOff(m_ui->forwardBcastCheck->isChecked());
    s.operSendBackBcast = FormExchange::OnOff(m_ui->sendBackBcastCheck->isChecked());
    s.operSendBackUnicast = FormExchange::OnOff(m_ui->sendBackUnicastCheck->isChecked());
    CloseForm();
}

void CFiltering::OnCancel()
{
    CloseForm();
}

void CFiltering::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
