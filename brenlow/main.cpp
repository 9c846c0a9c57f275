#include "brenlow_texts.h"
#include "main_dialog.h"
#include "settings.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brenlow"));
    QApplication::setApplicationVersion(QString::fromLatin1(Texts::BrenlowVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("USB configuration utility"));
    parser.addHelpOption();
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("The DFU device (default %1).").arg(dfuDefaultDevicePath()),
        QStringLiteral("PATH"), dfuDefaultDevicePath());
    parser.addOption(device);
    parser.process(app);

    MainDialog dialog(parser.value(device), readAppMode(brenlowIniPath()));
    dialog.runVersionProbe();
    dialog.exec();
    return 0;
}
