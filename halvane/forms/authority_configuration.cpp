#include "authority_configuration.h"

#include "main_frame.h"
#include "message_box.h"
#include "ui_authority_configuration.h"

QString CAuthorityConfiguration::CheckPassword(const QString& newText, const QString& confirmText)
{
    if (newText != confirmText || confirmText.isEmpty())
        return QStringLiteral("Invalid Password");
    return QString();
}

CAuthorityConfiguration::CAuthorityConfiguration(CMainFrame* mainFrame, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAuthorityConfiguration>()), m_mainFrame(mainFrame)
{
    m_ui->setupUi(this);
    m_ui->administratorRadio->setChecked(true);
    UpdateWidgets();
    connect(m_ui->administratorRadio, &QRadioButton::clicked, this,
            &CAuthorityConfiguration::UpdateWidgets);
    connect(m_ui->userRadio, &QRadioButton::clicked, this, &CAuthorityConfiguration::UpdateWidgets);
    connect(m_ui->applyButton, &QPushButton::clicked, this, &CAuthorityConfiguration::OnApply);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CAuthorityConfiguration::reject);
}

CAuthorityConfiguration::~CAuthorityConfiguration() = default;

CAuthorityConfiguration::Group CAuthorityConfiguration::ChosenGroup() const
{
    return m_ui->userRadio->isChecked() ? User : Administrator;
}

void CAuthorityConfiguration::UpdateWidgets()
{
    const bool administrator = ChosenGroup() == Administrator;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_ui->adminNewLabel),
          static_cast<QWidget*>(m_ui->adminConfirmLabel), static_cast<QWidget*>(m_ui->adminNewEdit),
          static_cast<QWidget*>(m_ui->adminConfirmEdit)})
        widget->setEnabled(administrator);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_ui->userNewLabel), static_cast<QWidget*>(m_ui->userConfirmLabel),
          static_cast<QWidget*>(m_ui->userNewEdit), static_cast<QWidget*>(m_ui->userConfirmEdit)})
        widget->setEnabled(!administrator);
}

void CAuthorityConfiguration::OnApply()
{
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop,
                          QStringLiteral("You are not authorized for this action"));
        return;
    }
    const bool administrator = ChosenGroup() == Administrator;
    const QString newText = administrator ? m_ui->adminNewEdit->text() : m_ui->userNewEdit->text();
    const QString confirmText =
        administrator ? m_ui->adminConfirmEdit->text() : m_ui->userConfirmEdit->text();
    const QString error = CheckPassword(newText, confirmText);
    if (!error.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, error);
        return;
    }
    session.m_newCommunity = confirmText;
    if (!session.WriteAuthorized(administrator ? 2 : 1)) {
        CMessageBox::Show(this, CMessageBox::Stop, QStringLiteral("Password failed"));
        return;
    }
    // Later requests must carry the community the device now expects.
    if (administrator)
        session.m_community = confirmText;
    CMessageBox::Show(this, CMessageBox::Information, QStringLiteral("Password changed"));
}
