#include "configuration_rows.h"

#include "brenlow_texts.h"

using B = ConfigurationBlock;

namespace
{

const char* const Identifiers[ConfigurationRowCount] = {
    "MAC Address",
    "Regulatory Domain",
    "Eth_IP_Address",
    "Eth_SubMask",
    "Wirel_Mac_Address",
    "Wirel_ESSID",
    "EssLen",
    "AutoRateFallBack",
    "Wirel_Channel",
    "Wirel_FragmentationThreshold",
    "Wirel_RtsThreshold",
    "WEP type",
    "WEP Key",
    "Key 1",
    "Key 2",
    "Key 3",
    "Key 4",
    "Preamble",
    "AuthenticationType",
    "AccessPointName",
    "OperationalRateSet",
    "BeaconPeriod",
    "DTIM",
    "Operational Mode",
    "User Community",
    "User Access: ",
    "Administrator Community",
    "Administrator Access: ",
    "Gateway IP Address",
    "IP Filtering",
    "Dhcp Client",
    "Primary Port",
    "Authorization Algorithm",
    "SNMP Traps",
    "Preferred BSSID",
    "SSID Broadcasting",
    "Send Back Broadcast Enable",
    "Forward Broadcast Enable",
    "Configuration Port",
    "Send Back Unicast Enable",
    "International Roaming Enable",
};

// How each row shows its field and takes a new value.
enum class Field {
    Mac,    // 6 bytes, editable only in AppMode 1
    Domain, // read-only
    Ip,     // 4 bytes
    Essid,
    EssLen,  // not editable, activating does nothing
    Switch8, // one byte, table E1 shown, position + 1 stored
    Channel,
    Number16, // 16-bit number with a range
    Number8,  // 8-bit number with a range
    WepType,
    WepKeyNumber,
    Key,
    Preamble,
    Authentication,
    AccessPointName,
    RateSet,
    Mode,
    Community,
    Access,
    Switch32, // 32-bit, table E1
    PrimaryPort,
    Bssid,    // 6 bytes, always editable
    SwitchE2, // one byte, table E2 shown, position + 1 stored
    ConfigPort,
};

struct Row {
    Field field;
    int offset;
    int lowest = 0; // number rows: accepted range
    int highest = 0;
    const char* hint = "";
    int lengthOffset = 0; // communities
};

const Row Rows[ConfigurationRowCount] = {
    {Field::Mac, B::MacAddress},
    {Field::Domain, B::RegulatoryDomain},
    {Field::Ip, B::EthIpAddress},
    {Field::Ip, B::EthSubMask},
    {Field::Mac, B::WirelMacAddress},
    {Field::Essid, B::WirelEssid},
    {Field::EssLen, B::EssLen},
    {Field::Switch8, B::AutoRateFallBack},
    {Field::Channel, B::WirelChannel},
    {Field::Number16, B::FragmentationThreshold, 256, 2346, "256 - 2346 "},
    {Field::Number16, B::RtsThreshold, 0, 2347, "0 - 2347 "},
    {Field::WepType, B::WepType},
    {Field::WepKeyNumber, B::WepKey},
    {Field::Key, B::Key1},
    {Field::Key, B::Key1 + B::KeySize},
    {Field::Key, B::Key1 + 2 * B::KeySize},
    {Field::Key, B::Key1 + 3 * B::KeySize},
    {Field::Preamble, B::Preamble},
    {Field::Authentication, B::AuthenticationType},
    {Field::AccessPointName, B::AccessPointName},
    {Field::RateSet, B::OperationalRateSet},
    {Field::Number16, B::BeaconPeriod, 20, 1000, "20-1000 (Typical 100) "},
    {Field::Number8, B::Dtim, 1, 255, "1-255 (Typical 2) "},
    {Field::Mode, B::OperationalMode},
    {Field::Community, B::UserCommunity, 0, 0, "", B::UserCommunityLength},
    {Field::Access, B::UserAccess},
    {Field::Community, B::AdministratorCommunity, 0, 0, "", B::AdministratorCommunityLength},
    {Field::Access, B::AdministratorAccess},
    {Field::Ip, B::GatewayIpAddress},
    {Field::Switch32, B::IpFiltering},
    {Field::Switch32, B::DhcpClient},
    {Field::PrimaryPort, B::PrimaryPort},
    {Field::Switch32, B::AuthorizationAlgorithm},
    {Field::Switch32, B::SnmpTraps},
    {Field::Bssid, B::PreferredBssid},
    {Field::SwitchE2, B::SsidBroadcasting},
    {Field::SwitchE2, B::SendBackBroadcast},
    {Field::SwitchE2, B::ForwardBroadcast},
    {Field::ConfigPort, B::ConfigurationPort},
    {Field::SwitchE2, B::SendBackUnicast},
    {Field::SwitchE2, B::InternationalRoaming},
};

QStringList latin1List(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list.append(QString::fromLatin1(text));
    return list;
}

const QStringList& enableDisable()
{
    static const QStringList list = latin1List({"Enable", "Disable"});
    return list;
}

RowAction editWith(EditorKind editor, const QStringList& choices = {}, const QString& hint = {})
{
    return {RowAction::Kind::Edit, editor, choices, hint};
}

RowAction readOnly()
{
    RowAction action;
    action.kind = RowAction::Kind::ReadOnly;
    return action;
}

bool validRow(int row)
{
    return row >= 0 && row < ConfigurationRowCount;
}

} // namespace

QString rowIdentifier(int row)
{
    return validRow(row) ? QString::fromLatin1(Identifiers[row]) : QString();
}

QString rowValueText(const ConfigurationBlock& block, int row)
{
    if (!validRow(row))
        return {};
    const Row& r = Rows[row];
    switch (r.field) {
    case Field::Mac:
        return block.macText(r.offset);
    case Field::Domain:
        return tableDText(block.u8(r.offset));
    case Field::Ip:
        return block.ipText(r.offset);
    case Field::Essid:
        return block.essidText();
    case Field::EssLen:
    case Field::Channel:
    case Field::Number8:
        return QString::number(block.u8(r.offset));
    case Field::Number16:
        return QString::number(block.u16(r.offset));
    case Field::Switch8:
        return tableE1Text(block.u8(r.offset));
    case Field::WepType:
        return tableWText(block.u8(r.offset));
    case Field::WepKeyNumber:
        return tableKText(block.u8(r.offset));
    case Field::Key:
        return block.keyText((r.offset - B::Key1) / B::KeySize);
    case Field::Preamble:
        return tablePText(block.u8(r.offset));
    case Field::Authentication:
        return tableAText(block.u8(r.offset));
    case Field::AccessPointName:
        return block.accessPointNameText();
    case Field::RateSet:
        return block.rateSetText();
    case Field::Mode:
        return tableMText(block.u8(r.offset));
    case Field::Community:
        return block.communityText(r.lengthOffset, r.offset);
    case Field::Access:
        return tableLText(block.u32(r.offset));
    case Field::Switch32:
        return tableE1Text(block.u32(r.offset));
    case Field::PrimaryPort:
        return tableNText(block.u32(r.offset));
    case Field::Bssid:
        return block.bssidText(r.offset);
    case Field::SwitchE2:
        return tableE2Text(block.u8(r.offset));
    case Field::ConfigPort:
        return tableCText(block.u8(r.offset));
    }
    return {};
}

QStringList channelChoices(quint8 domain)
{
    int lowest = 0;
    int highest = 0;
    QStringList choices;
    if (!tableDRange(domain, &lowest, &highest))
        return choices;
    for (int channel = lowest; channel <= highest; ++channel)
        choices.append(QStringLiteral("Channel %1").arg(channel));
    return choices;
}

RowAction rowAction(int row, const ConfigurationBlock& block, int appMode, quint8 channelDomain)
{
    if (!validRow(row))
        return {};
    const Row& r = Rows[row];
    switch (r.field) {
    case Field::Mac:
        if (appMode != 1)
            return readOnly();
        return editWith(EditorKind::Mac);
    case Field::Domain:
        return readOnly();
    case Field::EssLen:
        return {};
    case Field::Ip:
        return editWith(EditorKind::Ip);
    case Field::Essid:
    case Field::AccessPointName:
    case Field::Community:
        return editWith(EditorKind::Text);
    case Field::Switch8:
    case Field::Switch32:
    case Field::SwitchE2:
        return editWith(EditorKind::Choice, enableDisable());
    case Field::Channel:
        return editWith(EditorKind::Choice, channelChoices(channelDomain));
    case Field::Number8:
    case Field::Number16:
        return editWith(EditorKind::Number, {}, QString::fromLatin1(r.hint));
    case Field::WepType:
        return editWith(EditorKind::Choice, latin1List({"Disable", "64-bit WEP", "128-bit WEP"}));
    case Field::WepKeyNumber:
        return editWith(EditorKind::Choice, latin1List({"Key 1", "Key 2", "Key 3", "Key 4"}));
    case Field::Key:
        switch (block.u8(B::WepType)) {
        case 1:
            return editWith(EditorKind::Wep64);
        case 2:
            return editWith(EditorKind::Wep128);
        default:
            return {};
        }
    case Field::Preamble:
        return editWith(EditorKind::Choice, latin1List({"Short", "Long"}));
    case Field::Authentication:
        return editWith(EditorKind::Choice, latin1List({"Open System", "Shared Key", "Both"}));
    case Field::RateSet:
        return editWith(EditorKind::Choice, latin1List({"82 84 8B 96", "82 84 0B 16"}));
    case Field::Mode: {
        QStringList modes;
        for (quint8 code = 1; code <= 5; ++code)
            modes.append(tableMText(code));
        return editWith(EditorKind::Choice, modes);
    }
    case Field::Access:
        return editWith(EditorKind::Choice,
                        latin1List({"READ ONLY", "READ\\WRITE", "READ\\WRITE\\HARD"}));
    case Field::PrimaryPort:
        return editWith(EditorKind::Choice, latin1List({"Ethernet", "Wireless"}));
    case Field::Bssid:
        return editWith(EditorKind::Mac);
    case Field::ConfigPort:
        return editWith(EditorKind::Choice,
                        latin1List({"Both Ports", "Ethernet Port", "Wireless Port"}));
    }
    return {};
}

EditOutcome applyEdit(ConfigurationBlock& block, int row, const EditResult& result)
{
    if (!validRow(row))
        return {{}, false};
    const Row& r = Rows[row];
    const auto choiceIn = [&](int count) {
        return result.position >= 0 && result.position < count;
    };
    // A result that does not fit its field (which the editors never give) changes nothing.
    const EditOutcome unchanged{{}, false};

    switch (r.field) {
    case Field::Domain:
    case Field::EssLen:
        return unchanged;
    case Field::Mac:
    case Field::Bssid:
        if (result.bytes.size() != 6)
            return unchanged;
        block.setBytes(r.offset, result.bytes);
        return {};
    case Field::Ip:
        if (result.bytes.size() != 4)
            return unchanged;
        block.setBytes(r.offset, result.bytes);
        return {};
    case Field::Essid: {
        const QByteArray text = result.text.left(B::EssidSize);
        block.setBytes(B::WirelEssid, text);
        block.setU8(B::EssLen, quint8(text.size()));
        return {};
    }
    case Field::AccessPointName: {
        QByteArray text = result.text.left(B::AccessPointNameSize);
        if (text.size() < B::AccessPointNameSize)
            text.append('\0');
        block.setBytes(B::AccessPointName, text);
        return {};
    }
    case Field::Community:
        if (result.text.size() > B::CommunitySize)
            return {QString::fromLatin1(Texts::CommunityTooLong), true};
        block.setBytes(r.offset, result.text);
        block.setU32(r.lengthOffset, quint32(result.text.size()));
        return {};
    case Field::Number8:
    case Field::Number16:
        if (result.number < quint32(r.lowest) || result.number > quint32(r.highest))
            return {QString::fromLatin1(Texts::WrongValue), false};
        if (r.field == Field::Number8)
            block.setU8(r.offset, quint8(result.number));
        else
            block.setU16(r.offset, quint16(result.number));
        return {};
    case Field::Channel: {
        const quint8 domain = block.u8(B::RegulatoryDomain);
        // No channel list for an unknown domain: nothing to choose, nothing stored.
        if (!choiceIn(int(channelChoices(domain).size())))
            return {};
        const int first = (domain == 0x31 || domain == 0x32) ? 10 : 1;
        block.setU8(B::WirelChannel, quint8(result.position + first));
        return {};
    }
    case Field::Switch8:
    case Field::SwitchE2:
    case Field::Preamble:
        if (!choiceIn(2))
            return unchanged;
        block.setU8(r.offset, quint8(result.position + 1));
        return {};
    case Field::Switch32:
    case Field::PrimaryPort:
        if (!choiceIn(2))
            return unchanged;
        block.setU32(r.offset, quint32(result.position + 1));
        return {};
    case Field::WepType:
    case Field::Authentication:
    case Field::ConfigPort:
        if (!choiceIn(3))
            return unchanged;
        block.setU8(r.offset, quint8(result.position));
        return {};
    case Field::WepKeyNumber:
        if (!choiceIn(4))
            return unchanged;
        block.setU8(r.offset, quint8(result.position + 1));
        return {};
    case Field::Mode:
        if (!choiceIn(5))
            return unchanged;
        block.setU8(r.offset, quint8(result.position + 1));
        return {};
    case Field::Access:
        if (!choiceIn(3))
            return unchanged;
        block.setU32(r.offset, accessLevelCode(result.position));
        return {};
    case Field::RateSet:
        if (!choiceIn(2))
            return unchanged;
        block.setBytes(r.offset, rateSetBytes(result.position));
        return {};
    case Field::Key: {
        const int size = tableWKeyBytes(block.u8(B::WepType));
        if (size == 0 || result.bytes.size() != size)
            return unchanged;
        block.setBytes(r.offset, result.bytes);
        return {};
    }
    }
    return unchanged;
}
