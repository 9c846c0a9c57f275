// The link test window: the survey's list of access points, the target
// field, Start and Abort, the six counters of the ping run and the status.
#pragma once

#include "ping_run.h"
#include "survey.h"
#include "trelling_options.h"

#include <QWidget>
#include <memory>

namespace Ui
{
class frmMain;
}

class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(const TrellingOptions& options, QWidget* parent = nullptr);
    ~frmMain() override;

    const CSurvey& survey() const { return m_survey; }
    const CPingRun& pingRun() const { return m_run; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void ShowProgress(bool answered);
    void ClearStatistics();
    void showStatistics();
    void showAborted();

    void cmdPingClicked();
    void cmdAbortClicked();
    void rescanClicked();
    void apnameActivated(int index);

    void surveyStarted();
    void agentListed(const QString& description);
    void surveyEnded(int agents);
    void asynchronousError(const QString& text);

    std::unique_ptr<Ui::frmMain> m_ui;
    CSurvey m_survey;
    CPingRun m_run;
};
