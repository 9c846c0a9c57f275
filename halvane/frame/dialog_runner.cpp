#include "dialog_runner.h"

namespace {

CDialogRunner::Runner& installed()
{
    static CDialogRunner::Runner runner;
    return runner;
}

} // namespace

int CDialogRunner::Exec(QDialog& dialog)
{
    if (installed())
        return installed()(dialog);
    return dialog.exec();
}

void CDialogRunner::setRunner(Runner runner)
{
    installed() = std::move(runner);
}

void CDialogRunner::clearRunner()
{
    installed() = nullptr;
}
