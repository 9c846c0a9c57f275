// The variables the emulated access point knows: their kind, access, value checks and how
// they are kept. Object identifiers and wire syntaxes come from the MIB at start-up
// (ApVariableTable::bind); this table only holds what the MIB cannot say.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

class SnmpMib;

// One value of the store: an integer or a byte string, depending on the variable's kind.
struct ApValue {
    qint64 integer = 0;
    QByteArray bytes;

    static ApValue ofInteger(qint64 v) { return {v, {}}; }
    static ApValue ofBytes(const QByteArray& b) { return {0, b}; }
    bool operator==(const ApValue&) const = default;
};

enum class ApKind {
    Integer,   // INTEGER with a range
    Gauge,     // Gauge32
    TimeTicks, // TimeTicks
    Octets,    // binary OCTET STRING
    Text,      // OCTET STRING holding text
    IpAddress, // IpAddress (4 bytes)
    ObjectId,  // OBJECT IDENTIFIER
};

enum class ApAccess { ReadOnly, ReadWrite };

// How a value is kept across resets.
enum class ApKeep {
    None,      // status, command or derived value: not part of the configuration
    Running,   // configuration: changes are kept only after the upload command
    Immediate, // configuration written straight to the saved configuration
    Hardware,  // hardware record: saved at once, not touched by restoring defaults
};

struct ApVariable {
    QString name;
    ApKind kind = ApKind::Integer;
    ApAccess access = ApAccess::ReadOnly;
    ApKeep keep = ApKeep::None;
    qint64 minimum = 0;    // integers: range; byte strings: shortest length
    qint64 maximum = 0;    // integers: range; byte strings: longest length
    QList<int> sizes;      // byte strings with a fixed set of lengths (empty: min..max)
    bool internal = false; // not in the MIB (kept only for the DFU configuration block)

    // Filled from the MIB by ApVariableTable::bind.
    QString oid;       // without instance
    quint8 syntax = 0; // SnmpVariable::Syntax
};

enum class ApCheck {
    Ok,
    WrongType,
    WrongLength,
    WrongValue,
};

class ApVariableTable
{
public:
    ApVariableTable();

    // Resolves every non-internal variable in the MIB. Variables the MIB does not know
    // are dropped from the SNMP view; their names are returned in missing.
    bool bind(const SnmpMib& mib, QStringList* missing);

    const ApVariable* find(const QString& name) const;
    // By dotted identifier with instance (for example "1.3.6.1.2.1.1.1.0").
    const ApVariable* findInstance(const QString& dottedWithInstance) const;
    // The first SNMP-visible variable whose instance identifier comes after oid.
    const ApVariable* next(const QString& dotted) const;
    const QList<ApVariable>& all() const { return m_variables; }
    // Identifier of the enterprise (qx9304): sysObjectID and the enterprise of traps.
    QString enterpriseOid() const { return m_enterprise; }

    // Range and length checks of a value of the variable's kind.
    static ApCheck checkValue(const ApVariable& var, const ApValue& value);

private:
    QList<ApVariable> m_variables;
    QString m_enterprise;
    QHash<QString, int> m_byName;
    QHash<QString, int> m_byInstance;
    QList<QPair<QList<quint32>, int>> m_order; // SNMP-visible instances, sorted
};

// Byte order helpers for the little-endian blocks of the device.
quint32 apReadLe32(const QByteArray& block, int offset);
void apWriteLe32(QByteArray& block, int offset, quint32 value);
quint16 apReadLe16(const QByteArray& block, int offset);
void apWriteLe16(QByteArray& block, int offset, quint16 value);

// "00A0F8123456" or "00-a0-f8-12-34-56" to 6 bytes; empty when it is not a MAC address.
QByteArray apParseMac(const QString& text);
QString apMacText(const QByteArray& mac);
