#include "frm_main.h"

#include "message_box.h"
#include "ui_frm_main.h"

#include <QCloseEvent>
#include <QTimer>

frmMain::frmMain(const TrellingOptions& options, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::frmMain>())
{
    m_ui->setupUi(this);
    m_survey.setTrapPort(options.trapPort);
    m_survey.setAgentPort(options.agentPort);
    m_survey.setBroadcastAddress(options.broadcast);

    connect(m_ui->cmdPing, &QPushButton::clicked, this, &frmMain::cmdPingClicked);
    connect(m_ui->cmdAbort, &QPushButton::clicked, this, &frmMain::cmdAbortClicked);
    connect(m_ui->rescan, &QPushButton::clicked, this, &frmMain::rescanClicked);
    connect(m_ui->apname, &QComboBox::activated, this, &frmMain::apnameActivated);
    m_ui->txtHost->installEventFilter(this);

    connect(&m_survey, &CSurvey::surveyStarted, this, &frmMain::surveyStarted);
    connect(&m_survey, &CSurvey::agentListed, this, &frmMain::agentListed);
    connect(&m_survey, &CSurvey::surveyEnded, this, &frmMain::surveyEnded);
    connect(&m_survey, &CSurvey::statusText, m_ui->ap_survey, &QLabel::setText);
    // Shown once the current handler has returned, never from inside the
    // window's construction.
    connect(&m_survey, &CSurvey::asynchronousError, this, &frmMain::asynchronousError,
            Qt::QueuedConnection);
    connect(&m_run, &CPingRun::resultRecorded, this, [this](bool answered) {
        ShowProgress(answered);
        showStatistics();
    });

    load();
}

frmMain::~frmMain() = default;

void frmMain::load()
{
    ClearStatistics();
    ShowProgress(false);
    setWindowTitle(QStringLiteral("Trelling"));
    m_survey.loadMib();
    if (m_survey.OpenManager()) {
        m_survey.StartSurvey();
        m_run.setPingNotAborted(true);
    }
}

void frmMain::ShowProgress(bool answered)
{
    m_ui->ap_survey->setText(progressText(answered, m_run.PingNotAborted()));
}

void frmMain::ClearStatistics()
{
    for (QLabel* label : {m_ui->lblAttempts, m_ui->lblResponse, m_ui->lblLost, m_ui->lblAvg,
                          m_ui->lblWorst, m_ui->lblBest})
        label->clear();
    m_run.ClearStatistics();
}

void frmMain::showStatistics()
{
    const PingStatistics& s = m_run.statistics();
    m_ui->lblAttempts->setText(QString::number(s.attempts));
    m_ui->lblResponse->setText(QString::number(s.responses));
    m_ui->lblLost->setText(QString::number(s.lost));
    m_ui->lblBest->setText(timeText(s.best));
    m_ui->lblWorst->setText(timeText(s.worst));
    m_ui->lblAvg->setText(timeText(s.average));
}

void frmMain::cmdPingClicked()
{
    if (m_run.Running())
        return;
    m_run.setPingNotAborted(true);
    const QString host = m_ui->txtHost->text().trimmed();
    if (host.isEmpty())
        return;
    ClearStatistics();
    m_ui->cmdPing->setEnabled(false);
    m_ui->txtHost->setEnabled(false);
    m_ui->apname->setEnabled(false);
    m_ui->rescan->setEnabled(false);

    m_run.Run(host);

    m_ui->txtHost->setEnabled(true);
    m_ui->cmdPing->setEnabled(true);
    m_ui->cmdAbort->setEnabled(true);
    ShowProgress(false);
    if (m_run.CloseRequested())
        close();
}

void frmMain::showAborted()
{
    m_ui->cmdAbort->setEnabled(false);
    m_ui->apname->setEnabled(true);
    m_ui->rescan->setEnabled(true);
}

void frmMain::cmdAbortClicked()
{
    if (m_run.Abort())
        showAborted();
}

void frmMain::rescanClicked()
{
    m_survey.StartSurvey();
}

void frmMain::apnameActivated(int index)
{
    m_ui->txtHost->setText(m_survey.ResponderAddresses(index));
}

void frmMain::surveyStarted()
{
    m_ui->apname->clear();
    m_ui->apname->setEnabled(false);
    m_ui->cmdPing->setEnabled(false);
    m_ui->cmdAbort->setEnabled(false);
    m_ui->ap_survey->setText(QStringLiteral("Site Survey......"));
}

void frmMain::agentListed(const QString& description)
{
    m_ui->apname->addItem(description);
}

void frmMain::surveyEnded(int agents)
{
    // A late answer can end a survey again while a run goes on; the run
    // owns the controls and the status until it is over.
    if (m_run.Running())
        return;
    if (agents == 0) {
        m_ui->ap_survey->setText(CSurvey::endText(0));
        return;
    }
    m_ui->apname->setEnabled(true);
    m_ui->cmdPing->setEnabled(true);
    m_ui->cmdAbort->setEnabled(true);
    m_ui->ap_survey->setText(CSurvey::endText(agents));
}

void frmMain::asynchronousError(const QString& text)
{
    MessageBox::information(this, QStringLiteral("Asynchronous Error"), text);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_run.requestClose()) {
        // The run ends first; its end closes the window.
        showAborted();
        event->ignore();
        return;
    }
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->txtHost && event->type() == QEvent::FocusIn) {
        // After the focus change, so that the click that gave the focus
        // does not place the cursor over the selection.
        QTimer::singleShot(0, m_ui->txtHost, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, event);
}
