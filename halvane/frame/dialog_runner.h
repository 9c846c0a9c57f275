// Runs modal dialogs. Tests install a runner of their own that inspects and
// answers a dialog instead of showing it.
#pragma once

#include <QDialog>
#include <functional>

class CDialogRunner
{
public:
    using Runner = std::function<int(QDialog& dialog)>;
    // Runs the dialog modally (or hands it to the installed test runner).
    static int Exec(QDialog& dialog);
    static void setRunner(Runner runner);
    static void clearRunner();
};
