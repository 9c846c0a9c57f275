#include "operational_mode_dialog.h"

#include "form_checks.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_operational_mode_dialog.h"

#include <QPushButton>

namespace
{

const QString kMacMask = QStringLiteral(">AA AA AA AA AA AA");
const QColor kDisabledColor(0xC0, 0xC0, 0xC0);

void checkOne(QButtonGroup* group, QAbstractButton* button)
{
    // An exclusive group cannot be emptied button by button.
    group->setExclusive(false);
    for (QAbstractButton* member : group->buttons())
        member->setChecked(member == button);
    group->setExclusive(true);
}

} // namespace

COperationalModeDialog::Values COperationalModeDialog::FromCache(quint32 mode, const QString& mac)
{
    Values values;
    const bool macSet = mac != QLatin1String(kNoMac);
    switch (mode) {
    case 1:
        values.mode = WirelessBridge;
        values.kind = PointToMultiPoint;
        break;
    case 2:
        values.mode = AccessPoint;
        break;
    case 3:
        values.mode = AccessPointClient;
        values.clientPreferred = macSet;
        values.clientMac = mac;
        break;
    case 4:
        values.mode = WirelessBridge;
        values.kind = PointToPoint;
        values.remoteMac = mac;
        break;
    case 5:
        values.mode = WirelessRepeater;
        values.repeaterPreferred = macSet;
        values.repeaterMac = mac;
        break;
    default:
        break;
    }
    return values;
}

COperationalModeDialog::Enabling COperationalModeDialog::EnablingOf(const Values& values)
{
    Enabling on;
    switch (values.mode) {
    case AccessPointClient:
        on.clientBox = true;
        on.clientMac = values.clientPreferred;
        break;
    case WirelessBridge:
        on.kindRadios = true;
        on.remoteMac = values.kind == PointToPoint;
        break;
    case WirelessRepeater:
        on.repeaterBox = true;
        on.repeaterMac = values.repeaterPreferred;
        break;
    default:
        // "Access Point", and no mode at all: only the mode radios.
        break;
    }
    return on;
}

QString COperationalModeDialog::ApplyOk(const Values& values, quint32& mode, QString& mac)
{
    // The MAC text that goes into the cache, when one does.
    std::optional<QString> newMac;
    quint32 newMode = mode;
    switch (values.mode) {
    case AccessPoint:
        newMode = 2;
        break;
    case AccessPointClient:
        newMode = 3;
        newMac = values.clientPreferred ? values.clientMac : QLatin1String(kNoMac);
        break;
    case WirelessBridge:
        if (values.kind == PointToPoint) {
            newMode = 4;
            newMac = values.remoteMac;
        } else if (values.kind == PointToMultiPoint) {
            newMode = 1;
        }
        break;
    case WirelessRepeater:
        newMode = 5;
        newMac = values.repeaterPreferred ? values.repeaterMac : QLatin1String(kNoMac);
        break;
    default:
        break;
    }
    // A half-typed or non-hexadecimal address would reach the device as
    // other octets than those shown.
    if (newMac && !FormChecks::IsMacText(*newMac))
        return QStringLiteral("Invalid Mac Address");
    mode = newMode;
    if (newMac)
        mac = newMac->toUpper();
    return QString();
}

COperationalModeDialog::COperationalModeDialog(CMainFrame* mainFrame, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::COperationalModeDialog>()), m_mainFrame(mainFrame)
{
    m_ui->setupUi(this);
    for (CMSMask* field : {m_ui->clientMacEdit, m_ui->remoteMacEdit, m_ui->repeaterMacEdit})
        field->SetMask(kMacMask);
    m_enabledColor = m_ui->clientMacEdit->BackColor();

    const CDeviceSession& session = m_mainFrame->Session();
    PushValues(FromCache(session.bridgeOperationalMode, session.bridgeRemoteBridgeBSSID));
    UpdateWidgets();

    for (QAbstractButton* button : m_ui->modeGroup->buttons())
        connect(button, &QAbstractButton::clicked, this, &COperationalModeDialog::UpdateWidgets);
    for (QAbstractButton* button : m_ui->kindGroup->buttons())
        connect(button, &QAbstractButton::clicked, this, &COperationalModeDialog::UpdateWidgets);
    connect(m_ui->clientPreferredBox, &QCheckBox::clicked, this,
            &COperationalModeDialog::UpdateWidgets);
    connect(m_ui->repeaterPreferredBox, &QCheckBox::clicked, this,
            &COperationalModeDialog::UpdateWidgets);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &COperationalModeDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &COperationalModeDialog::reject);
}

COperationalModeDialog::~COperationalModeDialog() = default;

COperationalModeDialog::Values COperationalModeDialog::TakeValues() const
{
    Values values;
    const QList<QAbstractButton*> modes = {m_ui->accessPointRadio, m_ui->accessPointClientRadio,
                                           m_ui->wirelessBridgeRadio, m_ui->wirelessRepeaterRadio};
    values.mode = int(modes.indexOf(m_ui->modeGroup->checkedButton()));
    const QList<QAbstractButton*> kinds = {m_ui->pointToPointRadio, m_ui->pointToMultiPointRadio};
    values.kind = int(kinds.indexOf(m_ui->kindGroup->checkedButton()));
    values.clientPreferred = m_ui->clientPreferredBox->isChecked();
    values.repeaterPreferred = m_ui->repeaterPreferredBox->isChecked();
    values.clientMac = m_ui->clientMacEdit->Text();
    values.remoteMac = m_ui->remoteMacEdit->Text();
    values.repeaterMac = m_ui->repeaterMacEdit->Text();
    return values;
}

void COperationalModeDialog::PushValues(const Values& values)
{
    const QList<QAbstractButton*> modes = {m_ui->accessPointRadio, m_ui->accessPointClientRadio,
                                           m_ui->wirelessBridgeRadio, m_ui->wirelessRepeaterRadio};
    checkOne(m_ui->modeGroup, modes.value(values.mode));
    const QList<QAbstractButton*> kinds = {m_ui->pointToPointRadio, m_ui->pointToMultiPointRadio};
    checkOne(m_ui->kindGroup, kinds.value(values.kind));
    m_ui->clientPreferredBox->setChecked(values.clientPreferred);
    m_ui->repeaterPreferredBox->setChecked(values.repeaterPreferred);
    m_ui->clientMacEdit->SetText(values.clientMac);
    m_ui->remoteMacEdit->SetText(values.remoteMac);
    m_ui->repeaterMacEdit->SetText(values.repeaterMac);
}

void COperationalModeDialog::EnableMacField(CMSMask* field, bool enabled)
{
    field->setEnabled(enabled);
    field->SetBackColor(enabled ? m_enabledColor : kDisabledColor);
}

void COperationalModeDialog::UpdateWidgets()
{
    const Enabling on = EnablingOf(TakeValues());
    m_ui->pointToPointRadio->setEnabled(on.kindRadios);
    m_ui->pointToMultiPointRadio->setEnabled(on.kindRadios);
    m_ui->clientPreferredBox->setEnabled(on.clientBox);
    EnableMacField(m_ui->clientMacEdit, on.clientMac);
    m_ui->remoteMacLabel->setEnabled(on.remoteMac);
    EnableMacField(m_ui->remoteMacEdit, on.remoteMac);
    m_ui->repeaterPreferredBox->setEnabled(on.repeaterBox);
    EnableMacField(m_ui->repeaterMacEdit, on.repeaterMac);
}

void COperationalModeDialog::accept()
{
    CDeviceSession& session = m_mainFrame->Session();
    quint32 mode = session.bridgeOperationalMode;
    QString mac = session.bridgeRemoteBridgeBSSID;
    const QString error = ApplyOk(TakeValues(), mode, mac);
    if (!error.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, error);
        return;
    }
    session.bridgeOperationalMode = mode;
    session.bridgeRemoteBridgeBSSID = mac;
    QDialog::accept();
}
