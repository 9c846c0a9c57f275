// trelling: access point survey and ping statistics for testing a bridge link.
#include "frm_main.h"
#include "trelling_options.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelling"));
    const TrellingCommandLine commandLine = parseTrellingCommandLine(QApplication::arguments());
    if (commandLine.helpRequested) {
        std::fputs(qPrintable(commandLine.helpText), stdout);
        return 0;
    }
    if (!commandLine.errorText.isEmpty()) {
        std::fprintf(stderr, "trelling: %s\n", qPrintable(commandLine.errorText));
        return 2;
    }
    frmMain window(commandLine.options);
    window.show();
    return QApplication::exec();
}
