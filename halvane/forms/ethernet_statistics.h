// The Ethernet statistics form: the receive and transmit counters of the
// cached EthRxStatistics and EthTxStatistics blocks, read-only. The compact
// layout shows three counters of each; with AppView on every counter.
#pragma once

#include "fitted_form_view.h"

#include <QList>
#include <QSize>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;

namespace Ui
{
class CEthernetStatistics;
}

class CEthernetStatistics : public CFittedFormView
{
    Q_OBJECT

public:
    static constexpr int kReceiveCounters = 16;
    static constexpr int kTransmitCounters = 14;
    static constexpr int kCompactCounters = 3;

    CEthernetStatistics(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CEthernetStatistics() override;

    void Refresh() override;
    // The compact layout (nothing with AppView on): a third of the form's
    // height, the two group boxes cut to their first counters.
    void Populate() override;

    QLineEdit* ReceiveEdit(int n) const { return m_rxEdits.at(n); }
    QLineEdit* TransmitEdit(int n) const { return m_txEdits.at(n); }
    QLabel* ReceiveLabel(int n) const { return m_rxLabels.at(n); }
    QLabel* TransmitLabel(int n) const { return m_txLabels.at(n); }
    QGroupBox* ReceivedBox() const;
    QGroupBox* TransmittedBox() const;

    QSize sizeHint() const override { return m_designSize; }

private:
    std::unique_ptr<Ui::CEthernetStatistics> m_ui;
    QList<QLineEdit*> m_rxEdits;
    QList<QLineEdit*> m_txEdits;
    QList<QLabel*> m_rxLabels;
    QList<QLabel*> m_txLabels;
    QSize m_designSize;
};
