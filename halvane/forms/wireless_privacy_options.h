// The privacy options form: WEP off or on with 64-bit or 128-bit keys, the
// four default keys and the default key in use. It reads the privacy group
// from the access point when it opens and writes it with "Set".
#pragma once

#include "fitted_form_view.h"

#include <QString>
#include <memory>

class CMSMask;
class QButtonGroup;

namespace Ui
{
class CWireLessPrivacyOptions;
}

namespace PrivacyOptions
{

// Masks of the key fields.
extern const char* const kMask64;  // 5 pairs, 10 characters
extern const char* const kMask128; // 13 pairs, 26 characters
constexpr int kKey64Length = 10;
// WEP radio index of a cached privacyWEPEnable value: 0 "Enable 64",
// 1 "Enable 128", 2 "Disable", -1 none.
int WepIndexOf(quint32 wepEnable);
// The cached value of a radio index; the current one when none is checked.
quint32 WepEnableOf(int index, quint32 current);

} // namespace PrivacyOptions

class CWireLessPrivacyOptions : public CFittedFormView
{
    Q_OBJECT

public:
    // Radio indexes of the WEP group.
    enum { Enable64 = 0, Enable128 = 1, Disable = 2 };

    CWireLessPrivacyOptions(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CWireLessPrivacyOptions() override;

    // Reads the privacy group from the device and fills the form.
    void Populate() override;
    // "Set": stores the form into the cache, writes the group and closes;
    // a User authority is refused and the form stays open.
    void OnSet();
    void OnClose();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnEnable64();
    void OnEnable128();
    void OnDisable();
    void OnDefaultKeyChanged(int index);
    void SetKeyMask(const char* mask);
    void EnableKeys(bool enable);

    std::unique_ptr<Ui::CWireLessPrivacyOptions> m_ui;
    CMSMask* m_keys[4] = {};
    QButtonGroup* m_wepGroup = nullptr;
    // The exchange value of the WEP group.
    int m_wepIndex = -1;
};
