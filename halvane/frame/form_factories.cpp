// Which class stands behind each form of the registry.
#include "form_registry.h"
#include "form_view.h"
#include "trap_log.h"

CFormView* CreateFormView(int index, CMainFrame* mainFrame)
{
    const CFormDescription& form = FormTable()[index];
    switch (index) {
    case FormTrapLog:
        return new CTrapLog(mainFrame, form.closeCommand);
    default:
        return new CPlaceholderForm(mainFrame, form.closeCommand,
                                    QString::fromLatin1(form.title));
    }
}
