#include "threshold_spin_box.h"

#include <QLineEdit>

CThresholdSpinBox::CThresholdSpinBox(QWidget* parent) : QSpinBox(parent)
{
    // Any unsigned number of up to nine digits can stand in the field.
    setRange(0, 999999999);
    setGroupSeparatorShown(false);
    setAccelerated(false);
}

void CThresholdSpinBox::SetLimits(int lowest, int highest)
{
    m_lowest = lowest;
    m_highest = highest;
}

void CThresholdSpinBox::stepBy(int steps)
{
    // The proposed change is multiplied by the step; the result stays
    // within the up-down range even when the field held a value outside it.
    const qint64 proposed = qint64(value()) + qint64(steps) * kStep;
    const qint64 bounded = qBound(qint64(m_lowest), proposed, qint64(m_highest));
    setValue(int(bounded));
    selectAll();
}

QAbstractSpinBox::StepEnabled CThresholdSpinBox::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    if (value() < m_highest)
        enabled |= StepUpEnabled;
    if (value() > m_lowest)
        enabled |= StepDownEnabled;
    return enabled;
}
