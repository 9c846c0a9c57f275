// The wireless operational settings form: access point name, ESSID, SSID
// broadcasting, channel, thresholds, authentication and preamble types,
// rates, rate fall-back and roaming. It edits the main window's cache only;
// Download Changes takes the values to the device.
#pragma once

#include "fitted_form_view.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

class QButtonGroup;
class QCheckBox;

namespace Ui
{
class CWireLessOperationalSettings;
}

// The rules of the form, free of widgets.
namespace WirelessSettings
{

constexpr int kMaxTextLength = 32;
constexpr quint32 kFragmentationLowest = 256;
constexpr quint32 kFragmentationHighest = 2346;
constexpr quint32 kRtsLowest = 0;
constexpr quint32 kRtsHighest = 2347;

// The name of a regulatory domain code ("FCC", ...), empty when unknown.
QString DomainName(int code);
// The channel list of a domain: "Channel 1" ... in list order; empty when unknown.
QStringList ChannelEntries(int code);

// Where the cached channel lands in the list.
struct ChannelSelection {
    enum Fit { Fits, Mismatch, UnknownDomain };
    Fit fit = UnknownDomain;
    int index = -1; // -1: no selection
};
ChannelSelection SelectionForChannel(int code, quint32 channel);
// The channel of a list index; nothing for an unknown domain or when no
// entry is selected (the cached channel is then kept).
std::optional<quint32> ChannelForIndex(int code, int index);

// The eight rate boxes, in the order 1, 2, 5.5, 11.
struct RateBoxes {
    std::array<bool, 4> supported{};
    std::array<bool, 4> basic{};
    bool operator==(const RateBoxes&) const = default;
};
// Checks the boxes named by the pairs of the cached rate text; boxes are
// only ever checked, never cleared. Pairs are compared exactly.
RateBoxes RatesFromText(const QString& text, RateBoxes boxes = {});
// One pair per rate: the basic code, else the supported code, else nothing.
QString RatesToText(const RateBoxes& boxes);

// Checks of the values taken from the controls: an empty text when the
// value passes, else the message to show.
QString CheckText(const QString& text);
QString CheckThreshold(const QString& text, quint32 lowest, quint32 highest, quint32* value);

} // namespace WirelessSettings

class CWireLessOperationalSettings : public CFittedFormView
{
    Q_OBJECT

public:
    CWireLessOperationalSettings(CMainFrame* mainFrame, int closeCommand,
                                 QWidget* parent = nullptr);
    ~CWireLessOperationalSettings() override;

    void Populate() override;
    // OK: validates, stores into the cache and closes. False when a check
    // refused a value (its message has been shown; nothing is stored).
    bool OnOk();
    void OnCancel();

    // After the access point has joined a BSS: the new ESSID, the channel
    // selected by the domain's rule (no selection when it is not in the
    // list), and every value pushed into the controls again.
    void ApplyJoinedBss(const QString& essid, quint32 channel);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The values exchanged with the controls.
    struct Values {
        QString accessPointName;
        QString essid;
        bool ssidBroadcasting = false;
        quint32 fragmentationThreshold = 0;
        quint32 rtsThreshold = 0;
        int authentication = -1; // radio index, -1 none
        int preamble = -1;
        bool autoRateFallBack = false;
        bool interRoaming = false;
        int antenna = -1;
    };
    void PushValues();
    void SelectChannel(quint32 channel);
    void SetRateBoxes(const WirelessSettings::RateBoxes& boxes);
    WirelessSettings::RateBoxes RateBoxesShown() const;
    void OnSupportedClicked(int rate);
    void OnBasicClicked(int rate);
    void OnAdvanced();
    void UpdateWidgets();
    bool Refuse(const QString& message, QWidget* control);

    std::unique_ptr<Ui::CWireLessOperationalSettings> m_ui;
    Values m_values;
    // Pointers to the button rows, by rate.
    std::array<QCheckBox*, 4> m_supported{};
    std::array<QCheckBox*, 4> m_basic{};
    QButtonGroup* m_authenticationGroup = nullptr;
    QButtonGroup* m_preambleGroup = nullptr;
    QButtonGroup* m_antennaGroup = nullptr;
};
