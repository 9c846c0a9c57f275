#include "configuration_block.h"

#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace
{

struct CodeText {
    quint32 code;
    const char* text;
};

template <size_t N> QString lookup(const CodeText (&table)[N], quint32 code)
{
    for (const CodeText& entry : table) {
        if (entry.code == code)
            return QString::fromLatin1(entry.text);
    }
    return {};
}

const CodeText TableE1[] = {{1, "Enable"}, {2, "Disable"}};
const CodeText TableP[] = {{1, "Short"}, {2, "Long"}};
const CodeText TableA[] = {{0, "Open System"}, {1, "Shared Key"}, {2, "Both Type"}};
const CodeText TableW[] = {{0, "Disable"}, {1, "64-bit WEP"}, {2, "128-bit WEP"}};
const CodeText TableK[] = {{1, "Key1"}, {2, "Key2"}, {3, "Key3"}, {4, "Key4"}};
const CodeText TableM[] = {{1, "WBridge Point to MultiPoint"},
                           {2, "Access Point"},
                           {3, "Access Point Client"},
                           {4, "WBridge Point to Point"},
                           {5, "Wireless Repeater"}};
const CodeText TableL[] = {
    {0xAAAA, "READ ONLY"}, {0xAABA, "READ\\WRITE"}, {0xAACA, "READ\\WRITE\\HARD"}};
const CodeText TableN[] = {{1, "Ethernet"}, {2, "Wireless"}};
const CodeText TableC[] = {{0, "Both Ports"}, {1, "Ethernet Port"}, {2, "Wireless Port"}};

struct Domain {
    quint8 code;
    const char* text;
    int lowest;
    int highest;
};
const Domain TableD[] = {{0x10, "FCC", 1, 11},    {0x20, "DOC", 1, 11},     {0x30, "ETSI", 1, 13},
                         {0x31, "SPAIN", 10, 11}, {0x32, "FRANCE", 10, 13}, {0x40, "MKK", 14, 14},
                         {0x41, "MKK1", 1, 14}};

const Domain* findDomain(quint8 code)
{
    for (const Domain& domain : TableD) {
        if (domain.code == code)
            return &domain;
    }
    return nullptr;
}

QString joinedHex(const QByteArray& bytes, const char* separator, bool upper, bool pad)
{
    QStringList parts;
    for (char byte : bytes) {
        QString part = QString::number(quint8(byte), 16);
        if (pad)
            part = part.rightJustified(2, QLatin1Char('0'));
        parts.append(upper ? part.toUpper() : part);
    }
    return parts.join(QLatin1String(separator));
}

// Single-byte characters up to count bytes, ending early at a zero byte.
QString textUpToZero(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? bytes : bytes.left(zero));
}

} // namespace

ConfigurationBlock::ConfigurationBlock(const QByteArray& bytes) : m_area(bytes)
{
    if (m_area.size() < AreaSize)
        m_area.append(QByteArray(AreaSize - m_area.size(), '\0'));
}

quint16 ConfigurationBlock::u16(int offset) const
{
    return qFromLittleEndian<quint16>(m_area.constData() + offset);
}

quint32 ConfigurationBlock::u32(int offset) const
{
    return qFromLittleEndian<quint32>(m_area.constData() + offset);
}

void ConfigurationBlock::setU16(int offset, quint16 value)
{
    qToLittleEndian(value, m_area.data() + offset);
}

void ConfigurationBlock::setU32(int offset, quint32 value)
{
    qToLittleEndian(value, m_area.data() + offset);
}

void ConfigurationBlock::setBytes(int offset, const QByteArray& bytes)
{
    std::copy(bytes.cbegin(), bytes.cend(), m_area.begin() + offset);
}

QString ConfigurationBlock::macText(int offset) const
{
    return joinedHex(bytes(offset, 6), "-", false, true);
}

QString ConfigurationBlock::bssidText(int offset) const
{
    return joinedHex(bytes(offset, 6), " ", true, true);
}

QString ConfigurationBlock::ipText(int offset) const
{
    QStringList parts;
    for (char byte : bytes(offset, 4))
        parts.append(QString::number(quint8(byte)));
    return parts.join(QLatin1Char('.'));
}

QString ConfigurationBlock::essidText() const
{
    // A length beyond the field is taken as the whole field, never as the bytes behind it.
    const int length = std::min<int>(u8(EssLen), EssidSize);
    return textUpToZero(bytes(WirelEssid, length));
}

QString ConfigurationBlock::communityText(int lengthOffset, int offset) const
{
    const int length = int(std::min<quint32>(u32(lengthOffset), CommunitySize));
    return textUpToZero(bytes(offset, length));
}

QString ConfigurationBlock::accessPointNameText() const
{
    return textUpToZero(bytes(AccessPointName, AccessPointNameSize));
}

QString ConfigurationBlock::rateSetText() const
{
    return joinedHex(bytes(OperationalRateSet, 4), " ", false, false);
}

QString ConfigurationBlock::keyText(int key) const
{
    const int shown = tableWKeyBytes(u8(WepType));
    return joinedHex(bytes(Key1 + KeySize * key, shown), " ", false, true);
}

bool ConfigurationBlock::normaliseChannel()
{
    int lowest = 0;
    int highest = 0;
    if (!tableDRange(u8(RegulatoryDomain), &lowest, &highest))
        return false;
    const int channel = u8(WirelChannel);
    if (channel >= lowest && channel <= highest)
        return false;
    setU8(WirelChannel, quint8(lowest));
    return true;
}

QString tableE1Text(quint32 code)
{
    return lookup(TableE1, code);
}

QString tableE2Text(quint8 code)
{
    return QString::fromLatin1(code == 2 ? "Disable" : "Enable");
}

QString tablePText(quint8 code)
{
    return lookup(TableP, code);
}

QString tableAText(quint8 code)
{
    return lookup(TableA, code);
}

QString tableWText(quint8 code)
{
    return lookup(TableW, code);
}

int tableWKeyBytes(quint8 code)
{
    return code == 1 ? 5 : code == 2 ? 13 : 0;
}

QString tableKText(quint8 code)
{
    return lookup(TableK, code);
}

QString tableDText(quint8 code)
{
    const Domain* domain = findDomain(code);
    return domain ? QString::fromLatin1(domain->text) : QString();
}

bool tableDRange(quint8 code, int* lowest, int* highest)
{
    const Domain* domain = findDomain(code);
    if (!domain)
        return false;
    *lowest = domain->lowest;
    *highest = domain->highest;
    return true;
}

QString tableMText(quint8 code)
{
    return lookup(TableM, code);
}

QString tableLText(quint32 code)
{
    return lookup(TableL, code);
}

QString tableNText(quint32 code)
{
    return lookup(TableN, code);
}

QString tableCText(quint8 code)
{
    const QString text = lookup(TableC, code);
    return text.isEmpty() ? QStringLiteral("Ethernet") : text;
}

QByteArray rateSetBytes(int position)
{
    return position == 0 ? QByteArray("\x82\x84\x8B\x96", 4) : QByteArray("\x82\x84\x0B\x16", 4);
}

quint32 accessLevelCode(int position)
{
    static const quint32 codes[] = {0xAAAA, 0xAABA, 0xAACA};
    return codes[std::clamp(position, 0, 2)];
}
