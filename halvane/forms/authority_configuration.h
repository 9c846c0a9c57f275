// " Authority configuration": a new Administrator or User community for the
// access point, typed twice.
#pragma once

#include <QDialog>
#include <memory>

class CMainFrame;
namespace Ui
{
class CAuthorityConfiguration;
}

class CAuthorityConfiguration : public QDialog
{
    Q_OBJECT

public:
    // The community being changed.
    enum Group { Administrator, User };

    // "Invalid Password" when the texts differ or the confirmation is
    // empty; empty when they may be sent.
    static QString CheckPassword(const QString& newText, const QString& confirmText);

    explicit CAuthorityConfiguration(CMainFrame* mainFrame, QWidget* parent = nullptr);
    ~CAuthorityConfiguration() override;

    Group ChosenGroup() const;
    void OnApply();

private:
    void UpdateWidgets();

    std::unique_ptr<Ui::CAuthorityConfiguration> m_ui;
    CMainFrame* m_mainFrame;
};
