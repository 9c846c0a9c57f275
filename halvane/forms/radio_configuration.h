// " Power Regulator": one slider from "Low" to "High" sets the transmit
// power register (CR17) of all 14 channels in the radio configuration
// record. The device's CR17 before the first change made here is kept in
// SNMP_CR17.ini so that "Restore Default" can put it back.
#pragma once

#include "fitted_form_view.h"

#include <QStringList>
#include <memory>

namespace Ui
{
class CRadioConfiguration;
}

class CRadioConfiguration : public CFittedFormView
{
    Q_OBJECT

public:
    static constexpr int kOctets = 47;
    static constexpr int kChannels = 14;
    static constexpr int kPositions = 6;

    // CR17 text of a slider position ("00", "31", "65", "99", "CC", "FF").
    static QString PowerText(int position);
    // Slider position of a CR17 text: its value divided by 51; 0 when the
    // text is not a two-digit hexadecimal number.
    static int PositionOf(const QString& cr17);
    // The record cut into its 47 two-character texts (missing ones empty).
    static QStringList SplitOctets(const QString& record);

    // SNMP_CR17.ini, in the user's configuration directory.
    static QString SettingsPath();

    CRadioConfiguration(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CRadioConfiguration() override;

    void Populate() override;
    void OnSet();
    void OnRestoreDefault();

    int SliderPosition() const;
    void SetSliderPosition(int position);
    QString PowerTextChosen() const { return m_powerText; }
    QString Channel1Cr17() const { return m_channel1Cr17; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnSliderMoved();

    std::unique_ptr<Ui::CRadioConfiguration> m_ui;
    // The 47 octets of the record as two-character texts.
    QStringList m_octets;
    // The CR17 text the slider stands for.
    QString m_powerText;
    // Channel 1's CR17 when the form was last filled.
    QString m_channel1Cr17;
};
