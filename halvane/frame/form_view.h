// The base of every form view: a child window's content with the entry
// points the main window calls, and the close command it sends back.
#pragma once

#include <QWidget>

class CMainFrame;

class CFormView : public QWidget
{
    Q_OBJECT

public:
    CFormView(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);

    // Prepares the form (from the cache or from the device).
    virtual void Populate() {}
    // Copies the cached group into the form and redraws it.
    virtual void Refresh() {}
    // Clears the form's busy flag (the known BSSs form, before Populate).
    virtual void ClearBusy() {}
    // The child window's close box: the form's own close actions, then
    // CloseForm(). Forms with close actions of their own override it.
    virtual void OnCloseRequest() { CloseForm(); }
    // Asks the main window to close this form through its close command.
    void CloseForm();

    int CloseCommand() const { return m_closeCommand; }

protected:
    CMainFrame* m_mainFrame;

private:
    int m_closeCommand;
};

// Stands in for a form whose view is not built yet.
class CPlaceholderForm : public CFormView
{
    Q_OBJECT

public:
    CPlaceholderForm(CMainFrame* mainFrame, int closeCommand, const QString& title,
                     QWidget* parent = nullptr);
};
