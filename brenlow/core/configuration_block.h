// The access point's 348-byte configuration block (group 1): field positions, code tables
// and the text by which every field is shown.
#pragma once

#include <QByteArray>
#include <QString>

class ConfigurationBlock
{
public:
    // The block proper; the rest of the area is what a read of group 1 unpacks besides it.
    static constexpr int Size = 348;
    static constexpr int AreaSize = 889;

    // Field offsets. Multi-byte numbers are little-endian, addresses in network order.
    enum Offset : int {
        MacAddress = 8,              // 6 bytes
        EthIpAddress = 14,           // 4 bytes
        EthSubMask = 18,             // 4 bytes
        WirelMacAddress = 22,        // 6 bytes
        WirelChannel = 28,           // channel number
        Preamble = 29,               // table P
        AutoRateFallBack = 30,       // table E1, one byte
        EssLen = 31,                 // valid bytes of the ESSID, at most 32
        WirelEssid = 32,             // 32 bytes
        FragmentationThreshold = 64, // 16-bit
        RtsThreshold = 66,           // 16-bit
        AuthenticationType = 68,     // table A
        SsidBroadcasting = 69,       // table E2
        WepType = 70,                // table W
        WepKey = 71,                 // default key 1 to 4, table K
        Key1 = 72,                   // four keys of 13 bytes each
        AccessPointName = 124,       // 32 bytes, zero-ended when shorter
        OperationalRateSet = 156,    // 4 rate bytes
        RegulatoryDomain = 160,      // table D
        Dtim = 161,
        BeaconPeriod = 162,        // 16-bit
        OperationalMode = 166,     // table M
        UserCommunityLength = 168, // 32-bit, at most 16
        UserCommunity = 172,       // 16 bytes
        UserAccess = 188,          // 32-bit, table L
        AdministratorCommunityLength = 192,
        AdministratorCommunity = 196,
        AdministratorAccess = 212,
        GatewayIpAddress = 240,       // 4 bytes
        IpFiltering = 244,            // 32-bit, table E1
        DhcpClient = 248,             // 32-bit, table E1
        PrimaryPort = 252,            // 32-bit, table N
        AuthorizationAlgorithm = 256, // 32-bit, table E1
        SnmpTraps = 260,              // 32-bit, table E1
        PreferredBssid = 266,         // 6 bytes
        SendBackBroadcast = 272,      // table E2
        ForwardBroadcast = 273,       // table E2
        ConfigurationPort = 274,      // table C
        SendBackUnicast = 275,        // table E2
        InternationalRoaming = 276,   // table E2
    };
    static constexpr int KeySize = 13;
    static constexpr int EssidSize = 32;
    static constexpr int CommunitySize = 16;
    static constexpr int AccessPointNameSize = 32;

    ConfigurationBlock() : m_area(AreaSize, '\0') {}
    explicit ConfigurationBlock(const QByteArray& bytes);

    // The whole area, for the driver's read and write of group 1.
    QByteArray& area() { return m_area; }
    const QByteArray& area() const { return m_area; }
    // The 348 bytes of the block.
    QByteArray bytes() const { return m_area.left(Size); }

    quint8 u8(int offset) const { return quint8(m_area.at(offset)); }
    quint16 u16(int offset) const;
    quint32 u32(int offset) const;
    QByteArray bytes(int offset, int count) const { return m_area.mid(offset, count); }
    void setU8(int offset, quint8 value) { m_area[offset] = char(value); }
    void setU16(int offset, quint16 value);
    void setU32(int offset, quint32 value);
    void setBytes(int offset, const QByteArray& bytes);

    // Text forms of the fields as the configuration list shows them.
    QString macText(int offset) const;   // 00-11-22-aa-bb-cc
    QString bssidText(int offset) const; // 00 11 22 AA BB CC
    QString ipText(int offset) const;    // 192.168.0.1
    QString essidText() const;
    QString communityText(int lengthOffset, int offset) const;
    QString accessPointNameText() const;
    QString rateSetText() const;    // 82 84 b 16
    QString keyText(int key) const; // key 0 to 3, by the WEP type

    // Sets the channel to the domain's lowest channel when it lies outside the range of a
    // known regulatory domain; a domain outside the table leaves the channel alone. True
    // when the channel changed.
    bool normaliseChannel();

private:
    QByteArray m_area;
};

// Code tables. A code outside a table gives the empty text unless said otherwise.
QString tableE1Text(quint32 code); // 1 "Enable", 2 "Disable"
QString tableE2Text(quint8 code);  // 2 "Disable", anything else "Enable"
QString tablePText(quint8 code);   // preamble
QString tableAText(quint8 code);   // authentication type
QString tableWText(quint8 code);   // WEP type
int tableWKeyBytes(quint8 code);   // key bytes shown for a WEP type
QString tableKText(quint8 code);   // default WEP key
QString tableDText(quint8 code);   // regulatory domain
bool tableDRange(quint8 code, int* lowest, int* highest);
QString tableMText(quint8 code);  // operational mode
QString tableLText(quint32 code); // community access level
QString tableNText(quint32 code); // primary port
QString tableCText(quint8 code);  // configuration port; unknown shows "Ethernet"

// The rate sets the editor offers, and access level codes in editor order.
QByteArray rateSetBytes(int position); // 0: 82 84 8B 96, 1: 82 84 0B 16
quint32 accessLevelCode(int position); // 0xAAAA, 0xAABA, 0xAACA
