// The configuration store of the emulated access point: the running configuration, the
// saved configuration (what the device keeps in flash, mirrored in the state file) and the
// factory defaults. The SNMP agent and the DFU endpoint both work on this one store.
#pragma once

#include "ap_variables.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class ApStore : public QObject
{
    Q_OBJECT

public:
    using Values = QHash<QString, ApValue>;

    explicit ApStore(const ApVariableTable* table, QObject* parent = nullptr);

    // Factory defaults of every configuration variable; they become the running and the
    // saved configuration.
    void setDefaults(const Values& defaults, const QList<QByteArray>& macTable = {});

    // Where the saved configuration is kept; empty keeps it in memory only.
    void setStatePath(const QString& path) { m_statePath = path; }
    QString statePath() const { return m_statePath; }
    // Reads the state file into the saved and the running configuration. A missing file
    // is no error (the defaults stay); a damaged one is reported and changes nothing.
    bool loadState(QString* error);

    bool contains(const QString& name) const { return m_running.contains(name); }
    ApValue value(const QString& name) const { return m_running.value(name); }
    qint64 integer(const QString& name) const { return m_running.value(name).integer; }
    QByteArray bytes(const QString& name) const { return m_running.value(name).bytes; }
    ApValue savedValue(const QString& name) const { return m_saved.value(name); }

    // Changes the running configuration. Variables kept immediately (access rights,
    // hardware records) also change the saved configuration and the state file.
    void setValue(const QString& name, const ApValue& value);
    // Changes running and saved configuration at once (a write through the DFU link,
    // which the device stores directly).
    void setStored(const QString& name, const ApValue& value);
    // The same for several values, with one write of the state file.
    void setStoredValues(const Values& values);

    // The MAC authorization table (at most 680 addresses of 6 bytes), kept immediately.
    QList<QByteArray> macTable() const { return m_macTable; }
    void setMacTable(const QList<QByteArray>& table);

    // The upload command: the running configuration becomes the saved one.
    bool upload(QString* error = nullptr);
    // After a restart: the saved configuration becomes the running one.
    void revertToSaved();
    // Factory defaults for running and saved configuration; hardware records stay.
    bool loadDefaults(QString* error = nullptr);
    // Writes the saved configuration to the state file (temporary file, then rename).
    bool writeState(QString* error = nullptr);

Q_SIGNALS:
    // A running value changed (also by revert or defaults).
    void changed(const QString& name);

private:
    void assignRunning(const Values& values);

    const ApVariableTable* m_table;
    Values m_defaults;
    Values m_running;
    Values m_saved;
    QList<QByteArray> m_macTable;
    QList<QByteArray> m_defaultMacTable;
    QString m_statePath;
};
