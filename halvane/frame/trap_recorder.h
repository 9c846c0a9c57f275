// The trap recorder: a second manager and MIB pair that listens for traps for
// the whole run and keeps the text log of the traps from the connected
// access point. No widgets: the main window shows the counter and the log.
#pragma once

#include "snmp_manager.h"
#include "snmp_mib.h"

#include <QObject>
#include <QString>
#include <QTime>

class CDeviceSession;

class CTrapRecorder : public QObject
{
    Q_OBJECT

public:
    enum CreateResult {
        Created,
        CreateFailed,     // components or MIB file: "Cannot create Traps"
        ListenFailed,     // the port could not be opened: the process ends
    };

    explicit CTrapRecorder(CDeviceSession* session, QObject* parent = nullptr);

    // Opens the trap port and loads the MIB; see CreateResult.
    CreateResult Create(quint16 trapPort, const QString& mibFile = QStringLiteral("QX9304.mib"));
    // After ListenFailed: the message box text of the failure, the system's
    // reason, and the error number the manager reported.
    QString ListenFailureText() const;
    QString ListenFailureReason() const { return m_lastErrorText; }
    int LastErrorNumber() const { return m_lastErrorNumber; }
    QString MibErrorText() const { return m_trapMib.errorText(); }

    const QString& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

    // The log lines of one trap (header, MIB name, variable lines).
    static QString FormatTrap(const SnmpMessage& trap, const QString& source, const QTime& time,
                              const SnmpMib& mib);

    SnmpManager& TrapManager() { return m_trapManager; }

Q_SIGNALS:
    // An accepted trap has been logged: the count is m_trapCount, text is
    // what it added to the log.
    void TrapLogged(int trapCount, const QString& text);

private:
    void OnTrap();

    CDeviceSession* m_session;
    SnmpManager m_trapManager;
    SnmpMib m_trapMib;
    QString m_log;
    int m_lastErrorNumber = 0;
    QString m_lastErrorText;
};
