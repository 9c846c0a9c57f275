#include "radio_configuration.h"

#include "main_frame.h"
#include "message_box.h"
#include "ui_radio_configuration.h"

#include <QKeyEvent>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const char* const kPowerTexts[CRadioConfiguration::kPositions] = {"00", "31", "65",
                                                                  "99", "CC", "FF"};
const QString kSection = QStringLiteral("Default_Value");

} // namespace

QString CRadioConfiguration::PowerText(int position)
{
    return QLatin1String(kPowerTexts[qBound(0, position, kPositions - 1)]);
}

int CRadioConfiguration::PositionOf(const QString& cr17)
{
    bool ok = false;
    const int value = cr17.size() == 2 ? cr17.toInt(&ok, 16) : 0;
    return ok ? qBound(0, value / 51, kPositions - 1) : 0;
}

QStringList CRadioConfiguration::SplitOctets(const QString& record)
{
    QStringList octets;
    for (int n = 0; n < kOctets; ++n)
        octets << record.mid(2 * n, 2);
    return octets;
}

QString CRadioConfiguration::SettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/SNMP_CR17.ini");
}

CRadioConfiguration::CRadioConfiguration(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CRadioConfiguration>())
{
    m_ui->setupUi(this);
    connect(m_ui->powerSlider, &QSlider::valueChanged, this, &CRadioConfiguration::OnSliderMoved);
    connect(m_ui->setButton, &QPushButton::clicked, this, &CRadioConfiguration::OnSet);
    connect(m_ui->restoreButton, &QPushButton::clicked, this,
            &CRadioConfiguration::OnRestoreDefault);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &CFormView::CloseForm);
}

CRadioConfiguration::~CRadioConfiguration() = default;

void CRadioConfiguration::Populate()
{
    m_octets = SplitOctets(m_mainFrame->Session().TestModeRadioConfiguration);
    m_channel1Cr17 = m_octets.value(0);
    m_ui->powerSlider->setRange(0, kPositions - 1);
    m_ui->powerSlider->setTickInterval(1);
    m_ui->powerSlider->setValue(PositionOf(m_channel1Cr17));
    OnSliderMoved();
}

int CRadioConfiguration::SliderPosition() const
{
    return m_ui->powerSlider->value();
}

void CRadioConfiguration::SetSliderPosition(int position)
{
    m_ui->powerSlider->setValue(position);
}

void CRadioConfiguration::OnSliderMoved()
{
    m_powerText = PowerText(m_ui->powerSlider->value());
}

void CRadioConfiguration::OnSet()
{
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop,
                          QStringLiteral("You are not authorized for this action"));
        return;
    }
    if (CMessageBox::Show(this, CMessageBox::Question,
                          QStringLiteral("Do you want to Set these values?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    for (int channel = 0; channel < kChannels; ++channel)
        m_octets[channel] = m_powerText;
    session.TestModeRadioConfiguration = m_octets.join(QString());
    QPointer<CRadioConfiguration> alive(this);
    const bool written = session.WriteRadioConfiguration();
    if (!alive)
        return;
    if (!written) {
        m_mainFrame->SetStatusText(QStringLiteral("Download Radio Configuration failed"));
        return;
    }
    QSettings file(SettingsPath(), QSettings::IniFormat);
    file.beginGroup(kSection);
    if (file.value(QStringLiteral("First"), QStringLiteral("1")).toString() == QLatin1String("1")) {
        file.setValue(QStringLiteral("CR17"), m_channel1Cr17);
        file.setValue(QStringLiteral("First"), QStringLiteral("0"));
    }
    file.endGroup();
    file.sync();
    m_mainFrame->SetStatusText(QStringLiteral("Download Radio Configuration Done"));
}

void CRadioConfiguration::OnRestoreDefault()
{
    {
        QSettings file(SettingsPath(), QSettings::IniFormat);
        file.beginGroup(kSection);
        m_powerText = file.value(QStringLiteral("CR17"), QStringLiteral("80")).toString().left(2);
    }
    QPointer<CRadioConfiguration> alive(this);
    OnSet();
    if (alive)
        Populate();
}

void CRadioConfiguration::keyPressEvent(QKeyEvent* event)
{
    // Return takes the default button, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnSet();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
