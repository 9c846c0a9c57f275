#include "ap_dfu.h"

#include "ap_device.h"

#include <QTimer>

namespace
{

QString n(const char* name)
{
    return QString::fromLatin1(name);
}

// A fixed-width text field: the bytes up to the first zero, at most width.
QByteArray textField(const QByteArray& block, int offset, int width)
{
    QByteArray t = block.mid(offset, width);
    const qsizetype zero = t.indexOf('\0');
    return zero < 0 ? t : t.left(zero);
}

// One-byte switches in the block: 2 is off, anything else on.
qint64 byteSwitch(quint8 v)
{
    return v == 2 ? 2 : 1;
}

} // namespace

ApDfuEndpoint::ApDfuEndpoint(ApDevice* device, QObject* parent) : QObject(parent), m_device(device)
{
}

bool ApDfuEndpoint::listen(const QString& path, QString* error)
{
    m_server = new DfuServer([this](quint32 code, const QByteArray& input,
                                    quint32 outputSize) { return handle(code, input, outputSize); },
                             this);
    if (!m_server->listen(path)) {
        *error = QStringLiteral("cannot serve the DFU endpoint at %1: %2")
                     .arg(path, m_server->errorString());
        return false;
    }
    return true;
}

void ApDfuEndpoint::close()
{
    if (m_server)
        m_server->close();
}

QByteArray ApDfuEndpoint::readReply(const QByteArray& data) const
{
    QByteArray reply(ReplySize, '\0');
    reply.replace(1, 4, m_device->firmware().left(4));
    for (int packet = 1, at = 0; packet < ReplySize / 8 && at < data.size(); ++packet, at += 7) {
        const QByteArray piece = data.mid(at, 7);
        reply[packet * 8] = char(packet);
        reply.replace(packet * 8 + 1, piece.size(), piece);
    }
    return reply;
}

DfuReply ApDfuEndpoint::handle(quint32 code, const QByteArray& input, quint32 outputSize)
{
    if (!m_device->isRunning()) {
        Q_EMIT logLine(
            QStringLiteral("DFU request 0x%1 while restarting: refused").arg(code, 0, 16));
        return DfuReply::failure(DfuStatusFailure);
    }
    switch (code) {
    case DfuRequestGroup: {
        if (input.size() == 1) {
            // Read: the group code alone, with an output buffer.
            const int group = quint8(input[0]);
            if (outputSize == 0 || (group != 1 && group != 3))
                return DfuReply::failure(DfuStatusInvalidRequest);
            QByteArray data;
            if (group == 1) {
                data = configurationBlock();
            } else {
                data = m_device->store()->bytes(n("TestModeRadioConfiguration"));
                data.append(QByteArray(CrSettingsSize - data.size(), '\0'));
            }
            Q_EMIT logLine(QStringLiteral("DFU read of group %1").arg(group));
            return DfuReply::success(readReply(data));
        }
        // Write: the group's data followed by the group code.
        const int group = input.isEmpty() ? 0 : quint8(input.back());
        const QByteArray data = input.left(input.size() - 1);
        QString why;
        if (group == 1 && data.size() == BlockSize) {
            if (!applyConfigurationBlock(data, &why)) {
                Q_EMIT logLine(QStringLiteral("DFU write of group 1 refused: ") + why);
                return DfuReply::failure(DfuStatusFailure);
            }
            Q_EMIT logLine(QStringLiteral("DFU write of group 1"));
            return DfuReply::success();
        }
        if (group == 3 && data.size() >= 47 && data.size() <= CrSettingsSize) {
            m_device->store()->setStored(n("TestModeRadioConfiguration"),
                                         ApValue::ofBytes(data.left(47)));
            Q_EMIT logLine(QStringLiteral("DFU write of group 3"));
            return DfuReply::success();
        }
        return DfuReply::failure(DfuStatusInvalidRequest);
    }
    case DfuRequestReset:
        if (!input.isEmpty())
            return DfuReply::failure(DfuStatusInvalidRequest);
        Q_EMIT logLine(QStringLiteral("DFU reset"));
        // The reply goes out first; the device goes down right after.
        QTimer::singleShot(0, m_device, [device = m_device] { device->reset(); });
        return DfuReply::success();
    case DfuRequestRestoreDefaults: {
        if (!input.isEmpty())
            return DfuReply::failure(DfuStatusInvalidRequest);
        Q_EMIT logLine(QStringLiteral("DFU restore defaults"));
        return m_device->loadDefaults() ? DfuReply::success() : DfuReply::failure(DfuStatusFailure);
    }
    default:
        return DfuReply::failure(DfuStatusInvalidRequest);
    }
}

QByteArray ApDfuEndpoint::configurationBlock() const
{
    const ApStore* s = m_device->store();
    QByteArray b = s->bytes(n("dfuBlockReserved"));
    if (b.size() != BlockSize)
        b = QByteArray(BlockSize, '\0');
    auto put = [&](int offset, const QByteArray& bytes, int width) {
        QByteArray field = bytes.left(width);
        field.append(QByteArray(width - field.size(), '\0'));
        b.replace(offset, width, field);
    };
    auto integer = [&](const char* name) { return s->integer(n(name)); };
    const QByteArray info = s->bytes(n("sysDeviceInfo"));
    const QByteArray essid = s->bytes(n("operESSID"));

    put(8, s->bytes(n("operEthernetAddress")), 6);
    put(14, s->bytes(n("operIPAddress")), 4);
    put(18, s->bytes(n("operIPMask")), 4);
    put(22, info.mid(4, 6), 6);
    b[28] = char(integer("operChannelID"));
    b[29] = char(integer("operPreambleType"));
    b[30] = char(integer("operAutoRateFallBack"));
    b[31] = char(essid.size());
    put(32, essid, 32);
    apWriteLe16(b, 64, quint16(integer("operFragmentationThreshold")));
    apWriteLe16(b, 66, quint16(integer("operRTSThreshold")));
    b[68] = char(integer("operAuthenticationType") - 1); // 0 open, 1 shared, 2 both
    b[69] = char(integer("operSSIDBroadcasting"));
    const qint64 wep = integer("privacyWEPEnable");
    b[70] = char(wep == 1 ? 1 : wep == 3 ? 2 : 0); // 0 off, 1 64-bit, 2 128-bit
    b[71] = char(integer("privacyDefaultWEPKeyID"));
    for (int k = 0; k < 4; ++k)
        put(72 + 13 * k, s->bytes(QStringLiteral("defaultWEPKey%1").arg(k + 1)), 13);
    put(124, s->bytes(n("operAccessPointName")), 32);
    put(156, s->bytes(n("operBasicRates")), 4);
    b[160] = info.size() > 11 ? info[11] : char(0);
    b[161] = char(integer("dfuDTIMPeriod"));
    apWriteLe16(b, 162, quint16(integer("dfuBeaconPeriod")));
    b[166] = char(integer("bridgeOperationalMode"));
    const QByteArray user = s->bytes(n("AuthorizedUserPass"));
    const QByteArray admin = s->bytes(n("AuthorizedAdminPass"));
    apWriteLe32(b, 168, quint32(user.size()));
    put(172, user, 16);
    apWriteLe32(b, 188, quint32(integer("dfuUserAccessLevel")));
    apWriteLe32(b, 192, quint32(admin.size()));
    put(196, admin, 16);
    apWriteLe32(b, 212, quint32(integer("dfuAdminAccessLevel")));
    put(240, s->bytes(n("operGateway")), 4);
    apWriteLe32(b, 244, quint32(integer("operIPFilter")));
    apWriteLe32(b, 248, quint32(integer("operDHCP")));
    apWriteLe32(b, 252, quint32(integer("operPrimaryPort")));
    apWriteLe32(b, 256, quint32(integer("AuthorizationMacEnable")));
    apWriteLe32(b, 260, quint32(integer("sysTrapSwitch")));
    put(266, s->bytes(n("bridgeRemoteBridgeBSSID")), 6);
    b[272] = char(integer("operSendBackBcast"));
    b[273] = char(integer("operForwarbBcast"));
    b[274] = char(integer("operConfigurationPort"));
    b[275] = char(integer("operSendBackUnicast"));
    b[276] = char(integer("operInterRoaming"));
    return b;
}

bool ApDfuEndpoint::applyConfigurationBlock(const QByteArray& b, QString* why)
{
    if (b.size() != BlockSize) {
        *why = QStringLiteral("block of %1 bytes").arg(b.size());
        return false;
    }
    ApStore* s = m_device->store();
    ApStore::Values v;
    auto u8 = [&](int offset) { return qint64(quint8(b[offset])); };
    auto bytes = [&](const char* name, const QByteArray& value) {
        v.insert(n(name), ApValue::ofBytes(value));
    };
    auto integer = [&](const char* name, qint64 value) {
        v.insert(n(name), ApValue::ofInteger(value));
    };

    QByteArray info = s->bytes(n("sysDeviceInfo"));
    info.replace(4, 6, b.mid(22, 6));
    info[11] = b[160];
    bytes("sysDeviceInfo", info);
    bytes("operEthernetAddress", b.mid(8, 6));
    bytes("operIPAddress", b.mid(14, 4));
    bytes("operIPMask", b.mid(18, 4));
    integer("operChannelID", u8(28));
    integer("operPreambleType", u8(29));
    integer("operAutoRateFallBack", u8(30));
    if (u8(31) > 32) {
        *why = QStringLiteral("ESSID length %1").arg(u8(31));
        return false;
    }
    bytes("operESSID", textField(b, 32, int(u8(31))));
    integer("operFragmentationThreshold", apReadLe16(b, 64));
    integer("operRTSThreshold", apReadLe16(b, 66));
    integer("operAuthenticationType", u8(68) + 1);
    integer("operSSIDBroadcasting", byteSwitch(quint8(b[69])));
    const qint64 wep = u8(70);
    if (wep > 2) {
        *why = QStringLiteral("WEP type %1").arg(wep);
        return false;
    }
    integer("privacyWEPEnable", wep == 0 ? 2 : wep == 1 ? 1 : 3);
    integer("privacyDefaultWEPKeyID", u8(71));
    for (int k = 0; k < 4; ++k)
        v.insert(QStringLiteral("defaultWEPKey%1").arg(k + 1),
                 ApValue::ofBytes(b.mid(72 + 13 * k, 13)));
    bytes("operAccessPointName", textField(b, 124, 32));
    QByteArray rates = b.mid(156, 4);
    while (rates.endsWith('\0'))
        rates.chop(1);
    bytes("operBasicRates", rates);
    integer("dfuDTIMPeriod", u8(161));
    integer("dfuBeaconPeriod", apReadLe16(b, 162));
    integer("bridgeOperationalMode", u8(166));
    const quint32 userLength = apReadLe32(b, 168), adminLength = apReadLe32(b, 192);
    if (userLength < 1 || userLength > 16 || adminLength < 1 || adminLength > 16) {
        *why = QStringLiteral("community length");
        return false;
    }
    bytes("AuthorizedUserPass", textField(b, 172, int(userLength)));
    integer("dfuUserAccessLevel", apReadLe32(b, 188));
    bytes("AuthorizedAdminPass", textField(b, 196, int(adminLength)));
    integer("dfuAdminAccessLevel", apReadLe32(b, 212));
    bytes("operGateway", b.mid(240, 4));
    integer("operIPFilter", apReadLe32(b, 244));
    integer("operDHCP", apReadLe32(b, 248));
    integer("operPrimaryPort", apReadLe32(b, 252));
    integer("AuthorizationMacEnable", apReadLe32(b, 256));
    integer("sysTrapSwitch", apReadLe32(b, 260));
    bytes("bridgeRemoteBridgeBSSID", b.mid(266, 6));
    integer("operSendBackBcast", byteSwitch(quint8(b[272])));
    integer("operForwarbBcast", byteSwitch(quint8(b[273])));
    integer("operConfigurationPort", u8(274));
    integer("operSendBackUnicast", byteSwitch(quint8(b[275])));
    integer("operInterRoaming", byteSwitch(quint8(b[276])));
    bytes("dfuBlockReserved", b);

    // Every field must be one the device can hold, with the same checks as over SNMP.
    const ApVariableTable* table = m_device->table();
    for (auto it = v.cbegin(); it != v.cend(); ++it) {
        const ApVariable* var = table->find(it.key());
        if (!var || ApVariableTable::checkValue(*var, it.value()) != ApCheck::Ok) {
            *why = QStringLiteral("value of %1").arg(it.key());
            return false;
        }
    }
    int lowest = 1, highest = 14;
    ApDevice::channelRange(quint8(b[160]), &lowest, &highest);
    if (u8(28) < lowest || u8(28) > highest) {
        *why = QStringLiteral("channel %1 outside the regulatory domain").arg(u8(28));
        return false;
    }

    const QByteArray oldIp = s->bytes(n("operIPAddress"));
    s->setStoredValues(v);
    if (s->bytes(n("operIPAddress")) != oldIp)
        m_device->raiseTrap(7, s->bytes(n("operIPAddress")));
    return true;
}
