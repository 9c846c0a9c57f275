// " Hardware Configuration": the device information record (MAC address,
// regulatory domain, channel, product and OEM identification, hardware
// revision), written to the device at once after a confirmation.
#pragma once

#include "fitted_form_view.h"

#include <QString>
#include <array>
#include <memory>

class QWidget;
namespace Ui
{
class CHardwareConfiguration;
}

class CHardwareConfiguration : public CFittedFormView
{
    Q_OBJECT

public:
    static constexpr int kDomainCount = 7;
    static constexpr int kMaxText = 31;

    // The domain list: names and codes at indexes 0 to 6.
    static QString DomainName(int index);
    static int DomainCode(int index);
    // The list index of a code, -1 when unknown.
    static int DomainIndex(int code);
    // "Channel n" entries of a domain code (empty for an unknown code).
    static QStringList ChannelEntries(int code);
    // The first channel of a domain's list (1, 10 or 14; 0 when unknown).
    static int FirstChannel(int code);

    // The values taken from the controls.
    struct Values {
        QString mac;           // the field's characters without blanks
        int domainIndex = -1;  // -1: none selected
        int channelIndex = -1; // -1: none selected
        QString productType, productName, oemId, oemName, hardwareRevision;
    };
    // The rules of the exchange (numbers are signed integers, texts at most
    // 31 characters): an empty text when they pass, else the message, and
    // the field that broke its rule (0 product type, 1 product name, 2 OEM
    // ID, 3 OEM name, 4 hardware revision).
    static QString CheckExchange(const Values& values, int* field = nullptr);
    // The checks after the question: "Invalid Mac", "Invalid Regulatory
    // Domain", "Invalid Channel", "Invalid Mac Address"; empty when all pass.
    static QString CheckValues(const Values& values);
    // Writes values that passed both checks into a device information record.
    static void StoreValues(const Values& values, std::array<quint8, 92>& record);

    CHardwareConfiguration(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CHardwareConfiguration() override;

    void Populate() override;
    void OnSet();
    void OnDomainChanged();

    Values TakeValues() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* FieldWidget(int field) const;

    std::unique_ptr<Ui::CHardwareConfiguration> m_ui;
};
