// The peer of the start-up benchmark: a minimal Qt Widgets program whose main
// window holds a QMdiArea, shown maximized like halvane's.
#include "startup_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    installStartupProbe();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("MDI"));
    window.setCentralWidget(new QMdiArea(&window));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
