// The wireless statistics form: the 22 counters of the cached
// wirelessStatistics block, read-only. The compact layout shows the six
// packet counters; with AppView on every counter is shown.
#pragma once

#include "fitted_form_view.h"

#include <QList>
#include <QSize>
#include <memory>

class QLineEdit;
class QLabel;

namespace Ui
{
class CWirelessStatistics;
}

class CWirelessStatistics : public CFittedFormView
{
    Q_OBJECT

public:
    static constexpr int kCounters = 22;

    CWirelessStatistics(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CWirelessStatistics() override;

    // Copies the cached counters into the fields.
    void Refresh() override;
    // The compact layout (nothing with AppView on): the child window keeps
    // the upper half of the form, the OK button moves up.
    void Populate() override;

    // Counter n (from 0, in cache order): its field.
    QLineEdit* CounterEdit(int n) const { return m_edits.at(n); }
    QLabel* CounterLabel(int n) const { return m_labels.at(n); }
    // Shown in the compact layout.
    static bool IsCompactCounter(int n);

    QSize sizeHint() const override { return m_designSize; }

private:
    std::unique_ptr<Ui::CWirelessStatistics> m_ui;
    QList<QLineEdit*> m_edits;
    QList<QLabel*> m_labels;
    QSize m_designSize;
};
