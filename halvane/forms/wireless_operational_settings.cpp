#include "wireless_operational_settings.h"

#include "form_exchange.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_wireless_operational_settings.h"

#include <QButtonGroup>
#include <QKeyEvent>

#if __has_include("operational_mode_dialog.h")
#include "dialog_runner.h"
#include "operational_mode_dialog.h"
#define HAVE_OPERATIONAL_MODE_DIALOG 1
#endif

namespace WirelessSettings
{

namespace
{

// The regulatory domains: the channels offered run from first to last;
// the list index of a channel is channel - first.
struct Domain {
    int code;
    const char* name;
    quint32 first;
    quint32 last;
};
constexpr Domain kDomains[] = {
    {0x10, "FCC", 1, 11},     {0x20, "DOC", 1, 11},  {0x30, "ETSI", 1, 13}, {0x31, "SPAIN", 10, 11},
    {0x32, "FRANCE", 10, 13}, {0x40, "MKK", 14, 14}, {0x41, "MKK1", 1, 14},
};
constexpr int kMkk1 = 0x41;

const Domain* FindDomain(int code)
{
    for (const Domain& domain : kDomains) {
        if (domain.code == code)
            return &domain;
    }
    return nullptr;
}

// Rate codes in the order 1, 2, 5.5, 11.
const char* const kSupportedCodes[] = {"02", "04", "0B", "16"};
const char* const kBasicCodes[] = {"82", "84", "8B", "96"};

} // namespace

QString DomainName(int code)
{
    const Domain* domain = FindDomain(code);
    return domain ? QString::fromLatin1(domain->name) : QString();
}

QStringList ChannelEntries(int code)
{
    QStringList entries;
    if (const Domain* domain = FindDomain(code)) {
        for (quint32 channel = domain->first; channel <= domain->last; ++channel)
            entries << QStringLiteral("Channel %1").arg(channel);
    }
    return entries;
}

ChannelSelection SelectionForChannel(int code, quint32 channel)
{
    const Domain* domain = FindDomain(code);
    if (!domain)
        return {ChannelSelection::UnknownDomain, -1};
    const int count = int(domain->last - domain->first + 1);
    if (code == kMkk1) {
        // No check: an index outside the list simply selects nothing.
        const qint64 index = qint64(channel) - 1;
        return {ChannelSelection::Fits, index >= 0 && index < count ? int(index) : -1};
    }
    // The domains starting at channel 1 accept any channel up to their last
    // one; channel 0 then gives index -1, which selects nothing.
    if (channel > domain->last || (domain->first > 1 && channel < domain->first))
        return {ChannelSelection::Mismatch, -1};
    return {ChannelSelection::Fits, int(qint64(channel) - qint64(domain->first))};
}

std::optional<quint32> ChannelForIndex(int code, int index)
{
    const Domain* domain = FindDomain(code);
    if (!domain || index < 0)
        return std::nullopt;
    return domain->first + quint32(index);
}

RateBoxes RatesFromText(const QString& text, RateBoxes boxes)
{
    const qsizetype pairs = text.size() / 2;
    for (qsizetype i = 0; i < pairs; ++i) {
        const QString pair = text.mid(i * 2, 2);
        for (int rate = 0; rate < 4; ++rate) {
            if (pair == QLatin1String(kSupportedCodes[rate])) {
                boxes.supported[rate] = true;
            } else if (pair == QLatin1String(kBasicCodes[rate])) {
                boxes.supported[rate] = true;
                boxes.basic[rate] = true;
            }
        }
    }
    return boxes;
}

QString RatesToText(const RateBoxes& boxes)
{
    QString text;
    for (int rate = 0; rate < 4; ++rate) {
        if (boxes.basic[rate])
            text += QLatin1String(kBasicCodes[rate]);
        else if (boxes.supported[rate])
            text += QLatin1String(kSupportedCodes[rate]);
    }
    return text;
}

QString CheckText(const QString& text)
{
    if (text.size() > kMaxTextLength)
        return QStringLiteral("Please enter no more than %1 characters.").arg(kMaxTextLength);
    return QString();
}

QString CheckThreshold(const QString& text, quint32 lowest, quint32 highest, quint32* value)
{
    const QString trimmed = text.trimmed();
    bool ok = !trimmed.isEmpty();
    for (QChar c : trimmed)
        ok = ok && c.isDigit() && c.unicode() < 128;
    const qulonglong number = ok ? trimmed.toULongLong(&ok) : 0;
    if (!ok || number > 0xFFFFFFFFull)
        return QStringLiteral("Please enter a positive integer.");
    if (number < lowest || number > highest)
        return QStringLiteral("Please enter an integer between %1 and %2.")
            .arg(lowest)
            .arg(highest);
    if (value)
        *value = quint32(number);
    return QString();
}

} // namespace WirelessSettings

using namespace WirelessSettings;

CWireLessOperationalSettings::CWireLessOperationalSettings(CMainFrame* mainFrame, int closeCommand,
                                                           QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CWireLessOperationalSettings>())
{
    m_ui->setupUi(this);
    m_supported = {m_ui->supported1Check, m_ui->supported2Check, m_ui->supported55Check,
                   m_ui->supported11Check};
    m_basic = {m_ui->basic1Check, m_ui->basic2Check, m_ui->basic55Check, m_ui->basic11Check};

    m_authenticationGroup = new QButtonGroup(this);
    m_authenticationGroup->addButton(m_ui->openSystemRadio, 0);
    m_authenticationGroup->addButton(m_ui->sharedKeyRadio, 1);
    m_authenticationGroup->addButton(m_ui->bothRadio, 2);
    m_preambleGroup = new QButtonGroup(this);
    m_preambleGroup->addButton(m_ui->shortPreambleRadio, 0);
    m_preambleGroup->addButton(m_ui->longPreambleRadio, 1);
    // The antenna buttons are never shown: the value only passes through.
    m_antennaGroup = new QButtonGroup(this);
    m_antennaGroup->addButton(m_ui->leftAntennaRadio, 0);
    m_antennaGroup->addButton(m_ui->rightAntennaRadio, 1);
    m_antennaGroup->addButton(m_ui->diversityAntennaRadio, 2);

    m_ui->fragmentationSpin->SetLimits(int(kFragmentationLowest), int(kFragmentationHighest));
    m_ui->rtsSpin->SetLimits(int(kRtsLowest), int(kRtsHighest));

    for (int rate = 0; rate < 4; ++rate) {
        connect(m_supported[rate], &QCheckBox::clicked, this,
                [this, rate] { OnSupportedClicked(rate); });
        connect(m_basic[rate], &QCheckBox::clicked, this, [this, rate] { OnBasicClicked(rate); });
    }
    connect(m_ui->okButton, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(m_ui->cancelButton, &QPushButton::clicked, this,
            &CWireLessOperationalSettings::OnCancel);
    connect(m_ui->advancedButton, &QPushButton::clicked, this,
            &CWireLessOperationalSettings::OnAdvanced);
    UpdateWidgets();
}

CWireLessOperationalSettings::~CWireLessOperationalSettings() = default;

void CWireLessOperationalSettings::Populate()
{
    const CDeviceSession& s = m_mainFrame->Session();
    const int domain = s.m_regulatoryDomain;

    m_ui->channelCombo->clear();
    m_ui->channelCombo->addItems(ChannelEntries(domain));
    const QString name = DomainName(domain);
    if (!name.isEmpty())
        m_ui->regulatoryDomainEdit->setText(name);

    const ChannelSelection selection = SelectionForChannel(domain, s.operChannelID);
    m_ui->channelCombo->setCurrentIndex(selection.index);
    if (selection.fit == ChannelSelection::Mismatch) {
        CMessageBox::Show(this, CMessageBox::Plain,
                          QStringLiteral("Channel does not agree with Regulatory Domain. It's "
                                         "necessary to update it."));
    } else if (selection.fit == ChannelSelection::UnknownDomain) {
        CMessageBox::Show(this, CMessageBox::Plain,
                          QStringLiteral("It's necessary to update Regulatory Domain."));
    }

    m_values.accessPointName = s.operAccessPointName;
    m_values.essid = s.operESSID;
    m_values.rtsThreshold = s.operRTSThreshold;
    m_values.fragmentationThreshold = s.operFragmentationThreshold;
    m_values.preamble = int(s.operPreambleType) - 1;
    m_values.authentication = int(s.operAuthenticationType) - 1;

    SetRateBoxes(RatesFromText(s.operBasicRates, RateBoxesShown()));

    m_values.ssidBroadcasting = FormExchange::IsOn(s.operSSIDBroadcasting);
    m_values.autoRateFallBack = FormExchange::IsOn(s.operAutoRateFallBack);
    m_values.interRoaming = FormExchange::IsOn(s.operInterRoaming);
    m_values.antenna = int(s.operAntennaSettings & 0xFF) - 1;
    PushValues();
}

void CWireLessOperationalSettings::PushValues()
{
    m_ui->accessPointNameEdit->setText(m_values.accessPointName);
    m_ui->essidEdit->setText(m_values.essid);
    m_ui->ssidBroadcastingCheck->setChecked(m_values.ssidBroadcasting);
    // A number beyond what the field can hold is shown at its largest,
    // which the check on OK still refuses.
    m_ui->fragmentationSpin->setValue(int(qMin<quint32>(
        m_values.fragmentationThreshold, quint32(m_ui->fragmentationSpin->maximum()))));
    m_ui->rtsSpin->setValue(
        int(qMin<quint32>(m_values.rtsThreshold, quint32(m_ui->rtsSpin->maximum()))));
    FormExchange::SetRadioIndex(m_authenticationGroup, m_values.authentication);
    FormExchange::SetRadioIndex(m_preambleGroup, m_values.preamble);
    m_ui->autoRateFallBackCheck->setChecked(m_values.autoRateFallBack);
    m_ui->interRoamingCheck->setChecked(m_values.interRoaming);
    FormExchange::SetRadioIndex(m_antennaGroup, m_values.antenna);
}

void CWireLessOperationalSettings::SelectChannel(quint32 channel)
{
    m_ui->channelCombo->setCurrentIndex(
        SelectionForChannel(m_mainFrame->Session().m_regulatoryDomain, channel).index);
}

void CWireLessOperationalSettings::ApplyJoinedBss(const QString& essid, quint32 channel)
{
    m_values.essid = essid;
    SelectChannel(channel);
    PushValues();
}

void CWireLessOperationalSettings::SetRateBoxes(const RateBoxes& boxes)
{
    for (int rate = 0; rate < 4; ++rate) {
        m_supported[rate]->setChecked(boxes.supported[rate]);
        m_basic[rate]->setChecked(boxes.basic[rate]);
    }
}

RateBoxes CWireLessOperationalSettings::RateBoxesShown() const
{
    RateBoxes boxes;
    for (int rate = 0; rate < 4; ++rate) {
        boxes.supported[rate] = m_supported[rate]->isChecked();
        boxes.basic[rate] = m_basic[rate]->isChecked();
    }
    return boxes;
}

void CWireLessOperationalSettings::OnSupportedClicked(int rate)
{
    // A rate that is not supported cannot be basic.
    if (!m_supported[rate]->isChecked())
        m_basic[rate]->setChecked(false);
}

void CWireLessOperationalSettings::OnBasicClicked(int rate)
{
    // A basic rate is always supported too.
    if (m_basic[rate]->isChecked())
        m_supported[rate]->setChecked(true);
}

bool CWireLessOperationalSettings::Refuse(const QString& message, QWidget* control)
{
    CMessageBox::Show(this, CMessageBox::Exclamation, message);
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->selectAll();
    return false;
}

bool CWireLessOperationalSettings::OnOk()
{
    // Take and check every value before anything is stored.
    Values taken = m_values;
    taken.accessPointName = m_ui->accessPointNameEdit->text();
    QString error = CheckText(taken.accessPointName);
    if (!error.isEmpty())
        return Refuse(error, m_ui->accessPointNameEdit);
    taken.essid = m_ui->essidEdit->text();
    error = CheckText(taken.essid);
    if (!error.isEmpty())
        return Refuse(error, m_ui->essidEdit);
    taken.ssidBroadcasting = m_ui->ssidBroadcastingCheck->isChecked();
    error = CheckThreshold(m_ui->fragmentationSpin->cleanText(), kFragmentationLowest,
                           kFragmentationHighest, &taken.fragmentationThreshold);
    if (!error.isEmpty())
        return Refuse(error, m_ui->fragmentationSpin);
    error =
        CheckThreshold(m_ui->rtsSpin->cleanText(), kRtsLowest, kRtsHighest, &taken.rtsThreshold);
    if (!error.isEmpty())
        return Refuse(error, m_ui->rtsSpin);
    taken.authentication = FormExchange::RadioIndex(m_authenticationGroup);
    taken.preamble = FormExchange::RadioIndex(m_preambleGroup);
    taken.autoRateFallBack = m_ui->autoRateFallBackCheck->isChecked();
    taken.interRoaming = m_ui->interRoamingCheck->isChecked();
    taken.antenna = FormExchange::RadioIndex(m_antennaGroup);
    m_values = taken;

    CDeviceSession& s = m_mainFrame->Session();
    // Without a selection (or for an unknown domain) the cached channel
    // stays: storing "no selection" would make up a channel.
    if (const std::optional<quint32> channel =
            ChannelForIndex(s.m_regulatoryDomain, m_ui->channelCombo->currentIndex()))
        s.operChannelID = *channel;
    s.operAccessPointName = m_values.accessPointName;
    s.operESSID = m_values.essid;
    s.operRTSThreshold = m_values.rtsThreshold;
    s.operFragmentationThreshold = m_values.fragmentationThreshold;
    s.operPreambleType = quint32(m_values.preamble + 1);
    s.operAuthenticationType = quint32(m_values.authentication + 1);
    s.operBasicRates = RatesToText(RateBoxesShown());
    s.operAutoRateFallBack = FormExchange::OnOff(m_values.autoRateFallBack);
    s.operSSIDBroadcasting = FormExchange::OnOff(m_values.ssidBroadcasting);
    s.operInterRoaming = FormExchange::OnOff(m_values.interRoaming);
    s.operAntennaSettings = quint32(m_values.antenna + 1);
    CloseForm();
    return true;
}

void CWireLessOperationalSettings::OnCancel()
{
    CloseForm();
}

void CWireLessOperationalSettings::OnAdvanced()
{
    // The Operational Mode dialog edits the cached mode and remote BSSID
    // itself; nothing on this form changes.
#ifdef HAVE_OPERATIONAL_MODE_DIALOG
    COperationalModeDialog dialog(m_mainFrame, this);
    CDialogRunner::Exec(dialog);
#endif
}

void CWireLessOperationalSettings::UpdateWidgets()
{
#ifdef HAVE_OPERATIONAL_MODE_DIALOG
    m_ui->advancedButton->setEnabled(true);
#else
    // Without the Operational Mode dialog in this build there is nothing to open.
    m_ui->advancedButton->setEnabled(false);
#endif
}

void CWireLessOperationalSettings::keyPressEvent(QKeyEvent* event)
{
    // Return takes the default button, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOk();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
