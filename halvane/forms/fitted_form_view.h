// A form view that sizes its child window to fit the form when the window
// first shows (the initial update of a form): the window's frame and title
// bar are known only once it stands in the MDI area.
#pragma once

#include "form_view.h"

class CFittedFormView : public CFormView
{
    Q_OBJECT

public:
    using CFormView::CFormView;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_fitted = false;
};
