// SNMP variables and messages as the programs see them, with BER encoding
// and decoding done by net-snmp's libsnmp (snmp_build / snmp_parse).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One variable binding: a dotted object identifier, a syntax and a value.
class SnmpVariable
{
public:
    // ASN.1 / SNMP tags of the value as it travels.
    enum Syntax : quint8 {
        Integer = 0x02,
        OctetString = 0x04,
        Null = 0x05,
        ObjectId = 0x06,
        IpAddress = 0x40,
        Counter32 = 0x41,
        Gauge32 = 0x42,
        TimeTicks = 0x43,
        Opaque = 0x44,
        Counter64 = 0x46,
        NoSuchObject = 0x80,
        NoSuchInstance = 0x81,
        EndOfMibView = 0x82,
    };
    // The two kinds the programs distinguish.
    enum Type { IntegerType = 1, ByteStringType = 2 };

    SnmpVariable() = default;
    explicit SnmpVariable(const QString& identifier) : m_identifier(identifier) {}

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }

    Syntax syntax() const { return m_syntax; }
    // 1 for the integer syntaxes (INTEGER, Counter, Gauge, TimeTicks), 2 for all others.
    int type() const;

    // Integers in decimal, IP addresses dotted, object identifiers dotted,
    // octet strings as their characters (Latin-1, up to the first zero byte).
    QString valueText() const;
    // The octet string's bytes; the four bytes of an IP address; empty for
    // integers and null values.
    QByteArray valueBytes() const;
    qint64 valueInteger() const { return m_integer; }

    // Writers for requests and answers.
    void setInteger(qint64 value, Syntax syntax = Integer);
    // The decimal text of an integer; anything that is not a number is refused.
    bool setIntegerText(const QString& text);
    void setBytes(const QByteArray& bytes, Syntax syntax = OctetString);
    void setNull(Syntax syntax = Null);
    void setObjectId(const QString& dotted);

    bool operator==(const SnmpVariable&) const = default;

private:
    QString m_identifier;
    Syntax m_syntax = Null;
    qint64 m_integer = 0;   // integer syntaxes (Counter64 kept as unsigned bits)
    QByteArray m_bytes;     // octet strings, IP addresses, opaque
    QString m_objectId;     // ObjectId values
};

// The variable collection of a message; item() is 1-based.
class SnmpVariables
{
public:
    void add(const SnmpVariable& variable) { m_list.append(variable); }
    int count() const { return int(m_list.size()); }
    // Position 1 is the first variable; a position out of range gives nullptr.
    const SnmpVariable* item(int position) const;
    SnmpVariable* item(int position);
    void clear() { m_list.clear(); }
    const QList<SnmpVariable>& list() const { return m_list; }

    bool operator==(const SnmpVariables&) const = default;

private:
    QList<SnmpVariable> m_list;
};

// A request, an answer or a trap.
class SnmpMessage
{
public:
    // Message types, numbered as the PDU tag minus 0x80.
    enum Type {
        GetRequest = 32,
        GetNextRequest = 33,
        GetResponse = 34,
        SetRequest = 35,
        TrapV1 = 36,
        GetBulkRequest = 37,
        InformRequest = 38,
        TrapV2 = 39,
        Report = 40,
    };
    enum Version { V1 = 0, V2c = 1 };

    // Empties the variable list and resets the header fields.
    void clear();

    Version version() const { return m_version; }
    void setVersion(Version v) { m_version = v; }
    QByteArray community() const { return m_community; }
    void setCommunity(const QByteArray& c) { m_community = c; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    qint32 requestId() const { return m_requestId; }
    void setRequestId(qint32 id) { m_requestId = id; }
    int errorStatus() const { return m_errorStatus; }
    void setErrorStatus(int s) { m_errorStatus = s; }
    int errorIndex() const { return m_errorIndex; }
    void setErrorIndex(int i) { m_errorIndex = i; }

    // Trap fields. For an SNMPv1 trap the trap code is the specific code of an
    // enterprise-specific trap (generic 6) and the generic code otherwise; for
    // an SNMPv2c trap it is the last sub-identifier of snmpTrapOID.0.
    int trapCode() const;
    QString enterprise() const { return m_enterprise; }
    void setEnterprise(const QString& dotted) { m_enterprise = dotted; }
    QByteArray trapAgentAddress() const { return m_agentAddress; }   // 4 bytes
    void setTrapAgentAddress(const QByteArray& a) { m_agentAddress = a; }
    int genericTrap() const { return m_genericTrap; }
    void setGenericTrap(int g) { m_genericTrap = g; }
    int specificTrap() const { return m_specificTrap; }
    void setSpecificTrap(int s) { m_specificTrap = s; }
    quint32 timeStamp() const { return m_timeStamp; }
    void setTimeStamp(quint32 t) { m_timeStamp = t; }
    // For SNMPv2c traps: the trap's identifier from snmpTrapOID.0. The two
    // leading bindings (sysUpTime.0, snmpTrapOID.0) are not in variables().
    QString trapOid() const { return m_trapOid; }
    void setTrapOid(const QString& dotted) { m_trapOid = dotted; }

    SnmpVariables& variables() { return m_variables; }
    const SnmpVariables& variables() const { return m_variables; }

    // BER encoding; an empty array when the message cannot be encoded.
    QByteArray encode() const;
    // BER decoding of an SNMPv1 or SNMPv2c message; nothing for anything else
    // (malformed, truncated, other versions).
    static std::optional<SnmpMessage> decode(const QByteArray& datagram);

    bool operator==(const SnmpMessage&) const = default;

private:
    Version m_version = V1;
    QByteArray m_community;
    int m_type = GetRequest;
    qint32 m_requestId = 0;
    int m_errorStatus = 0;
    int m_errorIndex = 0;
    QString m_enterprise;
    QByteArray m_agentAddress;
    int m_genericTrap = 0;
    int m_specificTrap = 0;
    quint32 m_timeStamp = 0;
    QString m_trapOid;
    SnmpVariables m_variables;
};

// Dotted identifier text ("1.3.6.1" or ".1.3.6.1") to sub-identifiers; false
// for anything else.
bool parseDottedOid(const QString& text, QList<quint32>& out);
