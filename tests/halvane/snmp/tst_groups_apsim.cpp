// Every variable group against a running apsim on loopback: read, change,
// write, read back; and the runners' retries and refusals against apsim's
// fault options.
#include "apsim_process.h"
#include "group_fixture.h"

#include <QSignalSpy>
#include <QTimer>

namespace
{

using Kind = CDeviceSession::RequestKind;

QString hex(const QString& text)
{
    return text.toUpper();
}

} // namespace

class TestGroupsApsim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void wirelessOperational();
    void refusedCommunity();
    void privacy();
    void bridgeIpAndFiltering();
    void operationalMode();
    void knownBssAndClient();
    void deviceInfoAndRadio();
    void statisticsAndStations();
    void accessRights();
    void systemCommands();
    void testMode();

    void runnerGivesUpOnSilence();
    void runnerRetriesAfterDroppedRequest();
    void answersWithWrongIdentifierAreIgnored();
    void runnerRefusesWhileManagerBusy();
    void wrongLengthIsRejected();

private:
    // One step with up to 5 attempts, as the multi-step operations run them.
    bool step(Kind kind, CDeviceSession::Sender sender)
    {
        return m_f->session->RunSynchronous(kind, sender, 5);
    }
    QString apGet(const QString& name)
    {
        const QString line = m_ap.control(QStringLiteral("get ") + name);
        const qsizetype at = line.indexOf(QLatin1String(" = "));
        return at < 0 ? QString() : line.mid(at + 3);
    }

    ApsimProcess m_ap;
    std::unique_ptr<GroupFixture> m_f;
};

void TestGroupsApsim::init()
{
    QVERIFY2(m_ap.start({"--reset-time", "300", "--scan-delay", "200"}), "apsim did not start");
    m_f = std::make_unique<GroupFixture>();
    m_f->manager->setRemotePort(m_ap.port());
}

void TestGroupsApsim::cleanup()
{
    m_f.reset();
    m_ap.stop();
}

void TestGroupsApsim::wirelessOperational()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operESSID, QStringLiteral("QX9304"));
    QCOMPARE(s.AuthorizationMacEnable, 2u);

    s.operChannelID = 6;
    s.operESSID = QStringLiteral("groups-test");
    s.operRTSThreshold = 1000;
    s.operFragmentationThreshold = 1200;
    s.operPreambleType = 1;
    s.operAuthenticationType = 3;
    s.operBasicRates = QStringLiteral("8284");
    s.operAutoRateFallBack = 2;
    s.operAccessPointName = QStringLiteral("Roof AP");
    s.operSSIDBroadcasting = 2;
    s.operAntennaSettings = 2;
    s.operInterRoaming = 1;
    QVERIFY(step(CDeviceSession::Write, &CDeviceSession::SendWirelessOperationalSet));
    QCOMPARE(apGet("operESSID"), QStringLiteral("groups-test"));
    QCOMPARE(apGet("operESSIDLength"), QStringLiteral("11"));

    // Read back into a cache that holds other values.
    s.operChannelID = 1;
    s.operESSID.clear();
    s.operBasicRates.clear();
    s.operAccessPointName.clear();
    s.operAntennaSettings = 0;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operChannelID, 6u);
    QCOMPARE(s.operESSID, QStringLiteral("groups-test"));
    QCOMPARE(s.operRTSThreshold, 1000u);
    QCOMPARE(s.operFragmentationThreshold, 1200u);
    QCOMPARE(s.operPreambleType, 1u);
    QCOMPARE(s.operAuthenticationType, 3u);
    QCOMPARE(s.operBasicRates, QStringLiteral("8284"));
    QCOMPARE(s.operAutoRateFallBack, 2u);
    QCOMPARE(s.operAccessPointName, QStringLiteral("Roof AP"));
    QCOMPARE(s.operSSIDBroadcasting, 2u);
    QCOMPARE(s.operAntennaSettings, 2u);
    QCOMPARE(s.operInterRoaming, 1u);
    QVERIFY(m_f->ui.plain.isEmpty());

    // A channel outside the FCC domain is refused by the device.
    s.operChannelID = 13;
    m_f->session->m_debugMode = false;
    QVERIFY(!m_f->session->RunSynchronous(CDeviceSession::Write,
                                          &CDeviceSession::SendWirelessOperationalSet, 1));
    QCOMPARE(apGet("operChannelID"), QStringLiteral("6"));
}

void TestGroupsApsim::refusedCommunity()
{
    CDeviceSession& s = *m_f->session;
    s.m_community = QStringLiteral("nobody");
    s.m_retryCount = 0;
    QVERIFY(!step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.m_retryCount, quint8(4));
    QVERIFY(m_f->ui.stop.contains(
        QStringLiteral("You are not an authorized User.Check your Community name")));

    // The user community may read but not write.
    m_f->ui.clear();
    s.m_community = QStringLiteral("public");
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    s.m_retryCount = 0;
    QVERIFY(!m_f->session->RunSynchronous(CDeviceSession::Write,
                                          &CDeviceSession::SendWirelessOperationalSet, 1));
    QCOMPARE(s.m_retryCount, quint8(4));
    QCOMPARE(m_f->ui.stop,
             QStringList{QStringLiteral(
                 "You are not an authorized for this action. Check your Community name")});
}

void TestGroupsApsim::privacy()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(s.ReadPrivacySettings());
    QCOMPARE(s.defaultWEPKey1.size(), 26);

    s.defaultWEPKey1 = QStringLiteral("00112233445566778899AABBCC");
    s.defaultWEPKey2 = QStringLiteral("0A1B2C3D4E"); // a 64-bit key
    s.defaultWEPKey3 = QStringLiteral("FFEEDDCCBBAA99887766554433");
    s.defaultWEPKey4 = QStringLiteral("0102030405");
    s.privacyWEPEnable = 3;
    s.privacyDefaultWEPKeyID = 2;
    QVERIFY(s.WritePrivacySettings());
    QCOMPARE(apGet("defaultWEPKey1"), QStringLiteral("00112233445566778899AABBCC"));

    s.defaultWEPKey1.clear();
    s.privacyWEPEnable = 0;
    QVERIFY(s.ReadPrivacySettings());
    QCOMPARE(s.defaultWEPKey1, QStringLiteral("00112233445566778899AABBCC"));
    // A 5-byte key comes back as 13 bytes.
    QCOMPARE(s.defaultWEPKey2, QStringLiteral("0A1B2C3D4E") + QString(16, QLatin1Char('0')));
    QCOMPARE(s.defaultWEPKey3, QStringLiteral("FFEEDDCCBBAA99887766554433"));
    QCOMPARE(s.privacyWEPEnable, 3u);
    QCOMPARE(s.privacyDefaultWEPKeyID, 2u);
}

void TestGroupsApsim::bridgeIpAndFiltering()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendIPSettingsGet));
    QCOMPARE(s.operEthernetAddress.size(), 12);
    const QString ethernet = s.operEthernetAddress;

    s.operIPAddress = {10, 1, 2, 3};
    s.operIPMask = {255, 255, 0, 0};
    s.operGateway = {10, 1, 0, 254};
    s.operDHCP = 2;
    s.operPrimaryPort = 2;
    s.operConfigurationPort = 0;
    QVERIFY(step(CDeviceSession::Write, &CDeviceSession::SendIPSettingsSet));
    QCOMPARE(apGet("operIPAddress"), QStringLiteral("10.1.2.3"));

    s.operIPAddress = {};
    s.operIPMask = {};
    s.operGateway = {};
    s.operDHCP = 0;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendIPSettingsGet));
    QCOMPARE(s.operIPAddress, (CDeviceSession::IpBytes{10, 1, 2, 3}));
    QCOMPARE(s.operIPMask, (CDeviceSession::IpBytes{255, 255, 0, 0}));
    QCOMPARE(s.operGateway, (CDeviceSession::IpBytes{10, 1, 0, 254}));
    QCOMPARE(s.operDHCP, 2u);
    QCOMPARE(s.operPrimaryPort, 2u);
    QCOMPARE(s.operConfigurationPort, 0u);
    QCOMPARE(s.operEthernetAddress, ethernet);

    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendFilteringGet));
    const quint32 old[4] = {s.operIPFilter, s.operForwarbBcast, s.operSendBackBcast,
                            s.operSendBackUnicast};
    s.operIPFilter = 3 - old[0];
    s.operForwarbBcast = 3 - old[1];
    s.operSendBackBcast = 3 - old[2];
    s.operSendBackUnicast = 3 - old[3];
    QVERIFY(step(CDeviceSession::Write, &CDeviceSession::SendFilteringSet));
    s.operIPFilter = s.operForwarbBcast = s.operSendBackBcast = s.operSendBackUnicast = 0;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendFilteringGet));
    QCOMPARE((QList<quint32>{s.operIPFilter, s.operForwarbBcast, s.operSendBackBcast,
                             s.operSendBackUnicast}),
             (QList<quint32>{3 - old[0], 3 - old[1], 3 - old[2], 3 - old[3]}));
}

void TestGroupsApsim::operationalMode()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendOperationalModeGet));
    QCOMPARE(s.bridgeOperationalMode, 2u);

    s.bridgeOperationalMode = 4;
    s.bridgeRemoteBridgeBSSID = QStringLiteral("00A0F8123456");
    QVERIFY(s.WriteOperationalMode()); // with the upload
    QCOMPARE(apGet("bridgeRemoteBridgeBSSID"), QStringLiteral("00A0F8123456"));

    s.bridgeOperationalMode = 0;
    s.bridgeRemoteBridgeBSSID.clear();
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendOperationalModeGet));
    QCOMPARE(s.bridgeOperationalMode, 4u);
    QCOMPARE(s.bridgeRemoteBridgeBSSID, QStringLiteral("00A0F8123456"));

    // Back to access point: only the mode travels, the cached BSSID stays.
    s.bridgeOperationalMode = 2;
    QVERIFY(s.WriteOperationalMode());
    s.bridgeRemoteBridgeBSSID = QStringLiteral("CAFECAFECAFE");
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendOperationalModeGet));
    QCOMPARE(s.bridgeOperationalMode, 2u);
    QCOMPARE(s.bridgeRemoteBridgeBSSID, QStringLiteral("CAFECAFECAFE"));
}

void TestGroupsApsim::knownBssAndClient()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(s.ReadKnownAPs());
    QVERIFY(s.KnownBssList().isEmpty());

    QVERIFY(s.StartSiteSurvey());
    QTest::qWait(600); // the device scans for 200 ms
    QVERIFY(s.ReadKnownAPs());
    const QList<CDeviceSession::KnownBss> list = s.KnownBssList();
    QCOMPARE(list.size(), 4);
    QCOMPARE(list[1].ssid, QStringLiteral("Warehouse"));
    QCOMPARE(int(list[1].channel), 6);
    QCOMPARE(int(list[1].flags), 0x11);

    s.bridgeOperationalMode = 3;
    s.SelectedBSSListNumber = 2;
    QVERIFY(s.WriteAccessPointClient());
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operESSID, QStringLiteral("Warehouse"));
    QCOMPARE(s.operChannelID, 6u);
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendOperationalModeGet));
    QCOMPARE(s.bridgeOperationalMode, 3u);
    QCOMPARE(s.bridgeRemoteBridgeBSSID, list[1].bssid);
}

void TestGroupsApsim::deviceInfoAndRadio()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendHardwareGet));
    QCOMPARE(s.m_regulatoryDomain, 0x10);
    QCOMPARE(s.DeviceMacAddress(), hex(apGet("sysDeviceInfo").mid(8, 12)));
    QCOMPARE(s.DeviceInfoText(CDeviceSession::DeviceOemNameOffset), QStringLiteral("ZELCORA"));

    // ETSI, channel 13, and a product name of 31 characters.
    s.sysDeviceInfo[CDeviceSession::DeviceDomainOffset] = 0x30;
    s.sysDeviceInfo[CDeviceSession::DeviceChannelOffset] = 13;
    const QByteArray name(31, 'P');
    for (int i = 0; i < 31; ++i)
        s.sysDeviceInfo[CDeviceSession::DeviceProductNameOffset + i] = quint8(name[i]);
    const auto written = s.sysDeviceInfo;
    QVERIFY(s.WriteHardware());

    s.sysDeviceInfo.fill(0);
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendHardwareGet));
    QCOMPARE(s.sysDeviceInfo, written);
    QCOMPARE(s.m_regulatoryDomain, 0x30);
    QCOMPARE(s.DeviceInfoText(CDeviceSession::DeviceProductNameOffset), QString::fromLatin1(name));

    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendRadioConfigurationGet));
    QCOMPARE(s.TestModeRadioConfiguration.size(), 94);
    const QString tail = s.TestModeRadioConfiguration.mid(28);
    for (int ch = 0; ch < 14; ++ch)
        s.TestModeRadioConfiguration.replace(ch * 2, 2, QStringLiteral("65"));
    const QString radio = s.TestModeRadioConfiguration;
    QVERIFY(s.WriteRadioConfiguration());
    s.TestModeRadioConfiguration.clear();
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendRadioConfigurationGet));
    QCOMPARE(s.TestModeRadioConfiguration, radio);
    QCOMPARE(s.TestModeRadioConfiguration.mid(28), tail);
}

void TestGroupsApsim::statisticsAndStations()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessStatisticsGet));
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendEthernetStatisticsGet));
    const quint32 unicast = CDeviceSession::StatisticsCounter(s.wirelessStatistics, 0);
    const quint32 rxBytes = CDeviceSession::StatisticsCounter(s.EthRxStatistics, 0);
    // The blocks are longer than what the device sends: the tails stay zero.
    QCOMPARE(CDeviceSession::StatisticsCounter(s.wirelessStatistics, 22), 0u);
    QCOMPARE(CDeviceSession::StatisticsCounter(s.EthRxStatistics, 16), 0u);
    QCOMPARE(CDeviceSession::StatisticsCounter(s.EthTxStatistics, 14), 0u);

    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendAssociatedSTAsNumGet));
    QCOMPARE(s.m_stationCount, 3u);
    const QStringList stations = m_ap.control(QStringLiteral("stations")).split(QLatin1Char(' '));
    QCOMPARE(stations.size(), 5); // "ok", the count, three addresses
    for (quint32 n = 1; n <= s.m_stationCount; ++n) {
        s.m_stationIndex = n;
        QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendAssociatedStationGet));
        QCOMPARE(CDeviceSession::StationNumber(s.AssociatedSTAsInfo[n]), quint16(n));
        QCOMPARE(CDeviceSession::StationMacAddress(s.AssociatedSTAsInfo[n]),
                 hex(stations[int(n) + 1]));
    }
    QCOMPARE(CDeviceSession::StationNumber(s.AssociatedSTAsInfo[0]), quint16(0));

    // A station that joins is counted; the counters keep growing.
    QVERIFY(m_ap.control(QStringLiteral("join 00A0F8ABCDEF")).startsWith(QLatin1String("ok")));
    QTest::qWait(200);
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendAssociatedSTAsNumGet));
    QCOMPARE(s.m_stationCount, 4u);
    s.m_stationIndex = 4;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendAssociatedStationGet));
    QCOMPARE(CDeviceSession::StationMacAddress(s.AssociatedSTAsInfo[4]),
             QStringLiteral("00A0F8ABCDEF"));
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessStatisticsGet));
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendEthernetStatisticsGet));
    QVERIFY(CDeviceSession::StatisticsCounter(s.wirelessStatistics, 0) >= unicast);
    QVERIFY(CDeviceSession::StatisticsCounter(s.EthRxStatistics, 0) >= rxBytes);
}

void TestGroupsApsim::accessRights()
{
    CDeviceSession& s = *m_f->session;
    const QStringList macs{"00A0F8000001", "00A0F8000002", "001122AABBCC"};
    QVERIFY(s.WriteAuthorizedMacTable(macs));
    QStringList read;
    QCOMPARE(s.ReadAuthorizedMacTable(read), CDeviceSession::MacTableRead);
    QCOMPARE(read, macs);

    s.AuthorizationMacEnable = 1;
    QVERIFY(s.SetAuthorizationTable());
    s.AuthorizationMacEnable = 0;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.AuthorizationMacEnable, 1u);
    // The device now refuses a station outside the table.
    QVERIFY(m_ap.control(QStringLiteral("join 00A0F8ABCDEF"))
                .contains(QLatin1String("not-associated")));

    // A new user community: the old one is refused, the new one reads.
    s.m_newCommunity = QStringLiteral("users2");
    QVERIFY(s.WriteAuthorized(1));
    s.m_community = QStringLiteral("public");
    QVERIFY(
        !s.RunSynchronous(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet, 1));
    QVERIFY(!m_f->ui.stop.isEmpty());
    s.m_community = QStringLiteral("users2");
    QVERIFY(s.ReadPrivacySettings());
}

void TestGroupsApsim::systemCommands()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendTrapSwitchGet));
    QCOMPARE(s.m_trapState, 1u);
    s.m_trapState = 2;
    QVERIFY(s.WriteTrapState());
    s.m_trapState = 0;
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendTrapSwitchGet));
    QCOMPARE(s.m_trapState, 2u);

    // A changed ESSID without upload is lost by a reset and by the defaults.
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    s.operESSID = QStringLiteral("not-kept");
    QVERIFY(step(CDeviceSession::Write, &CDeviceSession::SendWirelessOperationalSet));
    QVERIFY(s.RunSystemCommand(0));
    QCOMPARE(m_f->ui.cursor, (QList<bool>{true, false}));
    QTest::qWait(600); // the device restarts for 300 ms
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operESSID, QStringLiteral("QX9304"));

    // Kept by the upload, then back to the factory ESSID by the defaults.
    s.operESSID = QStringLiteral("kept");
    QVERIFY(step(CDeviceSession::Write, &CDeviceSession::SendWirelessOperationalSet));
    QVERIFY(s.RunSystemCommand(1));
    QVERIFY(s.RunSystemCommand(0));
    QTest::qWait(600);
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operESSID, QStringLiteral("kept"));
    QVERIFY(s.RunRestoreDefaults());
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendWirelessOperationalGet));
    QCOMPARE(s.operESSID, QStringLiteral("QX9304"));
}

void TestGroupsApsim::testMode()
{
    CDeviceSession& s = *m_f->session;
    // The command block is refused outside test mode.
    CDeviceSession::TestCommand receive;
    receive.channel = 6;
    receive.command = 2;
    receive.frameLength = 100;
    s.TestModeCommandStruct = CDeviceSession::TestCommandText(receive);
    m_f->session->m_debugMode = false;
    QVERIFY(!s.WriteTestModeCommand());

    QVERIFY(s.EnterTestMode());
    QVERIFY(s.WriteTestModeCommand());
    QCOMPARE(apGet("TestModeCommandStruct"), s.TestModeCommandStruct);
    QTest::qWait(600);
    QVERIFY(step(CDeviceSession::Read, &CDeviceSession::SendTestStatisticsGet));
    const quint32 received = s.TestStatisticsCounter(CDeviceSession::TestFramesReceived);
    QVERIFY2(received > 0, qPrintable(QString::number(received)));
    QVERIFY(s.TestStatisticsCounter(CDeviceSession::TestFramesFailed) <= received);
    QCOMPARE(s.TestStatisticsCounter(CDeviceSession::TestFramesTransmitted), 0u);

    // End of the test: idle, then reset.
    receive.command = 4;
    s.TestModeCommandStruct = CDeviceSession::TestCommandText(receive);
    QVERIFY(s.WriteTestModeCommand());
    QVERIFY(s.RunSystemCommand(0));
    QTest::qWait(600);
    QVERIFY(m_ap.control(QStringLiteral("status")).contains(QLatin1String("test-mode off")));
}

void TestGroupsApsim::runnerGivesUpOnSilence()
{
    QVERIFY(m_ap.control(QStringLiteral("fault silent on")).startsWith(QLatin1String("ok")));
    const int before = m_ap.requestCount();
    QVERIFY(!m_f->session->ReadPrivacySettings());
    QCOMPARE(m_ap.requestCount() - before, 3);
    QVERIFY(!m_f->session->RunRestoreDefaults());
    QCOMPARE(m_ap.requestCount() - before, 6);
    QCOMPARE(m_f->session->m_sessionState, quint8(CDeviceSession::StateIdle));
}

void TestGroupsApsim::runnerRetriesAfterDroppedRequest()
{
    // Silent for the first attempt, answering from the second on.
    QVERIFY(m_ap.control(QStringLiteral("fault silent on")).startsWith(QLatin1String("ok")));
    const int before = m_ap.requestCount();
    QTimer::singleShot(500, m_f->session.get(),
                       [this] { m_ap.controlLater(QStringLiteral("fault silent off")); });
    QVERIFY(m_f->session->ReadPrivacySettings());
    QCOMPARE(m_ap.requestCount() - before, 2);
    QCOMPARE(m_f->session->defaultWEPKey1.size(), 26);

    // Drops with a one-attempt runner: refused once, no retry.
    QVERIFY(m_ap.control(QStringLiteral("fault drop 100")).startsWith(QLatin1String("ok")));
    QVERIFY(!m_f->session->WriteHardware());
    QCOMPARE(m_ap.requestCount() - before, 3);
    QVERIFY(m_f->ui.status.isEmpty());
}

void TestGroupsApsim::answersWithWrongIdentifierAreIgnored()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(m_ap.control(QStringLiteral("fault wrong-id on")).startsWith(QLatin1String("ok")));
    QSignalSpy answers(m_f->manager.get(), &SnmpManager::response);
    s.wirelessKnownAPs.fill(0x5A);
    QVERIFY(!s.ReadKnownAPs());
    QTRY_COMPARE(answers.size(), 3);
    QCOMPARE(s.wirelessKnownAPs[0], quint8(0x5A));
    QVERIFY(s.m_pendingHandler);

    QVERIFY(m_ap.control(QStringLiteral("fault wrong-id off")).startsWith(QLatin1String("ok")));
    QVERIFY(s.ReadKnownAPs());
    QCOMPARE(s.wirelessKnownAPs[0], quint8(0));
}

void TestGroupsApsim::runnerRefusesWhileManagerBusy()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(m_ap.control(QStringLiteral("fault delay 700")).startsWith(QLatin1String("ok")));
    const int before = m_ap.requestCount();
    QCOMPARE(s.SendFilteringGet(), 1);
    QCOMPARE(m_f->manager->busy(), 1);
    QVERIFY(!s.WriteHardware());
    QVERIFY(!s.TransferAuthorizedMacBlock(1));
    QVERIFY(!s.WriteRadioConfiguration());
    QVERIFY(!s.WriteAuthorized(1));
    QCOMPARE(
        m_f->ui.status,
        (QStringList{"Set Hardware Configuration failed", "Set Authorized Mac Addresses failed",
                     "Set Radio Configuration failed", "Set Access Rigths failed"}));
    QVERIFY(!s.StartSiteSurvey());
    QVERIFY(!s.RunSystemCommand(1));
    QVERIFY(!s.RunRestoreDefaults());
    QCOMPARE(m_ap.requestCount() - before, 1);
    // The delayed answer still completes the request that was sent.
    QTRY_VERIFY(!s.m_pendingHandler);
    QCOMPARE(s.m_getResult, 1u);
}

void TestGroupsApsim::wrongLengthIsRejected()
{
    CDeviceSession& s = *m_f->session;
    QVERIFY(m_ap.control(QStringLiteral("fault bad-length defaultWEPKey3"))
                .startsWith(QLatin1String("ok")));
    s.defaultWEPKey4 = QStringLiteral("old");
    QVERIFY(!s.ReadPrivacySettings());
    QCOMPARE(m_f->ui.plain, QStringList(3, QStringLiteral("Not expected DeafultWepKeys3")));
    QCOMPARE(s.defaultWEPKey3.size(), 24);
    QCOMPARE(s.defaultWEPKey4, QStringLiteral("old"));

    QVERIFY(m_ap.control(QStringLiteral("fault bad-length TestModeRadioConfiguration"))
                .startsWith(QLatin1String("ok")));
    m_f->ui.clear();
    QVERIFY(!step(CDeviceSession::Read, &CDeviceSession::SendRadioConfigurationGet));
    QCOMPARE(m_f->ui.plain, QStringList(5, QStringLiteral("Not expected RadioConfiguration")));
    QCOMPARE(s.TestModeRadioConfiguration.size(), 92);
}

QTEST_GUILESS_MAIN(TestGroupsApsim)
#include "tst_groups_apsim.moc"
