#include "connect_dialog.h"

#include "discovery.h"
#include "settings.h"
#include "ui_connect_dialog.h"

#include <QPushButton>

CConnectDialog::CConnectDialog(CDiscovery* discovery, bool profileFill, const QString& address,
                               QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CConnectDialog>()), m_discovery(discovery)
{
    m_ui->setupUi(this);
    m_ui->addressEdit->setText(profileFill ? CHalvaneSettings::ReadIpSettings() : address);
    m_ui->communityEdit->clear();
    m_ui->authorityCombo->addItems({QStringLiteral("User"), QStringLiteral("Administrator")});
    m_ui->authorityCombo->setCurrentIndex(0);
    m_ui->buttonBox->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &CConnectDialog::accept);
    connect(m_ui->buttonBox, &QDialogButtonBox::rejected, this, &CConnectDialog::reject);
}

CConnectDialog::~CConnectDialog() = default;

QString CConnectDialog::Address() const
{
    return m_ui->addressEdit->text();
}

QString CConnectDialog::Community() const
{
    return m_ui->communityEdit->text();
}

int CConnectDialog::AuthorityIndex() const
{
    return m_ui->authorityCombo->currentIndex();
}

void CConnectDialog::accept()
{
    const QString address = Address();
    const QString community = Community();
    const int authority = AuthorityIndex();
    CHalvaneSettings::WriteIpSettings(address);
    QDialog::accept();
    m_discovery->StartConnect(address, community, authority);
}
