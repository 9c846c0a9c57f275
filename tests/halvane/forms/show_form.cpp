// Opens one form or dialog of halvane on a real device for a look at it:
//   show_form --agent-port N --address A [--user] NAME
// NAME is a menu command number (forms and the modal dialogs of the main
// window), or "operational-mode" / "select-mode" for the two dialogs that
// other forms open. The main window reads the configuration first, as a
// Connect does; the program runs until its window is closed.
#include "dialog_runner.h"
#include "main_frame.h"
#include "operational_mode_dialog.h"
#include "select_operational_mode_dialog.h"
#include "snmp_manager.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("agent-port"), QStringLiteral("agent port"),
                      QStringLiteral("N"), QStringLiteral("161")});
    parser.addOption({QStringLiteral("trap-port"), QStringLiteral("trap port"), QStringLiteral("N"),
                      QStringLiteral("0")});
    parser.addOption({QStringLiteral("address"), QStringLiteral("agent address"),
                      QStringLiteral("A"), QStringLiteral("127.0.0.2")});
    parser.addOption({QStringLiteral("user"), QStringLiteral("connect as User")});
    parser.addOption({QStringLiteral("extended"), QStringLiteral("extended menus")});
    parser.addPositionalArgument(QStringLiteral("name"), QStringLiteral("what to open"));
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        return 2;
    const QString name = parser.positionalArguments().first();

    CHalvaneOptions options;
    options.agentPort = quint16(parser.value(QStringLiteral("agent-port")).toUInt());
    options.trapPort = quint16(parser.value(QStringLiteral("trap-port")).toUInt());
    options.broadcast = QStringLiteral("127.255.255.255");
    CHalvaneSettings settings;
    settings.m_extendedMenus = parser.isSet(QStringLiteral("extended"));
    CMainFrame frame(settings, options);
    if (frame.OnCreate() != 0)
        return 1;
    frame.resize(1000, 760);
    frame.show();
    CDeviceSession& session = frame.Session();
    session.m_agentAddress = parser.value(QStringLiteral("address"));
    const bool user = parser.isSet(QStringLiteral("user"));
    session.m_community = user ? QStringLiteral("public") : QStringLiteral("private");
    session.m_authority = user ? 0 : 1;
    session.m_answered = true;
    session.Manager()->setRemotePort(options.agentPort);

    QTimer::singleShot(200, &frame, [&frame, name] {
        frame.OnCommand(ID_GET_CONFIGURATION);
        if (name == QLatin1String("operational-mode")) {
            auto* dialog = new COperationalModeDialog(&frame, &frame);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
        } else if (name == QLatin1String("select-mode")) {
            auto* dialog = new CSelectOperationalModeDialog(&frame, &frame);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
        } else {
            frame.OnCommand(name.toInt());
        }
    });
    return app.exec();
}
