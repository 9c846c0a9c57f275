#include "snmp_message.h"

#include "snmp_library.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QStringList>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Standard identifiers of SNMPv2 trap messages.
const char* const kSysUpTime0 = "1.3.6.1.2.1.1.3.0";
const char* const kSnmpTrapOid0 = "1.3.6.1.6.3.1.1.4.1.0";

// Dotted text to sub-identifiers, at most MAX_OID_LEN of them, each
// fitting 32 bits; a leading dot is allowed. Returns the count, or -1.
template <typename Store>
int parseDotted(QStringView view, Store&& store)
{
    if (view.startsWith(QLatin1Char('.')))
        view = view.mid(1);
    if (view.isEmpty() || view.size() > 4 * MAX_OID_LEN)
        return -1;
    // One pass: digits make up the current number, a dot ends it; every
    // number needs a digit and must fit 32 bits.
    int count = 0;
    quint64 value = 0;
    bool digits = false;
    for (const QChar c : view) {
        if (c == QLatin1Char('.')) {
            if (!digits || count >= int(MAX_OID_LEN))
                return -1;
            store(count++, quint32(value));
            value = 0;
            digits = false;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            value = value * 10 + (c.unicode() - '0');
            if (value > 0xffffffffULL)
                return -1;
            digits = true;
        } else {
            return -1;
        }
    }
    if (!digits || count >= int(MAX_OID_LEN))
        return -1;
    store(count++, quint32(value));
    return count;
}

// An identifier as net-snmp takes it, on the stack: every variable of every
// request is converted, and none of them needs the heap for it.
struct OidBuffer {
    oid parts[MAX_OID_LEN];
    size_t length = 0;

    bool parse(const QString& dotted)
    {
        const int count = parseDotted(dotted, [this](int i, quint32 v) { parts[i] = v; });
        length = count < 0 ? 0 : size_t(count);
        return count >= 0;
    }
};

// Sessions as snmp_sess_init leaves them, made once: encode and decode only
// set the version and the community of a copy.
const netsnmp_session& initialSession()
{
    static const netsnmp_session session = [] {
        netsnmp_session s;
        snmp_sess_init(&s);
        return s;
    }();
    return session;
}

QString oidToText(const oid* name, size_t length)
{
    // Every variable of every message passes here: one string, no parts.
    QString text;
    text.reserve(qsizetype(length) * 4);
    char digits[24];
    for (size_t i = 0; i < length; ++i) {
        if (i)
            text += QLatin1Char('.');
        const char* end = std::to_chars(digits, digits + sizeof digits, quint64(name[i])).ptr;
        text += QLatin1String(digits, int(end - digits));
    }
    return text;
}

SnmpVariable fromNetSnmp(const netsnmp_variable_list* v)
{
    SnmpVariable out(oidToText(v->name, v->name_length));
    switch (v->type) {
    case ASN_INTEGER:
        out.setInteger(v->val.integer ? qint64(*v->val.integer) : 0);
        break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
        out.setInteger(v->val.integer ? qint64(quint32(*v->val.integer)) : 0,
                       SnmpVariable::Syntax(v->type == ASN_UINTEGER ? ASN_GAUGE : v->type));
        break;
    case ASN_COUNTER64:
        if (v->val.counter64 && v->val_len >= sizeof(struct counter64)) {
            const quint64 value = (quint64(v->val.counter64->high) << 32) |
                                  quint64(quint32(v->val.counter64->low));
            out.setInteger(qint64(value), SnmpVariable::Counter64);
        } else {
            out.setInteger(0, SnmpVariable::Counter64);
        }
        break;
    case ASN_OCTET_STR:
    case ASN_OPAQUE:
    case ASN_BIT_STR:
    case ASN_IPADDRESS:
        out.setBytes(QByteArray(reinterpret_cast<const char*>(v->val.string), qsizetype(v->val_len)),
                     v->type == ASN_IPADDRESS  ? SnmpVariable::IpAddress
                     : v->type == ASN_OPAQUE   ? SnmpVariable::Opaque
                                               : SnmpVariable::OctetString);
        break;
    case ASN_OBJECT_ID:
        out.setObjectId(oidToText(v->val.objid, v->val_len / sizeof(oid)));
        break;
    case SNMP_NOSUCHOBJECT:
    case SNMP_NOSUCHINSTANCE:
    case SNMP_ENDOFMIBVIEW:
        out.setNull(SnmpVariable::Syntax(v->type));
        break;
    default:
        out.setNull();
        break;
    }
    return out;
}

bool addToPdu(netsnmp_pdu* pdu, const SnmpVariable& var)
{
    OidBuffer name;
    if (!name.parse(var.identifier()) || name.length == 0)
        return false;
    netsnmp_variable_list* added = nullptr;
    switch (var.syntax()) {
    case SnmpVariable::Integer: {
        long value = long(var.valueInteger());
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, ASN_INTEGER, &value,
                                      sizeof(value));
        break;
    }
    case SnmpVariable::Counter32:
    case SnmpVariable::Gauge32:
    case SnmpVariable::TimeTicks: {
        u_long value = u_long(quint32(var.valueInteger()));
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, u_char(var.syntax()),
                                      &value, sizeof(value));
        break;
    }
    case SnmpVariable::Counter64: {
        const quint64 raw = quint64(var.valueInteger());
        struct counter64 value;
        value.high = u_long(raw >> 32);
        value.low = u_long(raw & 0xffffffffu);
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, ASN_COUNTER64, &value,
                                      sizeof(value));
        break;
    }
    case SnmpVariable::OctetString:
    case SnmpVariable::Opaque:
    case SnmpVariable::IpAddress: {
        const QByteArray bytes = var.valueBytes();
        if (var.syntax() == SnmpVariable::IpAddress && bytes.size() != 4)
            return false;
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, u_char(var.syntax()),
                                      bytes.constData(), size_t(bytes.size()));
        break;
    }
    case SnmpVariable::ObjectId: {
        OidBuffer value;
        if (!value.parse(var.valueText()))
            return false;
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, ASN_OBJECT_ID, value.parts,
                                      value.length * sizeof(oid));
        break;
    }
    case SnmpVariable::Null:
    case SnmpVariable::NoSuchObject:
    case SnmpVariable::NoSuchInstance:
    case SnmpVariable::EndOfMibView:
        added = snmp_pdu_add_variable(pdu, name.parts, name.length, u_char(var.syntax()),
                                      nullptr, 0);
        break;
    }
    return added != nullptr;
}

struct PduDeleter {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using PduPtr = std::unique_ptr<netsnmp_pdu, PduDeleter>;

} // namespace

bool parseDottedOid(const QString& text, QList<quint32>& out)
{
    out.clear();
    return parseDotted(text, [&out](int, quint32 v) { out.append(v); }) >= 0;
}

int SnmpVariable::type() const
{
    switch (m_syntax) {
    case Integer:
    case Counter32:
    case Gauge32:
    case TimeTicks:
    case Counter64:
        return IntegerType;
    default:
        return ByteStringType;
    }
}

QString SnmpVariable::valueText() const
{
    switch (m_syntax) {
    case Integer:
        return QString::number(m_integer);
    case Counter32:
    case Gauge32:
    case TimeTicks:
        return QString::number(quint32(m_integer));
    case Counter64:
        return QString::number(quint64(m_integer));
    case IpAddress:
        if (m_bytes.size() == 4)
            return QStringLiteral("%1.%2.%3.%4")
                .arg(quint8(m_bytes[0]))
                .arg(quint8(m_bytes[1]))
                .arg(quint8(m_bytes[2]))
                .arg(quint8(m_bytes[3]));
        return QString();
    case OctetString:
    case Opaque: {
        const qsizetype zero = m_bytes.indexOf('\0');
        return QString::fromLatin1(zero < 0 ? m_bytes : m_bytes.left(zero));
    }
    case ObjectId:
        return m_objectId;
    default:
        return QString();
    }
}

QByteArray SnmpVariable::valueBytes() const
{
    switch (m_syntax) {
    case OctetString:
    case Opaque:
    case IpAddress:
        return m_bytes;
    default:
        return QByteArray();
    }
}

void SnmpVariable::setInteger(qint64 value, Syntax syntax)
{
    m_syntax = syntax;
    m_integer = value;
    m_bytes.clear();
    m_objectId.clear();
}

bool SnmpVariable::setIntegerText(const QString& text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return false;
    setInteger(value, Integer);
    return true;
}

void SnmpVariable::setBytes(const QByteArray& bytes, Syntax syntax)
{
    m_syntax = syntax;
    m_bytes = bytes;
    m_integer = 0;
    m_objectId.clear();
}

void SnmpVariable::setNull(Syntax syntax)
{
    m_syntax = syntax;
    m_integer = 0;
    m_bytes.clear();
    m_objectId.clear();
}

void SnmpVariable::setObjectId(const QString& dotted)
{
    m_syntax = ObjectId;
    m_objectId = dotted.startsWith(QLatin1Char('.')) ? dotted.mid(1) : dotted;
    m_integer = 0;
    m_bytes.clear();
}

const SnmpVariable* SnmpVariables::item(int position) const
{
    if (position < 1 || position > m_list.size())
        return nullptr;
    return &m_list[position - 1];
}

SnmpVariable* SnmpVariables::item(int position)
{
    if (position < 1 || position > m_list.size())
        return nullptr;
    return &m_list[position - 1];
}

void SnmpMessage::clear()
{
    const Version version = m_version;
    *this = SnmpMessage();
    m_version = version;
}

int SnmpMessage::trapCode() const
{
    if (m_type == TrapV1)
        return m_genericTrap == 6 ? m_specificTrap : m_genericTrap;
    if (m_type == TrapV2 || m_type == InformRequest) {
        QList<quint32> parts;
        if (parseDottedOid(m_trapOid, parts) && !parts.isEmpty())
            return int(parts.last());
    }
    return 0;
}

QByteArray SnmpMessage::encode() const
{
    snmpLibraryInit();
    PduPtr pdu(snmp_pdu_create(m_type + 0x80));
    if (!pdu)
        return QByteArray();
    pdu->version = m_version == V1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
    pdu->reqid = m_requestId;
    pdu->msgid = m_requestId;
    pdu->errstat = m_errorStatus;
    pdu->errindex = m_errorIndex;
    pdu->community = static_cast<u_char*>(malloc(size_t(m_community.size()) + 1));
    if (!pdu->community)
        return QByteArray();
    memcpy(pdu->community, m_community.constData(), size_t(m_community.size()));
    pdu->community_len = size_t(m_community.size());

    if (m_type == TrapV1) {
        if (m_version != V1)
            return QByteArray();
        OidBuffer enterprise;
        if (!enterprise.parse(m_enterprise))
            return QByteArray();
        pdu->enterprise = static_cast<oid*>(malloc(enterprise.length * sizeof(oid)));
        if (!pdu->enterprise)
            return QByteArray();
        memcpy(pdu->enterprise, enterprise.parts, enterprise.length * sizeof(oid));
        pdu->enterprise_length = enterprise.length;
        memset(pdu->agent_addr, 0, sizeof(pdu->agent_addr));
        memcpy(pdu->agent_addr, m_agentAddress.constData(),
               size_t(qMin<qsizetype>(4, m_agentAddress.size())));
        pdu->trap_type = m_genericTrap;
        pdu->specific_type = m_specificTrap;
        pdu->time = m_timeStamp;
    } else if (m_type == TrapV2 || m_type == InformRequest) {
        SnmpVariable upTime(QString::fromLatin1(kSysUpTime0));
        upTime.setInteger(m_timeStamp, SnmpVariable::TimeTicks);
        SnmpVariable trapOid(QString::fromLatin1(kSnmpTrapOid0));
        trapOid.setObjectId(m_trapOid);
        if (!addToPdu(pdu.get(), upTime) || !addToPdu(pdu.get(), trapOid))
            return QByteArray();
    }
    for (const SnmpVariable& var : m_variables.list()) {
        if (!addToPdu(pdu.get(), var))
            return QByteArray();
    }

    netsnmp_session session = initialSession();
    session.version = pdu->version;
    session.community = pdu->community;
    session.community_len = pdu->community_len;

    size_t bufferLength = 1500;
    u_char* buffer = static_cast<u_char*>(malloc(bufferLength));
    if (!buffer)
        return QByteArray();
    size_t offset = 0;
    const int rc = snmp_build(&buffer, &bufferLength, &offset, &session, pdu.get());
    QByteArray out;
    if (rc == 0 && offset <= bufferLength)
        out = QByteArray(reinterpret_cast<const char*>(buffer + bufferLength - offset),
                         qsizetype(offset));
    free(buffer);
    return out;
}

std::optional<SnmpMessage> SnmpMessage::decode(const QByteArray& datagram)
{
    snmpLibraryInit();
    if (datagram.isEmpty() || datagram.size() > 65535)
        return std::nullopt;
    netsnmp_session session = initialSession();
    session.version = SNMP_DEFAULT_VERSION;
    PduPtr pdu(static_cast<netsnmp_pdu*>(calloc(1, sizeof(netsnmp_pdu))));
    if (!pdu)
        return std::nullopt;
    // snmp_parse works on a writable copy of the bytes: on the stack for
    // the sizes a datagram usually has.
    u_char small[2048];
    std::vector<u_char> large;
    u_char* data = small;
    if (datagram.size() > qsizetype(sizeof small)) {
        large.assign(datagram.begin(), datagram.end());
        data = large.data();
    } else {
        memcpy(small, datagram.constData(), size_t(datagram.size()));
    }
    if (snmp_parse(nullptr, &session, pdu.get(), data, size_t(datagram.size())) != 0)
        return std::nullopt;
    if (pdu->version != SNMP_VERSION_1 && pdu->version != SNMP_VERSION_2c)
        return std::nullopt;

    SnmpMessage out;
    out.m_version = pdu->version == SNMP_VERSION_1 ? V1 : V2c;
    out.m_type = int(pdu->command) - 0x80;
    if (out.m_type < GetRequest || out.m_type > Report)
        return std::nullopt;
    if (pdu->community)
        out.m_community = QByteArray(reinterpret_cast<const char*>(pdu->community),
                                     qsizetype(pdu->community_len));
    out.m_requestId = qint32(pdu->reqid);
    out.m_errorStatus = int(pdu->errstat);
    out.m_errorIndex = int(pdu->errindex);

    const netsnmp_variable_list* v = pdu->variables;
    if (out.m_type == TrapV1) {
        out.m_enterprise = pdu->enterprise ? oidToText(pdu->enterprise, pdu->enterprise_length)
                                           : QString();
        out.m_agentAddress = QByteArray(reinterpret_cast<const char*>(pdu->agent_addr), 4);
        out.m_genericTrap = int(pdu->trap_type);
        out.m_specificTrap = int(pdu->specific_type);
        out.m_timeStamp = quint32(pdu->time);
    } else if (out.m_type == TrapV2 || out.m_type == InformRequest) {
        // The first two bindings name the trap; the rest are its variables.
        for (int i = 0; i < 2 && v; ++i, v = v->next_variable) {
            const SnmpVariable head = fromNetSnmp(v);
            if (head.identifier() == QLatin1String(kSysUpTime0))
                out.m_timeStamp = quint32(head.valueInteger());
            else if (head.identifier() == QLatin1String(kSnmpTrapOid0))
                out.m_trapOid = head.valueText();
        }
    }
    for (; v; v = v->next_variable)
        out.m_variables.add(fromNetSnmp(v));
    return out;
}
