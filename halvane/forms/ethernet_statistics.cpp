#include "ethernet_statistics.h"

#include "main_frame.h"
#include "ui_ethernet_statistics.h"

#include <QMdiSubWindow>

namespace
{

void Collect(QWidget* form, const char* prefix, int count, QList<QLineEdit*>& edits,
             QList<QLabel*>& labels)
{
    for (int n = 0; n < count; ++n) {
        const QString name =
            QStringLiteral("%1%2").arg(QLatin1String(prefix)).arg(n + 1, 2, 10, QLatin1Char('0'));
        edits << form->findChild<QLineEdit*>(name + QStringLiteral("Edit"));
        labels << form->findChild<QLabel*>(name + QStringLiteral("Label"));
        Q_ASSERT(edits.last() && labels.last());
    }
}

} // namespace

CEthernetStatistics::CEthernetStatistics(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CEthernetStatistics>())
{
    m_ui->setupUi(this);
    m_designSize = size();
    Collect(this, "rx", kReceiveCounters, m_rxEdits, m_rxLabels);
    Collect(this, "tx", kTransmitCounters, m_txEdits, m_txLabels);
    if (m_mainFrame->Settings().m_appView) {
        for (QWidget* widget : m_rxEdits + m_txEdits)
            widget->setVisible(true);
        for (QWidget* widget : m_rxLabels + m_txLabels)
            widget->setVisible(true);
    }
    connect(m_ui->okButton, &QPushButton::clicked, this, &CFormView::CloseForm);
}

CEthernetStatistics::~CEthernetStatistics() = default;

QGroupBox* CEthernetStatistics::ReceivedBox() const
{
    return m_ui->receivedBox;
}

QGroupBox* CEthernetStatistics::TransmittedBox() const
{
    return m_ui->transmittedBox;
}

void CEthernetStatistics::Refresh()
{
    const CDeviceSession& s = m_mainFrame->Session();
    for (int n = 0; n < kReceiveCounters; ++n)
        m_rxEdits[n]->setText(
            QString::number(CDeviceSession::StatisticsCounter(s.EthRxStatistics, n)));
    for (int n = 0; n < kTransmitCounters; ++n)
        m_txEdits[n]->setText(
            QString::number(CDeviceSession::StatisticsCounter(s.EthTxStatistics, n)));
}

void CEthernetStatistics::Populate()
{
    if (m_mainFrame->Settings().m_appView)
        return;
    auto* child = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!child)
        return;
    const int w = child->width();
    const int h = child->height();
    child->setFixedSize(w, h / 3);
    child->move(0, 0);
    m_ui->okButton->move(5 * w / 13, 2 * h / 9);
    const int top = w / 60;
    const int height = w / 4 - w / 60;
    m_ui->receivedBox->setGeometry(w / 30, top, int(0.4878 * w) - w / 30, height);
    m_ui->transmittedBox->setGeometry(w / 2, top, int(0.9524 * w) - w / 2, height);
}
