// An answer from bytes through the device session: the group's own sender
// names its handler (the request cannot leave, the manager is not open), the
// datagram is decoded and becomes the manager's received message from the
// agent, and the session's dispatcher runs the handler, which stores into the
// cache. Then everything that reads the cache's blocks reads them.
//
// Input: byte 0 chooses the sender, byte 1 holds the flags below, the rest is
// the datagram.
#include "fuzz_support.h"

#include "session.h"
#include "snmp_manager.h"
#include "snmp_mib.h"

#include <cstdlib>
#include <functional>
#include <memory>

namespace
{

// Flags of byte 1.
constexpr uint8_t kOwnRequestId = 0x01; // the answer carries the id of the request
constexpr uint8_t kOtherAgent = 0x02;   // the answer comes from another address
constexpr uint8_t kDebugMode = 0x04;    // diagnostics on (their texts are built)
constexpr uint8_t kFilledCache = 0x08;  // the cache holds typical values before

class SilentUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString& text) override { m_seen += text.size(); }
    void ShowStopMessage(const QString& text) override { m_seen += text.size(); }
    void SetStatusText(const QString& text) override { m_seen += text.size(); }
    qsizetype m_seen = 0;
};

using S = CDeviceSession;
const std::function<int(S&)> kSenders[] = {
    [](S& s) { return s.SendWirelessOperationalGet(); },
    [](S& s) { return s.SendWirelessOperationalSet(); },
    [](S& s) { return s.SendPrivacySettingsGet(); },
    [](S& s) { return s.SendPrivacySettingsSet(); },
    [](S& s) { return s.SendIPSettingsGet(); },
    [](S& s) { return s.SendIPSettingsSet(); },
    [](S& s) { return s.SendFilteringGet(); },
    [](S& s) { return s.SendFilteringSet(); },
    [](S& s) { return s.SendOperationalModeGet(); },
    [](S& s) { return s.SendOperationalModeSet(); },
    [](S& s) { return s.SendAccessPointClientSet(); },
    [](S& s) { return s.SendKnownAPsGet(); },
    [](S& s) { return s.SendHardwareGet(); },
    [](S& s) { return s.SendHardwareSet(); },
    [](S& s) { return s.SendRadioConfigurationGet(); },
    [](S& s) { return s.SendRadioConfigurationSet(); },
    [](S& s) { return s.SendWirelessStatisticsGet(); },
    [](S& s) { return s.SendEthernetStatisticsGet(); },
    [](S& s) { return s.SendAssociatedSTAsNumGet(); },
    [](S& s) { return s.SendAssociatedStationGet(); },
    [](S& s) { return s.SendAuthorizedSet(1); },
    [](S& s) { return s.SendAuthorizedSet(2); },
    [](S& s) { return s.SendAuthorizedMacBlock(1); },
    [](S& s) { return s.SendAuthorizedMacBlock(2); },
    [](S& s) { return s.SendAuthorizationMacEnableSet(); },
    [](S& s) { return s.SendTrapSwitchGet(); },
    [](S& s) { return s.SendTrapStateSet(); },
    [](S& s) { return s.SendResetCommand(false); },
    [](S& s) { return s.SendResetCommand(true); },
    [](S& s) { return s.SendRestoreDefaults(); },
    [](S& s) { return s.SendTestModeSet(); },
    [](S& s) { return s.SendTestModeStructSet(); },
    [](S& s) { return s.SendTestStatisticsGet(); },
};
constexpr size_t kSenderCount = sizeof kSenders / sizeof kSenders[0];

void fillCache(S& s, uint8_t station)
{
    s.operChannelID = 6;
    s.operESSID = QStringLiteral("Rooftop");
    s.operBasicRates = QStringLiteral("8284");
    s.operAccessPointName = QStringLiteral("AP");
    s.defaultWEPKey1 = QStringLiteral("0102030405");
    s.defaultWEPKey2 = QStringLiteral("0A0B0C0D0E0F101112131415");
    s.bridgeOperationalMode = 4;
    s.bridgeRemoteBridgeBSSID = QStringLiteral("00A0F8123456");
    s.TestModeRadioConfiguration = QString(S::kRadioConfigurationDigits, QLatin1Char('F'));
    s.TestModeCommandStruct = S::TestCommandText(S::TestCommand{});
    s.m_newCommunity = QStringLiteral("secret");
    s.FillAuthorizedMacBlock(S::MacBlockWrite, 3, 2, QStringLiteral("00a0f8000001"));
    s.m_stationIndex = station;
    s.m_stationCount = station;
}

// Reads every derived view of the cache, as the forms do.
qsizetype readCache(const S& s)
{
    qsizetype seen = 0;
    for (const S::KnownBss& bss : s.KnownBssList())
        seen += bss.bssid.size() + bss.ssid.size() + bss.signal + bss.channel + bss.flags;
    for (std::size_t offset : {std::size_t(S::DeviceOemNameOffset),
                               std::size_t(S::DeviceProductNameOffset), std::size_t(90)})
        seen += s.DeviceInfoText(offset).size();
    seen += s.DeviceMacAddress().size() + s.AuthorizedMacAddress().size();
    seen += s.AuthorizedMacOperation() + s.AuthorizedMacTotal() + s.AuthorizedMacEntry();
    for (int n = 0; n < 60; ++n)
        seen += S::StatisticsCounter(s.wirelessStatistics, n) & 1;
    for (int n = 0; n < 30; ++n)
        seen += (S::StatisticsCounter(s.EthRxStatistics, n) ^
                 S::StatisticsCounter(s.EthTxStatistics, n)) & 1;
    if (s.m_stationIndex < quint32(S::kStationRecords)) {
        const S::StationRecord& record = s.AssociatedSTAsInfo[s.m_stationIndex];
        seen += S::StationNumber(record) + S::StationMacAddress(record).size();
    }
    seen += S::RegulatoryDomainName(s.m_regulatoryDomain).size() +
            S::RegulatoryDomainChannels(s.m_regulatoryDomain).size();
    seen += S::HexTextToBytes(s.operBasicRates).size() + s.TestStatisticsCounter(S::TestFramesFailed);
    return seen;
}

struct Fixture {
    Fixture()
    {
        qxfuzz::application();
        if (!mib.load(QStringLiteral(QX_MIB_FILE)))
            abort();
    }
    SnmpMib mib;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture fixture;
    if (size < 2)
        return 0;
    const uint8_t selector = data[0];
    const uint8_t flags = data[1];
    const std::optional<SnmpMessage> answer = SnmpMessage::decode(qxfuzz::bytes(data + 2, size - 2));

    SnmpManager manager;
    SilentUi ui;
    auto session = std::make_unique<S>(&manager, &fixture.mib, &ui);
    session->m_agentAddress = QStringLiteral("127.0.0.1");
    session->m_community = QStringLiteral("private");
    session->m_debugMode = flags & kDebugMode;
    // The station read names its station by the sender's index.
    session->m_stationIndex = 1 + (flags >> 4);
    if (flags & kFilledCache)
        fillCache(*session, uint8_t(1 + (flags >> 4)));

    kSenders[selector % kSenderCount](*session);
    if (!answer)
        return 0;

    manager.message() = *answer;
    manager.setRemoteHost(flags & kOtherAgent ? QStringLiteral("127.0.0.2")
                                              : session->m_agentAddress);
    if (flags & kOwnRequestId)
        session->m_requestCounter = qint32(quint32(answer->requestId()) + 1u);
    session->DispatchResponse();
    // The same answer again: the handler has been cleared, nothing runs.
    const quint32 get = session->m_getResult, set = session->m_setResult;
    session->DispatchResponse();
    if (session->m_getResult != get || session->m_setResult != set)
        abort();
    (void)readCache(*session);
    return 0;
}
