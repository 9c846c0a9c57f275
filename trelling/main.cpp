// trelling: access point survey and ping statistics for testing a bridge link.
#include "frm_main.h"
#include "trelling_options.h"

#include <QApplication>

#include <cstdio>

#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before the window system is opened, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("trelling %s\n", QX_VERSION);
            return 0;
        }
    }
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
