#include "fitted_form_view.h"

#include <QMdiSubWindow>

void CFittedFormView::showEvent(QShowEvent* event)
{
    CFormView::showEvent(event);
    if (m_fitted)
        return;
    m_fitted = true;
    if (auto* child = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        child->setFixedSize(child->sizeHint());
        // Keep the fitted window inside the MDI area where it was placed.
        if (QWidget* area = child->parentWidget()) {
            const QPoint pos(qBound(0, child->x(), qMax(0, area->width() - child->width())),
                             qBound(0, child->y(), qMax(0, area->height() - child->height())));
            child->move(pos);
        }
    }
}
