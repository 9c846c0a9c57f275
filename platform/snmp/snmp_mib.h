// The MIB object: loads a MIB file with net-snmp's parser and translates
// names to object identifiers. All MIB objects of a process share net-snmp's
// one MIB tree; each keeps track of what it has loaded itself.
#pragma once

#include "snmp_message.h"

#include <QHash>
#include <QString>
#include <QStringList>

class SnmpMib
{
public:
    // Loads a MIB file. A bare file name is looked for in the current
    // directory, then in the program's own directory, then in
    // <program dir>/../share/qx9304, then in the configured data directory;
    // a name with a directory part is used as it stands.
    bool load(const QString& fileName);
    bool isLoaded() const { return m_loaded; }
    // Why the last load failed.
    QString errorText() const { return m_errorText; }
    // The file that was loaded.
    QString loadedPath() const { return m_path; }

    // Dotted identifier of a MIB name, without instance; empty when unknown
    // or when nothing has been loaded.
    QString identifierOf(const QString& name) const;
    // The syntax a variable has in the MIB (OctetString when unknown).
    SnmpVariable::Syntax syntaxOf(const QString& name) const;
    // Name of the notification (trap) node whose number is the low 16 bits
    // of key; empty when there is none.
    QString nodeName(int key) const;

    // Where a bare file name is looked for, in order.
    static QStringList searchDirectories();

private:
    static SnmpVariable::Syntax syntaxOfType(int type);

    bool m_loaded = false;
    QString m_path;
    QString m_errorText;
    // Every request names its variables through here: names once found are
    // kept, so that the MIB tree is searched once per name.
    mutable QHash<QString, QString> m_identifiers;
    mutable QHash<QString, SnmpVariable::Syntax> m_syntaxes;
};
