// Shared set-up of the fuzz targets: one QCoreApplication for the process
// (timers and objects need it), Qt's warnings kept off the fuzzer's output,
// and the input as a QByteArray.
#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace qxfuzz
{

inline void quietMessages(QtMsgType type, const QMessageLogContext&, const QString&)
{
    // A fatal message must still end the run so that the fuzzer reports it.
    if (type == QtFatalMsg)
        abort();
}

inline QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        qInstallMessageHandler(quietMessages);
        return new QCoreApplication(argc, argv);
    }();
    return *app;
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace qxfuzz
