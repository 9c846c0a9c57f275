#include "wireless_privacy_options.h"

#include "form_exchange.h"
#include "main_frame.h"
#include "masked_edit.h"
#include "message_box.h"
#include "ui_wireless_privacy_options.h"

#include <QButtonGroup>
#include <QKeyEvent>

namespace PrivacyOptions
{

const char* const kMask64 = ">&& && && && &&";
const char* const kMask128 = ">&& && && && && && && && && && && && &&";

int WepIndexOf(quint32 wepEnable)
{
    switch (wepEnable) {
    case 1:
        return CWireLessPrivacyOptions::Enable64;
    case 3:
        return CWireLessPrivacyOptions::Enable128;
    case 2:
        return CWireLessPrivacyOptions::Disable;
    default:
        return -1;
    }
}

quint32 WepEnableOf(int index, quint32 current)
{
    switch (index) {
    case CWireLessPrivacyOptions::Enable64:
        return 1;
    case CWireLessPrivacyOptions::Enable128:
        return 3;
    case CWireLessPrivacyOptions::Disable:
        return 2;
    default:
        return current;
    }
}

} // namespace PrivacyOptions

using namespace PrivacyOptions;

namespace
{

const char* const kNotAuthorized = "You are not authorized for this action";

} // namespace

CWireLessPrivacyOptions::CWireLessPrivacyOptions(CMainFrame* mainFrame, int closeCommand,
                                                 QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CWireLessPrivacyOptions>())
{
    m_ui->setupUi(this);
    m_keys[0] = m_ui->key1Edit;
    m_keys[1] = m_ui->key2Edit;
    m_keys[2] = m_ui->key3Edit;
    m_keys[3] = m_ui->key4Edit;
    // The fields start with the 128-bit mask.
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("WW ")) * 13 + 12;
    for (CMSMask* key : m_keys) {
        key->SetPromptChar(QLatin1Char('_'));
        key->SetMask(QLatin1String(kMask128));
        key->setMinimumWidth(width);
    }

    m_wepGroup = new QButtonGroup(this);
    m_wepGroup->addButton(m_ui->enable64Radio, Enable64);
    m_wepGroup->addButton(m_ui->enable128Radio, Enable128);
    m_wepGroup->addButton(m_ui->disableRadio, Disable);

    connect(m_ui->enable64Radio, &QRadioButton::clicked, this,
            &CWireLessPrivacyOptions::OnEnable64);
    connect(m_ui->enable128Radio, &QRadioButton::clicked, this,
            &CWireLessPrivacyOptions::OnEnable128);
    connect(m_ui->disableRadio, &QRadioButton::clicked, this, &CWireLessPrivacyOptions::OnDisable);
    connect(m_ui->defaultKeyCombo, &QComboBox::activated, this,
            &CWireLessPrivacyOptions::OnDefaultKeyChanged);
    connect(m_ui->setButton, &QPushButton::clicked, this, &CWireLessPrivacyOptions::OnSet);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &CWireLessPrivacyOptions::OnClose);
}

CWireLessPrivacyOptions::~CWireLessPrivacyOptions() = default;

void CWireLessPrivacyOptions::SetKeyMask(const char* mask)
{
    for (CMSMask* key : m_keys)
        key->SetMask(QLatin1String(mask));
}

void CWireLessPrivacyOptions::EnableKeys(bool enable)
{
    for (CMSMask* key : m_keys)
        key->setEnabled(enable);
}

void CWireLessPrivacyOptions::Populate()
{
    CDeviceSession& s = m_mainFrame->Session();
    m_mainFrame->SetStatusText(QStringLiteral("Get Privacy Configuration in progress..."));
    if (!s.ReadPrivacySettings()) {
        m_mainFrame->SetStatusText(QStringLiteral("Get Privacy Configuration failed."));
        CMessageBox::Show(this, CMessageBox::Plain,
                          QStringLiteral("Unable to Get Privacy Configuration. Possibly Access "
                                         "Point is not connected."));
        return;
    }
    m_mainFrame->SetStatusText(QStringLiteral("Get Privacy Configuration done."));

    m_wepIndex = WepIndexOf(s.privacyWEPEnable);
    switch (m_wepIndex) {
    case Enable64:
        SetKeyMask(kMask64);
        EnableKeys(true);
        break;
    case Enable128:
        SetKeyMask(kMask128);
        EnableKeys(true);
        break;
    case Disable:
        EnableKeys(false);
        break;
    default:
        break;
    }

    m_ui->defaultKeyCombo->clear();
    m_ui->defaultKeyCombo->addItems({QStringLiteral("None"), QStringLiteral("Key 1"),
                                     QStringLiteral("Key 2"), QStringLiteral("Key 3"),
                                     QStringLiteral("Key 4")});
    const quint32 keyId = s.privacyDefaultWEPKeyID;
    m_ui->defaultKeyCombo->setCurrentIndex(keyId < 5 ? int(keyId) : -1);

    const QString* cached[] = {&s.defaultWEPKey1, &s.defaultWEPKey2, &s.defaultWEPKey3,
                               &s.defaultWEPKey4};
    for (int i = 0; i < 4; ++i)
        m_keys[i]->SetText(*cached[i]);
    FormExchange::SetRadioIndex(m_wepGroup, m_wepIndex);
}

void CWireLessPrivacyOptions::OnEnable128()
{
    CDeviceSession& s = m_mainFrame->Session();
    const QString* cached[] = {&s.defaultWEPKey1, &s.defaultWEPKey2, &s.defaultWEPKey3,
                               &s.defaultWEPKey4};
    EnableKeys(true);
    SetKeyMask(kMask128);
    for (int i = 0; i < 4; ++i)
        m_keys[i]->SetText(*cached[i]);
}

void CWireLessPrivacyOptions::OnEnable64()
{
    CDeviceSession& s = m_mainFrame->Session();
    const QString* cached[] = {&s.defaultWEPKey1, &s.defaultWEPKey2, &s.defaultWEPKey3,
                               &s.defaultWEPKey4};
    EnableKeys(true);
    SetKeyMask(kMask64);
    for (int i = 0; i < 4; ++i)
        m_keys[i]->SetText(cached[i]->left(kKey64Length));
}

void CWireLessPrivacyOptions::OnDisable()
{
    EnableKeys(false);
    m_ui->defaultKeyCombo->setCurrentIndex(0);
}

void CWireLessPrivacyOptions::OnDefaultKeyChanged(int index)
{
    // Sending with no default key means WEP off.
    if (index != 0)
        return;
    m_wepIndex = Disable;
    FormExchange::SetRadioIndex(m_wepGroup, Disable);
    OnDisable();
}

void CWireLessPrivacyOptions::OnSet()
{
    CDeviceSession& s = m_mainFrame->Session();
    m_wepIndex = FormExchange::RadioIndex(m_wepGroup);
    s.privacyWEPEnable = WepEnableOf(m_wepIndex, s.privacyWEPEnable);
    s.defaultWEPKey1 = m_keys[0]->Text();
    s.defaultWEPKey2 = m_keys[1]->Text();
    s.defaultWEPKey3 = m_keys[2]->Text();
    s.defaultWEPKey4 = m_keys[3]->Text();
    // No selection is stored as -1 (the device refuses it).
    s.privacyDefaultWEPKeyID = quint32(m_ui->defaultKeyCombo->currentIndex());

    m_mainFrame->SetStatusText(QStringLiteral("Set Privacy Configuration in progress..."));
    if (s.m_authority != 1) {
        CMessageBox::Show(this, CMessageBox::Stop, QLatin1String(kNotAuthorized));
        return;
    }
    if (s.WritePrivacySettings()) {
        m_mainFrame->SetStatusText(QStringLiteral("Set Privacy Configuration done..."));
    } else {
        m_mainFrame->SetStatusText(QStringLiteral("Set Privacy Configuration failed..."));
        CMessageBox::Show(this, CMessageBox::Plain,
                          QStringLiteral("Unable to Set Privacy Configuration. Possibly Access "
                                         "Point is not connected."));
    }
    CloseForm();
}

void CWireLessPrivacyOptions::OnClose()
{
    CloseForm();
}

void CWireLessPrivacyOptions::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnSet();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnClose();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
