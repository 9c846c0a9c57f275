// A main window for the form tests: created as halvane creates it, with
// free ports, the MIB from the build's bin folder and message boxes
// answered through the seam. Optionally connected to a real apsim.
#pragma once

#include "apsim_process.h"
#include "child_frame.h"
#include "form_registry.h"
#include "form_view.h"
#include "halvane_app.h"
#include "main_frame.h"
#include "message_box.h"
#include "snmp_manager.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <memory>

class FormFixture
{
public:
    static quint16 FreePort()
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::AnyIPv4, 0);
        return probe.localPort();
    }

    // Once per test program: settings and the MIB's folder.
    static void InitTestCase(QTemporaryDir& dir)
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        QDir::setCurrent(QStringLiteral(QX_BIN_DIR));
    }

    // Message boxes are answered with OK and recorded.
    static void ResetMessages()
    {
        CMessageBox::setNextAnswer(QMessageBox::Ok);
        CMessageBox::clearShown();
    }

    // A created main window (not connected).
    static std::unique_ptr<CMainFrame> Frame(bool appView = false, quint16 agentPort = 0)
    {
        CHalvaneOptions options;
        options.agentPort = agentPort ? agentPort : FreePort();
        options.trapPort = FreePort();
        options.broadcast = QStringLiteral("127.255.255.255");
        CHalvaneSettings settings;
        settings.m_appView = appView;
        auto frame = std::make_unique<CMainFrame>(settings, options);
        if (frame->OnCreate() != 0)
            return nullptr;
        frame->resize(1000, 800);
        frame->show();
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame.get()))
            return nullptr;
        return frame;
    }

    // Points the session at an agent as a successful Connect leaves it.
    static void Attach(CMainFrame& frame, const QString& address, int authority = 1,
                       const QString& community = QStringLiteral("private"))
    {
        frame.Session().m_agentAddress = address;
        frame.Session().m_community = community;
        frame.Session().m_authority = authority;
        frame.Session().m_answered = true;
        // The connect probe leaves the manager pointed at the agent's port.
        frame.Session().Manager()->setRemotePort(frame.Options().agentPort);
    }

    // Starts apsim on address:port (no churn, so the stations stay put).
    static bool StartApsim(ApsimProcess& ap, const QString& address, quint16 port,
                           const QStringList& extra = {})
    {
        return ap.start(QStringList{QStringLiteral("--bind"), address, QStringLiteral("--port"),
                                    QString::number(port), QStringLiteral("--churn"),
                                    QStringLiteral("0"), QStringLiteral("--stdin")} +
                        extra);
    }

    // Sends one control line to apsim and returns its answer line (the
    // first line after it that starts with "ok" or "error").
    static QString Control(ApsimProcess& ap, const QByteArray& line)
    {
        const qsizetype before = ap.log().size();
        ap.control(line);
        QString answer;
        const bool answered = QTest::qWaitFor(
            [&] {
                const QList<QByteArray> lines = ap.log().mid(before).split('\n');
                for (qsizetype i = 0; i + 1 < lines.size(); ++i) { // complete lines only
                    const QByteArray l = lines[i].trimmed();
                    if (l.startsWith("ok") || l.startsWith("error")) {
                        answer = QString::fromLatin1(l);
                        return true;
                    }
                }
                return false;
            },
            5000);
        return answered ? answer : QStringLiteral("no answer");
    }

    // The value part of "ok NAME = VALUE".
    static QString ApsimValue(ApsimProcess& ap, const QString& name)
    {
        const QString answer = Control(ap, "get " + name.toLatin1());
        const qsizetype eq = answer.indexOf(QLatin1String(" = "));
        return eq < 0 ? answer : answer.mid(eq + 3);
    }

    // A mouse click where a user clicks a check box or radio button: on its
    // indicator (the box may be wider than its text); any other button in
    // its middle.
    static void Click(QAbstractButton* button)
    {
        QPoint where = button->rect().center();
        const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
        if (check || qobject_cast<QRadioButton*>(button)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            where = button->style()
                        ->subElementRect(check ? QStyle::SE_CheckBoxIndicator
                                               : QStyle::SE_RadioButtonIndicator,
                                         &option, button)
                        .center();
        }
        QTest::mouseClick(button, Qt::LeftButton, {}, where);
    }

    // The form of a registry index, opened by its command.
    template <class Form> static Form* Open(CMainFrame& frame, int index)
    {
        frame.OnCommand(FormTable()[index].openCommand);
        return qobject_cast<Form*>(frame.FormView(index));
    }

    // A form closes itself through a queued close command.
    static bool WaitClosed(CMainFrame& frame, int index)
    {
        return QTest::qWaitFor([&] { return !frame.FormOpen(index); }, 3000);
    }
    // The form stays open: the queued close command, if any, has had its chance.
    static bool StaysOpen(CMainFrame& frame, int index)
    {
        QTest::qWait(50);
        return frame.FormOpen(index);
    }
};
