#include "brenlow_texts.h"
#include "main_dialog.h"
#include "settings.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // The options are read before the window system is opened, so that --help and a wrong
    // option work without a display.
    const QString defaultDevice = dfuDefaultDevicePath();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("brenlow: USB configuration utility"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption device(
        QStringLiteral("device"), QStringLiteral("The DFU device (default %1).").arg(defaultDevice),
        QStringLiteral("PATH"), defaultDevice);
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(device);
    const QString usage =
        parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("brenlow"));
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "brenlow: %s\n%s",
                     qPrintable(parser.errorText().isEmpty() ? QStringLiteral("unexpected argument")
                                                             : parser.errorText()),
                     qPrintable(usage));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(usage), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("brenlow %s\n", Texts::BrenlowVersion);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("brenlow"));
    QApplication::setApplicationVersion(QString::fromLatin1(Texts::BrenlowVersion));
    MainDialog dialog(parser.value(device), readAppMode(brenlowIniPath()));
    dialog.runVersionProbe();
    dialog.exec();
    return 0;
}
