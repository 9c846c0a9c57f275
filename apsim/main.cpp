// apsim: one emulated QX9304 access point.
#include "ap_emulator.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("apsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    ApEmulator emulator;
    QObject::connect(&emulator, &ApEmulator::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QString error;
    if (!emulator.start(app.arguments(), &error)) {
        fprintf(stderr, "apsim: %s\n", qPrintable(error));
        return 2;
    }
    return app.exec();
}
