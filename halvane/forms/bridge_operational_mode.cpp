#include "bridge_operational_mode.h"

#include "form_checks.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_bridge_operational_mode.h"

int CBridgeOperationalMode::ChoiceOfMode(quint32 mode)
{
    switch (mode) {
    case 1:
        return BuildingToBuilding;
    case 2:
        return AccessPoint;
    case 3:
        return WirelessBridge;
    default:
        return NoChoice;
    }
}

QString CBridgeOperationalMode::ApplyOk(int choice, const QString& fieldText, quint32& mode,
                                        QString& mac)
{
    switch (choice) {
    case BuildingToBuilding:
    case WirelessBridge:
        if (!FormChecks::IsMacText(fieldText))
            return QStringLiteral("Invalid Mac Address");
        mode = choice == BuildingToBuilding ? 1 : 3;
        mac = fieldText.toUpper();
        break;
    case AccessPoint:
        mode = 2;
        break;
    default:
        break;
    }
    return QString();
}

CBridgeOperationalMode::CBridgeOperationalMode(CMainFrame* mainFrame, int closeCommand,
                                               QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CBridgeOperationalMode>())
{
    m_ui->setupUi(this);
    m_ui->macEdit->SetMask(QStringLiteral(">AA AA AA AA AA AA"));
    for (QAbstractButton* button : m_ui->modeGroup->buttons())
        connect(button, &QAbstractButton::clicked, this, &CBridgeOperationalMode::UpdateWidgets);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CBridgeOperationalMode::OnOk);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CFormView::CloseForm);
}

CBridgeOperationalMode::~CBridgeOperationalMode() = default;

int CBridgeOperationalMode::Choice() const
{
    const QList<QAbstractButton*> radios = {m_ui->buildingToBuildingRadio,
                                            m_ui->wirelessBridgeRadio, m_ui->accessPointRadio};
    return int(radios.indexOf(m_ui->modeGroup->checkedButton()));
}

QString CBridgeOperationalMode::MacText() const
{
    return m_ui->macEdit->Text();
}

void CBridgeOperationalMode::Populate()
{
    const CDeviceSession& session = m_mainFrame->Session();
    const int choice = ChoiceOfMode(session.bridgeOperationalMode);
    const QList<QAbstractButton*> radios = {m_ui->buildingToBuildingRadio,
                                            m_ui->wirelessBridgeRadio, m_ui->accessPointRadio};
    if (QAbstractButton* radio = radios.value(choice))
        radio->setChecked(true);
    if (choice == BuildingToBuilding || choice == WirelessBridge)
        m_ui->macEdit->SetText(session.bridgeRemoteBridgeBSSID);
    UpdateWidgets();
}

void CBridgeOperationalMode::UpdateWidgets()
{
    const int choice = Choice();
    m_ui->macEdit->setEnabled(choice == BuildingToBuilding || choice == WirelessBridge);
}

void CBridgeOperationalMode::OnOk()
{
    CDeviceSession& session = m_mainFrame->Session();
    quint32 mode = session.bridgeOperationalMode;
    QString mac = session.bridgeRemoteBridgeBSSID;
    const QString error = ApplyOk(Choice(), MacText(), mode, mac);
    if (!error.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, error);
        return;
    }
    session.bridgeOperationalMode = mode;
    session.bridgeRemoteBridgeBSSID = mac;
    CloseForm();
}
