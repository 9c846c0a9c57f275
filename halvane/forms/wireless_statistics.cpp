#include "wireless_statistics.h"

#include "main_frame.h"
#include "ui_wireless_statistics.h"

#include <QMdiSubWindow>

CWirelessStatistics::CWirelessStatistics(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CWirelessStatistics>())
{
    m_ui->setupUi(this);
    m_designSize = size();
    for (int n = 0; n < kCounters; ++n) {
        const QString name = QStringLiteral("counter%1").arg(n + 1, 2, 10, QLatin1Char('0'));
        m_edits << findChild<QLineEdit*>(name + QStringLiteral("Edit"));
        m_labels << findChild<QLabel*>(name + QStringLiteral("Label"));
        Q_ASSERT(m_edits.last() && m_labels.last());
    }
    // The counters beyond the compact six are created hidden and disabled;
    // AppView shows them, still disabled.
    if (m_mainFrame->Settings().m_appView) {
        for (int n = 0; n < kCounters; ++n) {
            m_edits[n]->setVisible(true);
            m_labels[n]->setVisible(true);
        }
    }
    connect(m_ui->okButton, &QPushButton::clicked, this, &CFormView::CloseForm);
}

CWirelessStatistics::~CWirelessStatistics() = default;

bool CWirelessStatistics::IsCompactCounter(int n)
{
    // Unicast, broadcast and multicast, transmitted and received.
    return (n >= 0 && n <= 2) || (n >= 7 && n <= 9);
}

void CWirelessStatistics::Refresh()
{
    const CDeviceSession& s = m_mainFrame->Session();
    for (int n = 0; n < kCounters; ++n)
        m_edits[n]->setText(
            QString::number(CDeviceSession::StatisticsCounter(s.wirelessStatistics, n)));
}

void CWirelessStatistics::Populate()
{
    if (m_mainFrame->Settings().m_appView)
        return;
    auto* child = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!child)
        return;
    const int w = child->width();
    const int h = child->height();
    child->setFixedSize(w, h / 2);
    child->move(0, 0);
    m_ui->okButton->move(5 * w / 13, 5 * h / 17);
}
