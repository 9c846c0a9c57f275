// "Operational Mode": the mode of the access point and the partner's MAC
// address, edited in the main window's cache (the wireless operational
// settings form opens it with "Advanced...").
#pragma once

#include <QColor>
#include <QDialog>
#include <memory>

class CMainFrame;
class CMSMask;
namespace Ui
{
class COperationalModeDialog;
}

class COperationalModeDialog : public QDialog
{
    Q_OBJECT

public:
    // The mode radios: "Access Point", "Access Point Client", "Wireless
    // Bridge", "Wireless Repeater"; the bridge kinds: "Point to Point",
    // "Point to MultiPoint". -1: none checked.
    enum Mode { NoMode = -1, AccessPoint = 0, AccessPointClient, WirelessBridge, WirelessRepeater };
    enum Kind { NoKind = -1, PointToPoint = 0, PointToMultiPoint };

    struct Values {
        int mode = NoMode;
        int kind = NoKind;
        bool clientPreferred = false;   // "Preferred BSS" of the access point client
        bool repeaterPreferred = false; // "Preferred BSS" of the repeater
        QString clientMac;              // field under the client's "Preferred BSS"
        QString remoteMac;              // "Remote MAC Address"
        QString repeaterMac;            // field under the repeater's "Preferred BSS"
    };
    // What is enabled for a set of values.
    struct Enabling {
        bool kindRadios = false;
        bool clientBox = false;
        bool clientMac = false;
        bool remoteMac = false; // the field and its label
        bool repeaterBox = false;
        bool repeaterMac = false;
        bool operator==(const Enabling&) const = default;
    };

    static constexpr const char* kNoMac = "000000000000";

    // The values shown for a cached mode and MAC text.
    static Values FromCache(quint32 mode, const QString& mac);
    static Enabling EnablingOf(const Values& values);
    // OK: the cached mode and MAC for the values. Returns an error text (the
    // MAC field in use does not hold 12 hexadecimal digits) and changes
    // nothing then.
    static QString ApplyOk(const Values& values, quint32& mode, QString& mac);

    COperationalModeDialog(CMainFrame* mainFrame, QWidget* parent = nullptr);
    ~COperationalModeDialog() override;

    Values TakeValues() const;
    void PushValues(const Values& values);
    void accept() override;

private:
    // Applies the enabling rules to the values in the controls.
    void UpdateWidgets();
    void EnableMacField(CMSMask* field, bool enabled);

    std::unique_ptr<Ui::COperationalModeDialog> m_ui;
    CMainFrame* m_mainFrame;
    QColor m_enabledColor;
};
