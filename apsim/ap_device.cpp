#include "ap_device.h"

#include <QHostAddress>

#include <cmath>

namespace
{

constexpr int kMaxMacTable = 680;
constexpr int kKnownEntries = 16;
constexpr int kKnownEntrySize = 48;

QString n(const char* name)
{
    return QString::fromLatin1(name);
}

// Counters are kept as running totals and read modulo 2^32, as the device's 32-bit
// counters wrap.
void packCounters(QByteArray& block, const double* values, int count)
{
    for (int i = 0; i < count; ++i)
        apWriteLe32(block, 4 * i, quint32(std::fmod(std::floor(values[i]), 4294967296.0)));
}

quint32 readBe32(const QByteArray& b, int offset)
{
    return (quint32(quint8(b[offset])) << 24) | (quint32(quint8(b[offset + 1])) << 16) |
           (quint32(quint8(b[offset + 2])) << 8) | quint32(quint8(b[offset + 3]));
}

QByteArray idleTestCommand()
{
    // Channel 1, antenna A, power C0, 11 Mbit/s, idle, 1000 us, 1500 bytes, 100 frames,
    // pattern AA, CR20 08, CR21 48.
    return QByteArray::fromHex("0101C00301"
                               "04"
                               "03E8"
                               "000005DC"
                               "00000064"
                               "AA"
                               "00"
                               "08"
                               "48"
                               "00");
}

} // namespace

ApDevice::ApDevice(const ApVariableTable* table, ApStore* store, const ApProfile& profile,
                   const ApDeviceSettings& settings, QObject* parent)
    : QObject(parent), m_table(table), m_store(store), m_profile(profile), m_settings(settings)
{
    if (settings.seed != 0)
        m_random.seed(settings.seed);
    else
        m_random.seed(QRandomGenerator::global()->generate());
    m_resetTimer.setSingleShot(true);
    m_surveyTimer.setSingleShot(true);
    m_churnTimer.setSingleShot(true);
    connect(&m_resetTimer, &QTimer::timeout, this, &ApDevice::finishReset);
    connect(&m_surveyTimer, &QTimer::timeout, this, &ApDevice::finishSurvey);
    connect(&m_churnTimer, &QTimer::timeout, this, &ApDevice::churn);
    m_lastStationRecord = QByteArray(50, '\0');
    m_lastMacBlock = QByteArray(12, '\0');
    m_trapBssid = QByteArray(6, '\0');
    m_trapStationMac = QByteArray(6, '\0');
    m_testCommand = idleTestCommand();
}

void ApDevice::start()
{
    m_uptime.start();
    resetCounters();
    m_associated.clear();
    for (const ApStation& s : m_profile.stations) {
        if (s.associated)
            m_associated.append(s.mac);
    }
    scheduleChurn();
    raiseTrap(6);
}

qint64 ApDevice::uptimeTicks() const
{
    return m_uptime.isValid() ? m_uptime.elapsed() / 10 : 0;
}

quint8 ApDevice::regulatoryDomain() const
{
    const QByteArray info = m_store->bytes(n("sysDeviceInfo"));
    return info.size() > 11 ? quint8(info[11]) : 0;
}

bool ApDevice::channelRange(quint8 domain, int* lowest, int* highest)
{
    switch (domain) {
    case 0x10:
    case 0x20:
        *lowest = 1, *highest = 11;
        return true;
    case 0x30:
        *lowest = 1, *highest = 13;
        return true;
    case 0x31:
        *lowest = 10, *highest = 11;
        return true;
    case 0x32:
        *lowest = 10, *highest = 13;
        return true;
    case 0x40:
        *lowest = 14, *highest = 14;
        return true;
    case 0x41:
        *lowest = 1, *highest = 14;
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------------------
// Reading

ApValue ApDevice::read(const ApVariable& var)
{
    const QString& name = var.name;
    if (name == QLatin1String("sysDescr"))
        return ApValue::ofBytes(m_profile.sysDescr.toUtf8().left(255));
    if (name == QLatin1String("sysObjectID"))
        return ApValue::ofBytes(m_table->enterpriseOid().toLatin1());
    if (name == QLatin1String("sysUpTime"))
        return ApValue::ofInteger(uptimeTicks());
    if (name == QLatin1String("operESSIDLength"))
        return ApValue::ofInteger(m_store->bytes(n("operESSID")).size());
    if (name == QLatin1String("wirelessKnownAPs"))
        return ApValue::ofBytes(knownApsBlock());
    if (name == QLatin1String("SiteSurveyCommand"))
        return ApValue::ofInteger(m_surveying ? 1 : 0);
    if (name == QLatin1String("SelectedBSSListNumber"))
        return ApValue::ofInteger(m_selectedBss);
    if (name == QLatin1String("wirelessStatistics")) {
        updateCounters();
        QByteArray block(88, '\0');
        packCounters(block, m_wireless.data(), int(m_wireless.size()));
        return ApValue::ofBytes(block);
    }
    if (name == QLatin1String("EthRxStatistics")) {
        updateCounters();
        QByteArray block(64, '\0');
        packCounters(block, m_ethRx.data(), int(m_ethRx.size()));
        return ApValue::ofBytes(block);
    }
    if (name == QLatin1String("EthTxStatistics")) {
        updateCounters();
        QByteArray block(56, '\0');
        packCounters(block, m_ethTx.data(), int(m_ethTx.size()));
        return ApValue::ofBytes(block);
    }
    if (name == QLatin1String("AssociatedSTAsNum"))
        return ApValue::ofInteger(m_associated.size());
    if (name == QLatin1String("AssociatedSTAsInfo"))
        return ApValue::ofBytes(m_lastStationRecord);
    // The communities are never disclosed.
    if (name == QLatin1String("AuthorizedUserPass") || name == QLatin1String("AuthorizedAdminPass"))
        return ApValue::ofBytes({});
    if (name == QLatin1String("AuthorizedMac"))
        return ApValue::ofBytes(m_lastMacBlock);
    if (name == QLatin1String("sysUpload") || name == QLatin1String("sysReset") ||
        name == QLatin1String("sysLoadDefaults"))
        return ApValue::ofInteger(0);
    if (name == QLatin1String("TestModeOnOff"))
        return ApValue::ofInteger(m_testMode ? 1 : 2);
    if (name == QLatin1String("TestModeCommandStruct"))
        return ApValue::ofBytes(m_testCommand);
    if (name == QLatin1String("TestModeStatistics")) {
        updateTestCounters();
        QByteArray block(12, '\0');
        const double counters[3] = {m_testReceived, m_testErrored, m_testTransmitted};
        packCounters(block, counters, 3);
        return ApValue::ofBytes(block);
    }
    if (name == QLatin1String("trapBSSID"))
        return ApValue::ofBytes(m_trapBssid);
    if (name == QLatin1String("trapStationMac"))
        return ApValue::ofBytes(m_trapStationMac);
    return m_store->value(name);
}

QByteArray ApDevice::knownApsBlock() const
{
    QByteArray block(kKnownEntries * kKnownEntrySize, '\0');
    for (int i = 0; i < m_known.size() && i < kKnownEntries; ++i) {
        const ApNeighbour& bss = m_known[i];
        const int at = i * kKnownEntrySize;
        block.replace(at, 6, bss.bssid);
        block[at + 6] = char(bss.rssi);
        block[at + 8] = char(bss.channel);
        block[at + 10] = char(bss.flags);
        const QByteArray ssid = bss.ssid.left(32);
        block.replace(at + 16, ssid.size(), ssid);
    }
    return block;
}

QByteArray ApDevice::stationRecord(int number) const
{
    QByteArray record(50, '\0');
    if (number < 1 || number > m_associated.size())
        return record; // station number 0: no such station
    apWriteLe16(record, 0, quint16(number));
    record.replace(2, 6, m_associated[number - 1]);
    return record;
}

// ---------------------------------------------------------------------------------------
// Writing

ApError ApDevice::check(const QList<ApWrite>& writes, int* failedIndex) const
{
    auto inRequest = [&](const char* name) -> const ApWrite* {
        for (const ApWrite& w : writes) {
            if (w.variable->name == QLatin1String(name))
                return &w;
        }
        return nullptr;
    };
    bool testModeOn = m_testMode;
    QList<QByteArray> pending = m_pendingTable;
    int pendingTotal = m_pendingTotal;

    for (int i = 0; i < writes.size(); ++i) {
        const ApWrite& w = writes[i];
        const QString& name = w.variable->name;
        *failedIndex = i;
        if (w.variable->access != ApAccess::ReadWrite)
            return ApError::NotWritable;
        switch (ApVariableTable::checkValue(*w.variable, w.value)) {
        case ApCheck::Ok:
            break;
        case ApCheck::WrongType:
            return ApError::WrongType;
        case ApCheck::WrongLength:
            return ApError::WrongLength;
        case ApCheck::WrongValue:
            return ApError::WrongValue;
        }

        if (name == QLatin1String("operESSIDLength")) {
            const ApWrite* essid = inRequest("operESSID");
            const qsizetype length =
                essid ? essid->value.bytes.size() : m_store->bytes(n("operESSID")).size();
            if (w.value.integer != length)
                return ApError::Inconsistent;
        } else if (name == QLatin1String("operChannelID")) {
            const ApWrite* info = inRequest("sysDeviceInfo");
            const quint8 domain = info ? quint8(info->value.bytes[11]) : regulatoryDomain();
            int lowest = 1, highest = 14;
            channelRange(domain, &lowest, &highest);
            if (w.value.integer < lowest || w.value.integer > highest)
                return ApError::Inconsistent;
        } else if (name == QLatin1String("SelectedBSSListNumber")) {
            if (w.value.integer > m_known.size() || w.value.integer > kKnownEntries)
                return ApError::Inconsistent;
        } else if (name == QLatin1String("TestModeOnOff")) {
            testModeOn = w.value.integer == 1;
        } else if (name == QLatin1String("TestModeCommandStruct")) {
            if (!testModeOn)
                return ApError::Inconsistent;
        } else if (name == QLatin1String("AuthorizedMac")) {
            const QByteArray& b = w.value.bytes;
            const int operation = apReadLe16(b, 0);
            const int total = apReadLe16(b, 2);
            const int entry = apReadLe16(b, 4);
            if (operation == 1) {
                if (total < 1 || total > kMaxMacTable || entry < 1 || entry > total)
                    return ApError::WrongValue;
                // Blocks come in order; the same block may come again after a lost answer.
                if (entry > 1 && (pending.size() < entry - 1 || total != pendingTotal))
                    return ApError::Inconsistent;
                if (entry == 1)
                    pending.clear();
                pendingTotal = total;
                pending = pending.mid(0, entry - 1);
                pending.append(b.mid(6, 6));
            } else if (operation != 2) {
                return ApError::WrongValue;
            }
        }
    }
    *failedIndex = -1;
    return ApError::None;
}

QByteArray ApDevice::macBlockReply(const QByteArray& request)
{
    const int operation = apReadLe16(request, 0);
    const int total = apReadLe16(request, 2);
    const int entry = apReadLe16(request, 4);
    if (operation == 1) {
        if (entry == 1)
            m_pendingTable.clear();
        m_pendingTotal = total;
        m_pendingTable = m_pendingTable.mid(0, entry - 1);
        m_pendingTable.append(request.mid(6, 6));
        // What has arrived so far is the device's table, so that a transfer that breaks
        // off leaves the addresses already sent.
        m_store->setMacTable(m_pendingTable);
        if (entry == total)
            Q_EMIT noteworthy(
                QStringLiteral("MAC authorization table of %1 entries written").arg(total));
        return request;
    }
    const QList<QByteArray> table = m_store->macTable();
    QByteArray reply(12, '\0');
    apWriteLe16(reply, 0, 2);
    apWriteLe16(reply, 2, quint16(table.size()));
    apWriteLe16(reply, 4, quint16(entry));
    if (entry >= 1 && entry <= table.size())
        reply.replace(6, 6, table[entry - 1]);
    return reply;
}

QList<ApValue> ApDevice::apply(const QList<ApWrite>& writes)
{
    QList<ApValue> answers;
    int join = 0;
    bool survey = false, doUpload = false, doDefaults = false, doReset = false;
    const QByteArray oldIp = m_store->bytes(n("operIPAddress"));

    for (const ApWrite& w : writes) {
        const QString& name = w.variable->name;
        ApValue answer = w.value;
        if (name == QLatin1String("operESSIDLength")) {
            // Follows operESSID.
        } else if (name.startsWith(QLatin1String("defaultWEPKey"))) {
            QByteArray key = w.value.bytes;
            key.append(QByteArray(13 - key.size(), '\0'));
            m_store->setValue(name, ApValue::ofBytes(key));
        } else if (name == QLatin1String("operIPAddress") || name == QLatin1String("operIPMask") ||
                   name == QLatin1String("operGateway")) {
            m_store->setValue(name, ApValue::ofBytes(w.value.bytes));
        } else if (name == QLatin1String("SelectedBSSListNumber")) {
            m_selectedBss = int(w.value.integer);
            join = m_selectedBss;
        } else if (name == QLatin1String("SiteSurveyCommand")) {
            survey = true;
        } else if (name == QLatin1String("AssociatedSTAsInfo")) {
            m_lastStationRecord = stationRecord(apReadLe16(w.value.bytes, 0));
            answer = ApValue::ofBytes(m_lastStationRecord);
        } else if (name == QLatin1String("AuthorizedMac")) {
            m_lastMacBlock = macBlockReply(w.value.bytes);
            answer = ApValue::ofBytes(m_lastMacBlock);
        } else if (name == QLatin1String("sysUpload")) {
            doUpload = true;
        } else if (name == QLatin1String("sysReset")) {
            doReset = true;
        } else if (name == QLatin1String("sysLoadDefaults")) {
            doDefaults = true;
        } else if (name == QLatin1String("TestModeOnOff")) {
            const bool on = w.value.integer == 1;
            if (on && !m_testMode) {
                m_testCommand = idleTestCommand();
                m_testReceived = m_testErrored = m_testTransmitted = 0;
            }
            m_testMode = on;
            Q_EMIT noteworthy(on ? QStringLiteral("test mode on") : QStringLiteral("test mode off"));
        } else if (name == QLatin1String("TestModeCommandStruct")) {
            updateTestCounters();
            const quint8 command = quint8(w.value.bytes[5]);
            if ((command == 2 || command == 8) && quint8(m_testCommand[5]) != command)
                m_testReceived = m_testErrored = m_testTransmitted = 0;
            m_testCommand = w.value.bytes;
            m_testClock.start();
            Q_EMIT noteworthy(QStringLiteral("test command %1").arg(command));
        } else {
            m_store->setValue(name, w.value);
        }
        answers.append(answer);
    }

    if (join > 0)
        joinSelectedBss(join);
    if (survey)
        startSiteSurvey();
    const QByteArray newIp = m_store->bytes(n("operIPAddress"));
    if (newIp != oldIp)
        raiseTrap(7, newIp);
    if (doUpload)
        upload();
    if (doDefaults)
        loadDefaults();
    if (doReset) {
        // The answer to the reset goes out first; the device goes down right after.
        QTimer::singleShot(0, this, [this] { reset(); });
    }
    return answers;
}

void ApDevice::joinSelectedBss(int number)
{
    const int mode = int(m_store->integer(n("bridgeOperationalMode")));
    if (number < 1 || number > m_known.size() || mode == 2)
        return;
    const ApNeighbour bss = m_known[number - 1];
    if (!bss.ssid.isEmpty() && !bss.ssid.contains('\0'))
        m_store->setValue(n("operESSID"), ApValue::ofBytes(bss.ssid));
    m_store->setValue(n("operChannelID"), ApValue::ofInteger(bss.channel));
    m_store->setValue(n("bridgeRemoteBridgeBSSID"), ApValue::ofBytes(bss.bssid));
    Q_EMIT noteworthy(QStringLiteral("joined BSS %1 (%2, channel %3)")
                     .arg(apMacText(bss.bssid), QString::fromUtf8(bss.ssid))
                     .arg(bss.channel));
    raiseTrap(mode == 1 || mode == 4 ? 13 : 11, bss.bssid);
}

// ---------------------------------------------------------------------------------------
// Events

void ApDevice::associate(const QByteArray& mac)
{
    if (mac.size() != 6 || m_associated.contains(mac) || m_rebooting)
        return;
    if (m_store->integer(n("AuthorizationMacEnable")) == 1 && !m_store->macTable().contains(mac)) {
        Q_EMIT noteworthy(QStringLiteral("station %1 refused: not authorized").arg(apMacText(mac)));
        raiseTrap(21, mac);
        return;
    }
    if (m_associated.size() >= 2000)
        return;
    updateCounters();
    m_associated.append(mac);
    Q_EMIT noteworthy(QStringLiteral("station %1 associated").arg(apMacText(mac)));
    raiseTrap(18, mac);
}

void ApDevice::disassociate(const QByteArray& mac)
{
    if (!m_associated.contains(mac) || m_rebooting)
        return;
    updateCounters();
    m_associated.removeAll(mac);
    Q_EMIT noteworthy(QStringLiteral("station %1 left").arg(apMacText(mac)));
    raiseTrap(19, mac);
}

void ApDevice::scheduleChurn()
{
    if (m_settings.churnSeconds <= 0 || m_profile.stations.isEmpty())
        return;
    // Between half and one and a half times the mean interval.
    const int ms = m_settings.churnSeconds * 500 +
                   int(m_random.bounded(quint32(m_settings.churnSeconds) * 1000 + 1));
    m_churnTimer.start(ms);
}

void ApDevice::churn()
{
    const ApStation& s =
        m_profile.stations[int(m_random.bounded(quint32(m_profile.stations.size())))];
    if (m_associated.contains(s.mac))
        disassociate(s.mac);
    else
        associate(s.mac);
    scheduleChurn();
}

void ApDevice::startSiteSurvey()
{
    if (m_rebooting)
        return;
    m_surveying = true;
    Q_EMIT noteworthy(QStringLiteral("site survey started"));
    m_surveyTimer.start(m_settings.scanDelayMs);
}

void ApDevice::finishSurvey()
{
    const QList<ApNeighbour> before = m_known;
    m_known = m_profile.neighbours.mid(0, kKnownEntries);
    m_surveying = false;
    Q_EMIT noteworthy(QStringLiteral("site survey found %1 BSSs").arg(m_known.size()));
    for (const ApNeighbour& bss : m_known) {
        bool seen = false;
        for (const ApNeighbour& old : before)
            seen = seen || old.bssid == bss.bssid;
        if (!seen)
            raiseTrap(16, bss.bssid);
    }
}

bool ApDevice::upload(QString* error)
{
    QString why;
    const bool ok = m_store->upload(&why);
    if (error)
        *error = why;
    Q_EMIT noteworthy(ok ? QStringLiteral("configuration saved")
                    : QStringLiteral("saving failed: ") + why);
    if (ok)
        raiseTrap(10);
    return ok;
}

bool ApDevice::loadDefaults(QString* error)
{
    QString why;
    const bool ok = m_store->loadDefaults(&why);
    if (error)
        *error = why;
    m_pendingTable.clear();
    m_pendingTotal = 0;
    Q_EMIT noteworthy(QStringLiteral("factory defaults restored"));
    raiseTrap(22);
    return ok;
}

void ApDevice::reset()
{
    if (m_rebooting)
        return;
    m_rebooting = true;
    m_surveyTimer.stop();
    m_churnTimer.stop();
    Q_EMIT noteworthy(QStringLiteral("reset: silent for %1 ms").arg(m_settings.resetTimeMs));
    Q_EMIT rebooting(true);
    m_resetTimer.start(m_settings.resetTimeMs);
}

void ApDevice::finishReset()
{
    m_store->revertToSaved();
    m_testMode = false;
    m_testCommand = idleTestCommand();
    m_testReceived = m_testErrored = m_testTransmitted = 0;
    m_known.clear();
    m_surveying = false;
    m_pendingTable.clear();
    m_pendingTotal = 0;
    m_lastStationRecord = QByteArray(50, '\0');
    m_lastMacBlock = QByteArray(12, '\0');
    m_uptime.start();
    resetCounters();
    m_rebooting = false;
    Q_EMIT noteworthy(QStringLiteral("restarted with the saved configuration"));
    Q_EMIT rebooting(false);
    scheduleChurn();
    raiseTrap(6);
}

void ApDevice::setEthernetLink(bool up)
{
    if (up == m_ethernetUp)
        return;
    updateCounters();
    m_ethernetUp = up;
    raiseTrap(up ? 8 : 9);
}

bool ApDevice::raiseTrap(int code, const QByteArray& value)
{
    if (code < 6 || code > 22)
        return false;
    QList<QPair<const ApVariable*, ApValue>> vars;
    if (code == 7) {
        const QByteArray ip = value.size() == 4 ? value : m_store->bytes(n("operIPAddress"));
        vars.append({m_table->find(n("operIPAddress")), ApValue::ofBytes(ip)});
    } else if (code >= 11 && code <= 17) {
        QByteArray bssid = value;
        if (bssid.size() != 6)
            bssid = m_store->bytes(n("bridgeRemoteBridgeBSSID"));
        if (bssid == QByteArray(6, '\0') && !m_profile.neighbours.isEmpty())
            bssid = m_profile.neighbours.first().bssid;
        m_trapBssid = bssid;
        vars.append({m_table->find(n("trapBSSID")), ApValue::ofBytes(bssid)});
    } else if (code >= 18 && code <= 21) {
        QByteArray mac = value;
        if (mac.size() != 6)
            mac = !m_associated.isEmpty()         ? m_associated.first()
                  : !m_profile.stations.isEmpty() ? m_profile.stations.first().mac
                                                  : QByteArray(6, '\0');
        m_trapStationMac = mac;
        vars.append({m_table->find(n("trapStationMac")), ApValue::ofBytes(mac)});
    }
    if (m_store->integer(n("sysTrapSwitch")) != 1)
        return true; // traps are off: the event happens, nothing is sent
    Q_EMIT trap(code, vars);
    return true;
}

// ---------------------------------------------------------------------------------------
// Counters

void ApDevice::resetCounters()
{
    m_wireless.fill(0);
    m_ethRx.fill(0);
    m_ethTx.fill(0);
    m_counterClock.start();
}

void ApDevice::updateCounters()
{
    if (!m_counterClock.isValid()) {
        m_counterClock.start();
        return;
    }
    const double dt = double(m_counterClock.restart()) / 1000.0;
    if (dt <= 0 || m_rebooting)
        return;
    const double s = double(m_associated.size());
    const double neighbours = double(m_profile.neighbours.size());
    const double beaconPeriod = double(qMax<qint64>(20, m_store->integer(n("dfuBeaconPeriod"))));
    const double uTx = 15 * s, uRx = 18 * s;
    const double wireless[22] = {
        uTx,
        2,
        1,
        1000.0 / (beaconPeriod * 1.024),
        uRx,
        0,
        0,
        uRx,
        1.5 * s,
        0.5 * s,
        10 * neighbours,
        uTx * 0.98,
        0,
        0,
        uTx * 0.02,
        0,
        uTx * 0.03,
        uRx * 0.005,
        uTx * 0.002,
        0.01,
        0.4 + uRx * 0.01,
        0.2,
    };
    for (int i = 0; i < 22; ++i)
        m_wireless[i] += wireless[i] * dt;
    if (!m_ethernetUp)
        return;
    const double p = 40 + 20 * s, t = 30 + 18 * s;
    const double rx[16] = {p * 420,    p, p * 0.0002, p * 0.04, p * 0.12,   0.01, 0,          0,
                           p * 0.0001, 0, 0,          0,        p * 0.0001, 0,    p * 0.0001, 0};
    const double tx[14] = {t * 610,   t, 0,         t * 0.03,   t * 0.08,
                           t * 0.89,  0, t * 0.001, t * 0.0005, t * 0.002,
                           t * 0.001, 0, 0,         t * 0.003};
    for (int i = 0; i < 16; ++i)
        m_ethRx[i] += rx[i] * dt;
    for (int i = 0; i < 14; ++i)
        m_ethTx[i] += tx[i] * dt;
}

void ApDevice::updateTestCounters()
{
    if (!m_testClock.isValid()) {
        m_testClock.start();
        return;
    }
    const double dt = double(m_testClock.restart()) / 1000.0;
    if (!m_testMode || dt <= 0)
        return;
    const quint8 command = quint8(m_testCommand[5]);
    if (command == 2) {
        // A tester sends 200 frames a second; 3 in 100 arrive damaged.
        m_testReceived += 200 * dt * 0.97;
        m_testErrored += 200 * dt * 0.03;
    } else if (command == 8) {
        static const double kRates[4] = {1, 2, 5.5, 11};
        const double gap = double((quint8(m_testCommand[6]) << 8) | quint8(m_testCommand[7]));
        const double length = double(readBe32(m_testCommand, 8));
        const double rate = kRates[qMin(3, int(quint8(m_testCommand[3])))];
        const double microseconds = gap + 192 + length * 8 / rate;
        const double frames = double(readBe32(m_testCommand, 12));
        m_testTransmitted = qMin(frames, m_testTransmitted + dt * 1e6 / microseconds);
    }
}
