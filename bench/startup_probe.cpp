#include "startup_probe.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long statusKb(const QByteArray& status, const char* key)
{
    const qsizetype at = status.indexOf(key);
    if (at < 0)
        return -1;
    return strtol(status.constData() + at + qstrlen(key), nullptr, 10);
}

class StartupProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // The first paint of anything inside the main window starts the
        // window's first repaint; once the event loop is back, all of it
        // has been drawn.
        if (!m_seen && event->type() == QEvent::Paint && object->isWidgetType() &&
            qobject_cast<QMainWindow*>(static_cast<QWidget*>(object)->window())) {
            m_seen = true;
            QTimer::singleShot(0, this, [] { report(); });
        }
        return false;
    }

private:
    static void report()
    {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        QFile file(QStringLiteral("/proc/self/status"));
        const QByteArray status = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        printf("shown %lld %ld %ld\n", (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec,
               statusKb(status, "VmRSS:"), statusKb(status, "VmHWM:"));
        fflush(stdout);
        // The window has been drawn: nothing after this is measured.
        std::_Exit(0);
    }

    bool m_seen = false;
};

} // namespace

void installStartupProbe()
{
    qApp->installEventFilter(new StartupProbe(qApp));
}
