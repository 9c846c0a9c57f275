// The child window of every form: no sizing border, no maximize box. Its
// close box asks the form to close itself, so that the main window's form
// registry stays right.
#pragma once

#include <QMdiSubWindow>

class CFormView;

class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    CChildFrame(CFormView* view, const QString& title, QWidget* parent = nullptr);
    CFormView* View() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CFormView* m_view;
};
