// Connect to Access Point: address, community and authority, then the
// connect probe.
#pragma once

#include <QDialog>
#include <memory>

class CDiscovery;
namespace Ui {
class CConnectDialog;
}

class CConnectDialog : public QDialog
{
    Q_OBJECT

public:
    // profileFill: take the address from the profile (opened from the
    // menu); otherwise show the given address (opened from the list).
    CConnectDialog(CDiscovery* discovery, bool profileFill, const QString& address,
                   QWidget* parent = nullptr);
    ~CConnectDialog() override;

    QString Address() const;
    QString Community() const;
    int AuthorityIndex() const;

    // OK: remember the address in the profile, close, probe.
    void accept() override;

private:
    std::unique_ptr<Ui::CConnectDialog> m_ui;
    CDiscovery* m_discovery;
};
