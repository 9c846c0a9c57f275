// The peer of the start-up benchmark: a minimal Qt Widgets program whose main
// window holds a QMdiArea, shown maximized like halvane's.
//
// With --menus it also carries what every window with text pays for: a menu
// bar like halvane's first menu and a status bar of three panes in a bold
// 16-pixel font with one line of text. That variant is only a reference for
// the share of the start-up that text costs; the ratio is taken against the
// minimal program.
#include "startup_probe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    installStartupProbe();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("MDI"));
    window.setCentralWidget(new QMdiArea(&window));
    if (QApplication::arguments().contains(QStringLiteral("--menus"))) {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&Connect to Access Point\tCtrl+C"));
        file->addAction(QStringLiteral("&Find Access Point\tCtrl+F"));
        file->addAction(QStringLiteral("&Close Connection AP\tCtrl+L"))->setEnabled(false);
        file->addSeparator();
        file->addAction(QStringLiteral("E&xit"));
        QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
        help->addAction(QStringLiteral("Help &Topics.."));
        help->addSeparator();
        help->addAction(QStringLiteral("&About..."));
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(16);
        for (int i = 0; i < 3; ++i) {
            auto* pane = new QLabel(i == 0 ? QStringLiteral("Manager opened successfully") : QString());
            pane->setFont(font);
            if (i == 0)
                window.statusBar()->addWidget(pane, 1);
            else
                window.statusBar()->addPermanentWidget(pane);
        }
    }
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
