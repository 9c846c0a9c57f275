#include "child_frame.h"

#include "form_view.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CFormView* view, const QString& title, QWidget* parent)
    : QMdiSubWindow(parent,
                    Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint),
      m_view(view)
{
    setWidget(view);
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // No sizing border: the window keeps the size its form asks for.
    adjustSize();
    setFixedSize(sizeHint());
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    // The main window destroys the child when the form's close command
    // arrives; the close box only starts that.
    event->ignore();
    m_view->OnCloseRequest();
}
