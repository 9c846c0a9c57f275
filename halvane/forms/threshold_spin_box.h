// The up-down control beside a threshold edit: one click or arrow key moves
// the value by 64 within the threshold's range. The field itself shows any
// unsigned number, also one outside the range, so that a cached value is
// shown as it stands and the form's check on OK can refuse it.
#pragma once

#include <QSpinBox>

class CThresholdSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    static constexpr int kStep = 64;

    explicit CThresholdSpinBox(QWidget* parent = nullptr);

    // The range of the up-down control (the field accepts more).
    void SetLimits(int lowest, int highest);
    int Lowest() const { return m_lowest; }
    int Highest() const { return m_highest; }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_lowest = 0;
    int m_highest = 99;
};
