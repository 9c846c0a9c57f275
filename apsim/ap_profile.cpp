#include "ap_profile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

constexpr qint64 kMaxProfileSize = 1 << 20;

struct Domain {
    const char* name;
    quint8 code;
};
const Domain kDomains[] = {{"FCC", 0x10},    {"DOC", 0x20}, {"ETSI", 0x30}, {"SPAIN", 0x31},
                           {"FRANCE", 0x32}, {"MKK", 0x40}, {"MKK1", 0x41}};

QByteArray text(const char* s)
{
    return QByteArray(s);
}

// A zero-padded text field of a fixed width.
void putText(QByteArray& block, int offset, int width, const QByteArray& s)
{
    const QByteArray cut = s.left(width - 1);
    for (int i = 0; i < width; ++i)
        block[offset + i] = i < cut.size() ? cut[i] : '\0';
}

QByteArray deviceInfo(const QByteArray& mac, quint8 channel, quint8 domain)
{
    QByteArray info(92, '\0');
    info[0] = 0x01;
    info.replace(4, 6, mac);
    info[10] = char(channel);
    info[11] = char(domain);
    apWriteLe32(info, 12, 0x9304);
    putText(info, 16, 32, "ZELCORA");
    apWriteLe32(info, 48, 0x00a0f8);
    putText(info, 52, 32, "QX9304 Wireless Access Point");
    apWriteLe32(info, 84, 2);
    return info;
}

QByteArray radioConfiguration()
{
    QByteArray radio(47, '\0');
    for (int i = 0; i < 14; ++i)
        radio[i] = char(0x80);
    // Further radio registers; passed through by managers.
    const quint8 more[] = {0x08, 0x48, 0x20, 0x5a, 0x13, 0x00, 0x3f, 0x7f, 0x1c, 0x31, 0x0a};
    for (int i = 14; i < 47; ++i)
        radio[i] = char(more[(i - 14) % sizeof more]);
    return radio;
}

QByteArray macFor(quint8 kind, quint32 ip, quint8 extra = 0)
{
    QByteArray mac(6, '\0');
    mac[0] = 0x00;
    mac[1] = char(0xa0);
    mac[2] = char(0xf8 ^ kind);
    mac[3] = char((ip >> 8) & 0xff);
    mac[4] = char(ip & 0xff);
    mac[5] = char(extra);
    return mac;
}

QByteArray ipBytes(quint32 ip)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((ip >> (24 - 8 * i)) & 0xff);
    return b;
}

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool parseValue(const ApVariable& var, const QJsonValue& json, ApValue* out)
{
    switch (var.kind) {
    case ApKind::Integer:
    case ApKind::Gauge:
    case ApKind::TimeTicks:
        if (!json.isDouble())
            return false;
        out->integer = qint64(json.toDouble());
        return true;
    case ApKind::Text:
        if (!json.isString())
            return false;
        out->bytes = json.toString().toUtf8();
        return true;
    case ApKind::Octets: {
        if (!json.isString())
            return false;
        QByteArray hex = json.toString().toLatin1();
        hex.replace(' ', "").replace('-', "").replace(':', "");
        out->bytes = QByteArray::fromHex(hex);
        return out->bytes.toHex() == hex.toLower();
    }
    case ApKind::IpAddress: {
        const QHostAddress address(json.toString());
        if (!json.isString() || address.protocol() != QAbstractSocket::IPv4Protocol)
            return false;
        out->bytes = ipBytes(address.toIPv4Address());
        return true;
    }
    case ApKind::ObjectId:
        return false;
    }
    return false;
}

} // namespace

ApProfile ApProfile::builtIn(const QHostAddress& bindAddress)
{
    quint32 ip = bindAddress.toIPv4Address();
    if (ip == 0)
        ip = 0xc0a80101; // 192.168.1.1 when bound to every address
    const quint32 host = ip;

    ApProfile p;
    p.sysDescr = QStringLiteral("QX9304 11 Mbps Wireless Access Point");
    p.firmware = QByteArray("\x01\x03\x02\x00", 4);

    const QByteArray ethernetMac = macFor(0, host);
    const QByteArray wirelessMac = macFor(0, host, 1);
    ApStore::Values& d = p.defaults;
    auto i = [&](const char* name, qint64 v) {
        d.insert(QLatin1String(name), ApValue::ofInteger(v));
    };
    auto b = [&](const char* name, const QByteArray& v) {
        d.insert(QLatin1String(name), ApValue::ofBytes(v));
    };

    b("sysContact", text("network administrator"));
    b("sysName", text("qx9304"));
    b("sysLocation", text("lab"));
    i("operChannelID", 6);
    b("operESSID", text("QX9304"));
    i("operRTSThreshold", 2347);
    i("operFragmentationThreshold", 2346);
    i("operPreambleType", 2);
    i("operAuthenticationType", 1);
    b("operBasicRates", QByteArray("\x82\x84\x0b\x16", 4));
    i("operAutoRateFallBack", 1);
    b("operAccessPointName", text("QX9304-AP"));
    i("operSSIDBroadcasting", 1);
    i("operAntennaSettings", 3);
    i("operInterRoaming", 2);
    for (const char* key : {"defaultWEPKey1", "defaultWEPKey2", "defaultWEPKey3", "defaultWEPKey4"})
        b(key, QByteArray(13, '\0'));
    i("privacyWEPEnable", 2);
    i("privacyDefaultWEPKeyID", 1);
    b("operIPAddress", ipBytes(host));
    b("operIPMask", ipBytes((host >> 24) == 127 ? 0xff000000u : 0xffffff00u));
    b("operEthernetAddress", ethernetMac);
    b("operGateway", ipBytes(0));
    i("operDHCP", 2);
    i("operPrimaryPort", 1);
    i("operConfigurationPort", 0);
    i("operIPFilter", 2);
    i("operForwarbBcast", 1);
    i("operSendBackBcast", 2);
    i("operSendBackUnicast", 2);
    i("bridgeOperationalMode", 2);
    b("bridgeRemoteBridgeBSSID", QByteArray(6, '\0'));
    b("sysDeviceInfo", deviceInfo(wirelessMac, 6, 0x10));
    b("TestModeRadioConfiguration", radioConfiguration());
    b("AuthorizedUserPass", text("public"));
    b("AuthorizedAdminPass", text("private"));
    i("AuthorizationMacEnable", 2);
    i("sysTrapSwitch", 1);
    i("dfuDTIMPeriod", 1);
    i("dfuBeaconPeriod", 100);
    i("dfuUserAccessLevel", 0xaaaa);
    i("dfuAdminAccessLevel", 0xaaba);
    b("dfuBlockReserved", QByteArray(348, '\0'));

    // Stations: three associated at start, three more that come and go.
    for (int n = 0; n < 6; ++n)
        p.stations.append({macFor(0x08, host, quint8(0x10 + n)), n < 3});

    auto neighbour = [&](quint8 tag, const char* ssid, int channel, int rssi, int flags) {
        p.neighbours.append({macFor(0x04, host, tag), QByteArray(ssid), channel, rssi, flags});
    };
    neighbour(0x21, "Office", 1, 34, 0x01 | 0x20);
    neighbour(0x22, "Warehouse", 6, 18, 0x01 | 0x10);
    neighbour(0x23, "Lab-Bridge", 11, 9, 0x00);
    neighbour(0x24, "adhoc-test", 3, 250, 0x02);
    return p;
}

bool ApProfile::load(const QString& path, const QHostAddress& bindAddress,
                     const ApVariableTable& table, ApProfile* out, QString* error)
{
    ApProfile p = builtIn(bindAddress);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error,
                    QStringLiteral("cannot read profile %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxProfileSize)
        return fail(error, QStringLiteral("profile %1 is too large").arg(path));
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return fail(error, QStringLiteral("profile %1: %2").arg(path, parseError.errorString()));
    const QJsonObject root = doc.object();

    if (root.contains(QLatin1String("sysDescr"))) {
        p.sysDescr = root.value(QLatin1String("sysDescr")).toString();
        if (p.sysDescr.toUtf8().size() > 255)
            return fail(error, QStringLiteral("profile: sysDescr longer than 255 bytes"));
    }
    if (root.contains(QLatin1String("firmware"))) {
        const QStringList parts =
            root.value(QLatin1String("firmware")).toString().split(QLatin1Char('.'));
        if (parts.size() != 4)
            return fail(error, QStringLiteral("profile: firmware must be four numbers"));
        for (int n = 0; n < 4; ++n) {
            bool ok = false;
            const int v = parts[n].toInt(&ok);
            if (!ok || v < -128 || v > 255)
                return fail(error, QStringLiteral("profile: bad firmware number %1").arg(parts[n]));
            p.firmware[n] = char(v);
        }
    }

    const QJsonObject config = root.value(QLatin1String("config")).toObject();
    for (auto it = config.constBegin(); it != config.constEnd(); ++it) {
        const ApVariable* var = table.find(it.key());
        if (!var || !p.defaults.contains(it.key()))
            return fail(
                error, QStringLiteral("profile: %1 is not a configuration variable").arg(it.key()));
        ApValue value;
        if (!parseValue(*var, it.value(), &value))
            return fail(error, QStringLiteral("profile: bad value for %1").arg(it.key()));
        if (var->name.startsWith(QLatin1String("defaultWEPKey")) && value.bytes.size() == 5)
            value.bytes.append(QByteArray(8, '\0'));
        if (ApVariableTable::checkValue(*var, value) != ApCheck::Ok)
            return fail(error, QStringLiteral("profile: value of %1 out of range").arg(it.key()));
        p.defaults.insert(it.key(), value);
    }

    if (root.contains(QLatin1String("domain"))) {
        const QJsonValue v = root.value(QLatin1String("domain"));
        int code = -1;
        for (const Domain& dom : kDomains) {
            if (v.toString().compare(QLatin1String(dom.name), Qt::CaseInsensitive) == 0 ||
                (v.isDouble() && v.toInt() == dom.code))
                code = dom.code;
        }
        if (code < 0)
            return fail(error, QStringLiteral("profile: unknown regulatory domain"));
        QByteArray info = p.defaults.value(QStringLiteral("sysDeviceInfo")).bytes;
        info[11] = char(code);
        p.defaults.insert(QStringLiteral("sysDeviceInfo"), ApValue::ofBytes(info));
    }

    if (root.contains(QLatin1String("macTable"))) {
        p.macTable.clear();
        for (const QJsonValue& v : root.value(QLatin1String("macTable")).toArray()) {
            const QByteArray mac = apParseMac(v.toString());
            if (mac.isEmpty())
                return fail(error, QStringLiteral("profile: bad MAC address %1").arg(v.toString()));
            p.macTable.append(mac);
        }
        if (p.macTable.size() > 680)
            return fail(error, QStringLiteral("profile: more than 680 authorized addresses"));
    }
    if (root.contains(QLatin1String("stations"))) {
        p.stations.clear();
        for (const QJsonValue& v : root.value(QLatin1String("stations")).toArray()) {
            const QJsonObject o = v.toObject();
            const QByteArray mac = apParseMac(o.value(QLatin1String("mac")).toString());
            if (mac.isEmpty())
                return fail(error, QStringLiteral("profile: station without a valid mac"));
            p.stations.append({mac, o.value(QLatin1String("associated")).toBool(false)});
        }
        if (p.stations.size() > 2000)
            return fail(error, QStringLiteral("profile: more than 2000 stations"));
    }
    if (root.contains(QLatin1String("neighbours"))) {
        p.neighbours.clear();
        for (const QJsonValue& v : root.value(QLatin1String("neighbours")).toArray()) {
            const QJsonObject o = v.toObject();
            ApNeighbour n;
            n.bssid = apParseMac(o.value(QLatin1String("bssid")).toString());
            n.ssid = o.value(QLatin1String("ssid")).toString().toUtf8();
            n.channel = o.value(QLatin1String("channel")).toInt(1);
            n.rssi = o.value(QLatin1String("rssi")).toInt(30);
            n.flags = o.value(QLatin1String("flags")).toInt(0x01);
            if (n.bssid.isEmpty() || n.bssid == QByteArray(6, '\0'))
                return fail(error, QStringLiteral("profile: neighbour without a valid bssid"));
            if (n.ssid.size() > 32 || n.channel < 1 || n.channel > 14 || n.rssi < 0 ||
                n.rssi > 255 || n.flags < 0 || n.flags > 255)
                return fail(error,
                            QStringLiteral("profile: bad neighbour %1").arg(apMacText(n.bssid)));
            p.neighbours.append(n);
        }
    }
    *out = p;
    return true;
}
