// A stand-alone device end for trying brenlow by hand and for screenshots: serves the
// sample configuration block on the given path until stopped.
#include "device_fixture.h"
#include "sample_block.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--device"));
    const QString path = at > 0 && at + 1 < args.size() ? args.at(at + 1) : dfuDefaultDevicePath();
    DeviceFixture device(path);
    device.setStore(sampleBlock().bytes());
    if (!device.start()) {
        std::fprintf(stderr, "cannot listen at %s\n", qPrintable(path));
        return 1;
    }
    return app.exec();
}
