#include "trap_log.h"

#include "main_frame.h"
#include "ui_trap_log.h"

#include <QScrollBar>

namespace {

// The log keeps the device's line ends; the edit shows plain line breaks.
QString displayText(const QString& log)
{
    QString text = log;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

} // namespace

CTrapLog::CTrapLog(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : CFormView(mainFrame, closeCommand, parent), m_ui(std::make_unique<Ui::CTrapLog>())
{
    m_ui->setupUi(this);
    connect(m_ui->clearButton, &QPushButton::clicked, this, &CTrapLog::ClearLog);
}

CTrapLog::~CTrapLog() = default;

void CTrapLog::Refresh()
{
    m_ui->logEdit->setPlainText(displayText(m_mainFrame->TrapRecorder().Log()));
    m_ui->logEdit->verticalScrollBar()->setValue(m_ui->logEdit->verticalScrollBar()->maximum());
}

void CTrapLog::AppendTrap(const QString& text)
{
    QTextCursor cursor(m_ui->logEdit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayText(text));
    m_ui->logEdit->verticalScrollBar()->setValue(m_ui->logEdit->verticalScrollBar()->maximum());
}

void CTrapLog::ClearLog()
{
    m_mainFrame->Session().m_trapCount = 0;
    m_mainFrame->HideTrapPane();
    m_ui->logEdit->clear();
    m_mainFrame->TrapRecorder().ClearLog();
}

void CTrapLog::OnCloseRequest()
{
    m_mainFrame->Session().m_trapCount = 0;
    m_mainFrame->HideTrapPane();
    CloseForm();
}

QString CTrapLog::Text() const
{
    return m_ui->logEdit->toPlainText();
}

void CTrapLog::resizeEvent(QResizeEvent* event)
{
    CFormView::resizeEvent(event);
    // The edit fills the form except the bottom 20 pixels, which hold the
    // button at full width.
    const int w = width();
    const int h = height();
    m_ui->logEdit->setGeometry(0, 0, w, qMax(0, h - 20));
    m_ui->clearButton->setGeometry(0, qMax(0, h - 20), w, 20);
}
