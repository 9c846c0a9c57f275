#include "form_view.h"

#include "main_frame.h"

#include <QLabel>
#include <QVBoxLayout>

CFormView::CFormView(CMainFrame* mainFrame, int closeCommand, QWidget* parent)
    : QWidget(parent), m_mainFrame(mainFrame), m_closeCommand(closeCommand)
{
}

void CFormView::CloseForm()
{
    // A command notification: the main window destroys the form after the
    // current event, so the form's own handler can return first.
    const int command = m_closeCommand;
    CMainFrame* frame = m_mainFrame;
    QMetaObject::invokeMethod(
        frame, [frame, command] { frame->OnCommand(command); }, Qt::QueuedConnection);
}

CPlaceholderForm::CPlaceholderForm(CMainFrame* mainFrame, int closeCommand, const QString& title,
                                   QWidget* parent)
    : CFormView(mainFrame, closeCommand, parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("%1 is not available in this version yet.")
                                 .arg(title.trimmed()),
                             this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    setMinimumSize(360, 120);
}
