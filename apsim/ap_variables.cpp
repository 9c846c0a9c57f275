#include "ap_variables.h"

#include "snmp_message.h"
#include "snmp_mib.h"

#include <algorithm>
#include <cctype>

namespace
{

using K = ApKind;
using A = ApAccess;
using P = ApKeep;

ApVariable integer(const char* name, qint64 min, qint64 max, A access = A::ReadWrite,
                   P keep = P::Running)
{
    ApVariable v;
    v.name = QString::fromLatin1(name);
    v.kind = K::Integer;
    v.access = access;
    v.keep = keep;
    v.minimum = min;
    v.maximum = max;
    return v;
}

ApVariable bytes(const char* name, K kind, qint64 min, qint64 max, A access = A::ReadWrite,
                 P keep = P::Running, QList<int> sizes = {})
{
    ApVariable v;
    v.name = QString::fromLatin1(name);
    v.kind = kind;
    v.access = access;
    v.keep = keep;
    v.minimum = min;
    v.maximum = max;
    v.sizes = sizes;
    return v;
}

ApVariable fixed(const char* name, int size, A access = A::ReadWrite, P keep = P::Running)
{
    return bytes(name, K::Octets, size, size, access, keep);
}

ApVariable internal(ApVariable v)
{
    v.internal = true;
    return v;
}

bool validRate(quint8 byte)
{
    const quint8 rate = byte & 0x7f;
    return rate == 0x02 || rate == 0x04 || rate == 0x0b || rate == 0x16;
}

bool validDomain(quint8 code)
{
    switch (code) {
    case 0x10:
    case 0x20:
    case 0x30:
    case 0x31:
    case 0x32:
    case 0x40:
    case 0x41:
        return true;
    default:
        return false;
    }
}

int compareOid(const QList<quint32>& a, const QList<quint32>& b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

ApVariableTable::ApVariableTable()
{
    m_variables = {
        // System group.
        bytes("sysDescr", K::Text, 0, 255, A::ReadOnly, P::None),
        bytes("sysObjectID", K::ObjectId, 0, 0, A::ReadOnly, P::None),
        integer("sysUpTime", 0, 0xffffffffLL, A::ReadOnly, P::None),
        bytes("sysContact", K::Text, 0, 255),
        bytes("sysName", K::Text, 0, 255),
        bytes("sysLocation", K::Text, 0, 255),
        // Wireless operational group.
        integer("operChannelID", 1, 14),
        integer("operESSIDLength", 0, 32, A::ReadWrite, P::None),
        bytes("operESSID", K::Text, 1, 32),
        integer("operRTSThreshold", 0, 2347),
        integer("operFragmentationThreshold", 256, 2346),
        integer("operPreambleType", 1, 2),
        integer("operAuthenticationType", 1, 3),
        bytes("operBasicRates", K::Octets, 1, 4),
        integer("operAutoRateFallBack", 1, 2),
        bytes("operAccessPointName", K::Text, 1, 32),
        integer("operSSIDBroadcasting", 1, 2),
        integer("operAntennaSettings", 1, 3),
        integer("operInterRoaming", 1, 2),
        // Privacy group: keys are kept as 13 bytes; a set may carry 5.
        bytes("defaultWEPKey1", K::Octets, 5, 13, A::ReadWrite, P::Running, {5, 13}),
        bytes("defaultWEPKey2", K::Octets, 5, 13, A::ReadWrite, P::Running, {5, 13}),
        bytes("defaultWEPKey3", K::Octets, 5, 13, A::ReadWrite, P::Running, {5, 13}),
        bytes("defaultWEPKey4", K::Octets, 5, 13, A::ReadWrite, P::Running, {5, 13}),
        integer("privacyWEPEnable", 1, 3),
        integer("privacyDefaultWEPKeyID", 0, 4),
        // Bridge IP settings.
        bytes("operIPAddress", K::IpAddress, 4, 4),
        bytes("operIPMask", K::IpAddress, 4, 4),
        fixed("operEthernetAddress", 6, A::ReadOnly, P::Hardware),
        bytes("operGateway", K::IpAddress, 4, 4),
        integer("operDHCP", 1, 2),
        integer("operPrimaryPort", 1, 2),
        integer("operConfigurationPort", 0, 2),
        // Filtering.
        integer("operIPFilter", 1, 2),
        integer("operForwarbBcast", 1, 2),
        integer("operSendBackBcast", 1, 2),
        integer("operSendBackUnicast", 1, 2),
        // Operational mode, known BSSs, site survey.
        integer("bridgeOperationalMode", 1, 5),
        fixed("bridgeRemoteBridgeBSSID", 6),
        integer("SelectedBSSListNumber", 1, 16, A::ReadWrite, P::None),
        fixed("wirelessKnownAPs", 768, A::ReadOnly, P::None),
        integer("SiteSurveyCommand", 1, 1, A::ReadWrite, P::None),
        // Device information and radio configuration.
        fixed("sysDeviceInfo", 92, A::ReadWrite, P::Hardware),
        fixed("TestModeRadioConfiguration", 47, A::ReadWrite, P::Hardware),
        // Statistics and stations.
        fixed("wirelessStatistics", 88, A::ReadOnly, P::None),
        fixed("EthRxStatistics", 64, A::ReadOnly, P::None),
        fixed("EthTxStatistics", 56, A::ReadOnly, P::None),
        integer("AssociatedSTAsNum", 0, 2007, A::ReadOnly, P::None),
        bytes("AssociatedSTAsInfo", K::Octets, 24, 50, A::ReadWrite, P::None, {24, 50}),
        // Access rights and MAC authorization.
        bytes("AuthorizedUserPass", K::Text, 1, 16, A::ReadWrite, P::Immediate),
        bytes("AuthorizedAdminPass", K::Text, 1, 16, A::ReadWrite, P::Immediate),
        fixed("AuthorizedMac", 12, A::ReadWrite, P::None),
        integer("AuthorizationMacEnable", 1, 2, A::ReadWrite, P::Immediate),
        // System commands, trap switch, test mode.
        integer("sysTrapSwitch", 1, 2, A::ReadWrite, P::Immediate),
        integer("sysUpload", 1, 1, A::ReadWrite, P::None),
        integer("sysReset", 1, 1, A::ReadWrite, P::None),
        integer("sysLoadDefaults", 1, 1, A::ReadWrite, P::None),
        integer("TestModeOnOff", 1, 2, A::ReadWrite, P::None),
        fixed("TestModeCommandStruct", 21, A::ReadWrite, P::None),
        fixed("TestModeStatistics", 12, A::ReadOnly, P::None),
        // Values carried by traps.
        fixed("trapBSSID", 6, A::ReadOnly, P::None),
        fixed("trapStationMac", 6, A::ReadOnly, P::None),
        // Settings that only the DFU configuration block carries.
        internal(integer("dfuDTIMPeriod", 1, 255)),
        internal(integer("dfuBeaconPeriod", 20, 1000)),
        internal(integer("dfuUserAccessLevel", 0, 0xffffffffLL, A::ReadWrite, P::Immediate)),
        internal(integer("dfuAdminAccessLevel", 0, 0xffffffffLL, A::ReadWrite, P::Immediate)),
        // The uninterpreted bytes of the block as last written, kept so they go back as
        // they came.
        internal(fixed("dfuBlockReserved", 348)),
    };
    m_variables[2].kind = K::TimeTicks;
    for (ApVariable& v : m_variables) {
        if (v.name == QLatin1String("AssociatedSTAsNum"))
            v.kind = K::Gauge;
    }
    for (int i = 0; i < m_variables.size(); ++i)
        m_byName.insert(m_variables[i].name, i);
}

bool ApVariableTable::bind(const SnmpMib& mib, QStringList* missing)
{
    m_byInstance.clear();
    m_order.clear();
    bool complete = true;
    m_enterprise = mib.identifierOf(QStringLiteral("qx9304"));
    for (int i = 0; i < m_variables.size(); ++i) {
        ApVariable& v = m_variables[i];
        if (v.internal)
            continue;
        v.oid = mib.identifierOf(v.name);
        if (v.oid.isEmpty()) {
            complete = false;
            if (missing)
                missing->append(v.name);
            continue;
        }
        v.syntax = quint8(mib.syntaxOf(v.name));
        const QString instance = v.oid + QStringLiteral(".0");
        QList<quint32> parts;
        parseDottedOid(instance, parts);
        m_byInstance.insert(instance, i);
        m_order.append({parts, i});
    }
    std::sort(m_order.begin(), m_order.end(),
              [](const auto& a, const auto& b) { return compareOid(a.first, b.first) < 0; });
    return complete;
}

const ApVariable* ApVariableTable::find(const QString& name) const
{
    const auto it = m_byName.constFind(name);
    return it == m_byName.cend() ? nullptr : &m_variables[*it];
}

const ApVariable* ApVariableTable::findInstance(const QString& dottedWithInstance) const
{
    QString key = dottedWithInstance;
    if (key.startsWith(QLatin1Char('.')))
        key.remove(0, 1);
    const auto it = m_byInstance.constFind(key);
    return it == m_byInstance.cend() ? nullptr : &m_variables[*it];
}

const ApVariable* ApVariableTable::next(const QString& dotted) const
{
    QList<quint32> parts;
    if (!parseDottedOid(dotted, parts))
        parts.clear();
    for (const auto& entry : m_order) {
        if (compareOid(entry.first, parts) > 0)
            return &m_variables[entry.second];
    }
    return nullptr;
}

ApCheck ApVariableTable::checkValue(const ApVariable& var, const ApValue& value)
{
    switch (var.kind) {
    case K::Integer:
    case K::Gauge:
    case K::TimeTicks:
        if (value.integer < var.minimum || value.integer > var.maximum)
            return ApCheck::WrongValue;
        return ApCheck::Ok;
    case K::ObjectId:
        return ApCheck::Ok;
    case K::Octets:
    case K::Text:
    case K::IpAddress:
        break;
    }
    const qsizetype size = value.bytes.size();
    if (!var.sizes.isEmpty() ? !var.sizes.contains(int(size))
                             : (size < var.minimum || size > var.maximum))
        return ApCheck::WrongLength;

    const QByteArray& b = value.bytes;
    if (var.name == QLatin1String("operBasicRates")) {
        for (char c : b) {
            if (!validRate(quint8(c)))
                return ApCheck::WrongValue;
        }
    } else if (var.name == QLatin1String("sysDeviceInfo")) {
        // Channel 1 to 14 and a known regulatory domain.
        if (quint8(b[10]) < 1 || quint8(b[10]) > 14 || !validDomain(quint8(b[11])))
            return ApCheck::WrongValue;
    } else if (var.name == QLatin1String("TestModeCommandStruct")) {
        const quint8 channel = quint8(b[0]), antenna = quint8(b[1]), rate = quint8(b[3]);
        const quint8 command = quint8(b[5]);
        const quint32 length = (quint32(quint8(b[8])) << 24) | (quint32(quint8(b[9])) << 16) |
                               (quint32(quint8(b[10])) << 8) | quint32(quint8(b[11]));
        const bool commandOk = (command >= 1 && command <= 5) || command == 8;
        if (channel < 1 || channel > 14 || antenna < 1 || antenna > 2 || rate > 3 || !commandOk ||
            length < 1 || length > 1500)
            return ApCheck::WrongValue;
    } else if (var.kind == K::Text) {
        // Texts travel without a terminating zero.
        if (b.contains('\0'))
            return ApCheck::WrongValue;
    }
    return ApCheck::Ok;
}

quint32 apReadLe32(const QByteArray& block, int offset)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | quint8(block.at(offset + i));
    return v;
}

void apWriteLe32(QByteArray& block, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        block[offset + i] = char((value >> (8 * i)) & 0xff);
}

quint16 apReadLe16(const QByteArray& block, int offset)
{
    return quint16(quint8(block.at(offset)) | (quint16(quint8(block.at(offset + 1))) << 8));
}

void apWriteLe16(QByteArray& block, int offset, quint16 value)
{
    block[offset] = char(value & 0xff);
    block[offset + 1] = char(value >> 8);
}

QByteArray apParseMac(const QString& text)
{
    QString digits;
    for (QChar c : text) {
        if (c == QLatin1Char('-') || c == QLatin1Char(':') || c == QLatin1Char(' '))
            continue;
        digits.append(c);
    }
    if (digits.size() != 12)
        return {};
    for (QChar c : digits) {
        if (!isxdigit(c.toLatin1()))
            return {};
    }
    return QByteArray::fromHex(digits.toLatin1());
}

QString apMacText(const QByteArray& mac)
{
    return QString::fromLatin1(mac.toHex().toUpper());
}
