// halvane's start-up with the start-up probe: the same application object,
// command line and main window as the halvane program.
#include "halvane_app.h"
#include "startup_probe.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QApplication::setOrganizationName(QStringLiteral("ZELCORA"));
    installStartupProbe();
    return CHalvaneApp::Main(QApplication::arguments());
}
