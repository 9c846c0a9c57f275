// The device session: where requests go, the request counter, the handler
// that waits for an answer, the results of the last read and write, and the
// cache of every variable group of the access point. The main window owns one
// and shows it; everything here works without widgets.
//
// Each variable group keeps its cache members (named after their MIB
// variables), its senders, its response handlers and its runners here; the
// code of each group lives in its own group_*.cpp file.
#pragma once

#include "session_ui.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class SnmpManager;
class SnmpMib;
class SnmpVariable;

class CDeviceSession : public QObject
{
    Q_OBJECT

public:
    // Values of m_sessionState.
    enum SessionState : quint8 { StateReading = 1, StateWriting = 2, StateIdle = 3 };
    enum RequestKind { Read, Write };
    // Message types of requests.
    enum { GetRequestType = 32, SetRequestType = 35 };
    // The manager's time-out for every request, in milliseconds.
    static constexpr int kRequestTimeout = 1000;
    // Error status of an answer whose community the device refused.
    static constexpr int kRefusedCommunity = 16;

    using Handler = void (CDeviceSession::*)();
    // The response handler waiting for the next matching answer.
    struct PendingHandler {
        Handler function = nullptr;
        const char* name = nullptr; // the name the diagnostic texts carry
        RequestKind kind = Read;
        explicit operator bool() const { return function != nullptr; }
    };
    using Sender = int (CDeviceSession::*)();

    CDeviceSession(SnmpManager* manager, SnmpMib* mib, CSessionUi* ui, QObject* parent = nullptr);

    SnmpManager* Manager() const { return m_manager; }
    SnmpMib* Mib() const { return m_mib; }

    // ---- conversions ----
    static QString BytesToHexText(const QByteArray& bytes);
    static QString BytesToHexText(const char* bytes, int length);
    static QByteArray HexTextToBytes(const QString& text);
    // Unsigned decimal reading of an answer's text: leading blanks skipped,
    // stop at the first non-digit, no digits give 0.
    static quint32 TextToUnsigned(const QString& text);
    // MIB name to dotted identifier plus ".0"; empty when the MIB has no
    // such name.
    QString IdentifierOf(const QString& name) const;

    // Little-endian numbers inside the byte blocks; an offset whose bytes do
    // not all lie inside the block reads as 0 and writes nothing.
    template <std::size_t N>
    static quint32 ReadLe32(const std::array<quint8, N>& block, std::size_t offset)
    {
        if (offset + 4 > N)
            return 0;
        return quint32(block[offset]) | quint32(block[offset + 1]) << 8 |
               quint32(block[offset + 2]) << 16 | quint32(block[offset + 3]) << 24;
    }
    template <std::size_t N>
    static quint16 ReadLe16(const std::array<quint8, N>& block, std::size_t offset)
    {
        if (offset + 2 > N)
            return 0;
        return quint16(block[offset] | block[offset + 1] << 8);
    }
    template <std::size_t N>
    static void WriteLe16(std::array<quint8, N>& block, std::size_t offset, quint16 value)
    {
        if (offset + 2 > N)
            return;
        block[offset] = quint8(value);
        block[offset + 1] = quint8(value >> 8);
    }
    // Copies a value from byte 0 into a block, cut to the block's size; the
    // bytes after a shorter value stay as they were. Returns the number of
    // bytes copied.
    template <std::size_t N>
    static std::size_t CopyIntoBlock(std::array<quint8, N>& block, const QByteArray& value)
    {
        const std::size_t count = qMin<std::size_t>(N, std::size_t(value.size()));
        for (std::size_t i = 0; i < count; ++i)
            block[i] = quint8(value[qsizetype(i)]);
        return count;
    }
    // True when the value holds at least N bytes and its first N equal the
    // block; a shorter value is a difference.
    template <std::size_t N>
    static bool BlockEquals(const std::array<quint8, N>& block, const QByteArray& value)
    {
        if (std::size_t(value.size()) < N)
            return false;
        for (std::size_t i = 0; i < N; ++i)
            if (quint8(value[qsizetype(i)]) != block[i])
                return false;
        return true;
    }
    template <std::size_t N> static QByteArray BlockBytes(const std::array<quint8, N>& block)
    {
        return QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(N));
    }

    // ---- building a request (the sender steps) ----
    // Steps 1 to 7: clear the result flag of the kind, address, time-out,
    // clear the message, community, type, request identifier. The message
    // type follows the kind unless one is given (the station read is a read
    // that travels as a set-request).
    bool BeginRequest(RequestKind kind);
    bool BeginRequest(RequestKind kind, int messageType);
    bool AddGetVariable(const QString& name);
    bool AddIntegerVariable(const QString& name, quint32 value);
    bool AddByteVariable(const QString& name, const QByteArray& bytes);
    bool AddByteVariable(const QString& name, const char* bytes, int length);
    bool AddTextVariable(const QString& name, const QString& text);
    bool AddHexVariable(const QString& name, const QString& hexText);
    // Steps 9 and 10: name the handler and send. Returns 1, or 0 when the
    // component reported an error.
    int FinishRequest(Handler handler, const char* handlerName, RequestKind kind);
    // Same, for a request whose answer is not examined (the site survey
    // start, a transfer block of an unknown mode). A handler left over from
    // an earlier unanswered request is cleared, so that it cannot take this
    // request's answer for its own.
    int FinishRequestWithoutHandler();

    // ---- answers ----
    // Runs the pending handler when the answer just received matches the
    // last request, comes from the agent it went to and arrives within the
    // request's time-out; any other answer is ignored.
    void DispatchResponse();
    // Runs a synchronous runner: the session-state checks, the sender, the
    // wait for the answer, then the result; up to attempts times. A refusal
    // shows refusalText (if any) in pane 0 and fails at once. A sender that
    // reports 0 has sent nothing, so that attempt fails without waiting.
    bool RunSynchronous(RequestKind kind, Sender sender, int attempts,
                        const QString& refusalText = QString());
    bool RunSynchronous(RequestKind kind, const std::function<int()>& sender, int attempts,
                        const QString& refusalText = QString());
    // Waits for the pending handler to run, dispatching events, at most
    // for the manager's time-out. Returns at once when nothing is pending.
    void WaitForAnswer();
    // Manager busy, or a read or write running.
    bool Refuses() const;

    // Reading the answer being handled. A missing variable is a component
    // error: it throws ComponentError, which the dispatch turns into the
    // handler's "Unexpected Error on" path.
    struct ComponentError {
    };
    const SnmpVariable& AnswerVariable(int position) const;
    QString AnswerText(int position) const;
    quint32 AnswerUnsigned(int position) const;
    QByteArray AnswerBytes(int position) const;
    int AnswerErrorStatus() const;

    // Diagnostics (debug mode only).
    void ShowDiagnostic(const QString& text) const;
    void UnexpectedError(const char* handlerName) const;
    CSessionUi* Ui() const { return m_ui; }
    // Description of the component's last error event.
    QString ComponentErrorText() const { return m_componentErrorText; }

    // ---- session members ----
    QString m_agentAddress;
    QString m_community;
    qint32 m_requestCounter = 0;
    PendingHandler m_pendingHandler;
    quint32 m_getResult = 0;
    quint32 m_setResult = 0;
    quint8 m_sessionState = StateIdle;
    quint8 m_retryCount = 0;
    qint32 m_lastError = 0;
    int m_authority = 0;      // 0 User, 1 Administrator
    bool m_debugMode = false; // program-wide diagnostic switch

    // ---- connection state kept beside the session ----
    bool m_answered = false; // the probed agent has answered (discovery)
    quint8 m_configRead = 0; // set by the first successful Get Configuration
    int m_trapCount = 0;     // traps recorded since the counter was cleared

    // ==== wireless operational group (group_wireless_operational.cpp) ====
    quint32 operChannelID = 0;
    QString operESSID;
    quint32 operRTSThreshold = 0;
    quint32 operFragmentationThreshold = 0;
    quint32 operPreambleType = 0;
    quint32 operAuthenticationType = 0;
    QString operBasicRates; // hexadecimal text of the rate bytes
    quint32 operAutoRateFallBack = 0;
    QString operAccessPointName;
    quint32 operSSIDBroadcasting = 0;
    quint32 operAntennaSettings = 0;
    quint32 operInterRoaming = 0;
    // AuthorizationMacEnable (access rights group) is read with this group.
    int SendWirelessOperationalGet();
    int SendWirelessOperationalSet();
    void GetWirelessOperationalValues();
    void ValidateWirelessOperationalSetValues();

    // ==== privacy group (group_privacy.cpp) ====
    QString defaultWEPKey1; // hexadecimal text of the key bytes
    QString defaultWEPKey2;
    QString defaultWEPKey3;
    QString defaultWEPKey4;
    quint32 privacyWEPEnable = 0;
    quint32 privacyDefaultWEPKeyID = 0;
    int SendPrivacySettingsGet();
    int SendPrivacySettingsSet();
    void GetPrivacySettingsValues();
    void ValidatePrivacySettingsSetValues();
    bool ReadPrivacySettings();
    bool WritePrivacySettings();

    // ==== bridge IP settings group (group_bridge_ip.cpp) ====
    using IpBytes = std::array<quint8, 4>;
    IpBytes operIPAddress{}; // first byte = first number of the dotted form
    IpBytes operIPMask{};
    IpBytes operGateway{};
    QString operEthernetAddress; // 12 hexadecimal digits, read only
    quint32 operDHCP = 0;
    quint32 operPrimaryPort = 0;
    quint32 operConfigurationPort = 0;
    int SendIPSettingsGet();
    int SendIPSettingsSet();
    void GetIPSettingsValues();
    void ValidateIPSettingsSetValues();
    // Up to four decimal numbers, each after the next dot found within the
    // first 21 characters; missing numbers give 0 bytes.
    static IpBytes DottedTextToBytes(const QString& text);

    // ==== filtering group (group_filtering.cpp) ====
    quint32 operIPFilter = 0;
    quint32 operForwarbBcast = 0;
    quint32 operSendBackBcast = 0;
    quint32 operSendBackUnicast = 0;
    int SendFilteringGet();
    int SendFilteringSet();
    void GetFilteringValues();
    void ValidateFilteringSetValues();

    // ==== operational mode, known access points, site survey (group_operational_mode.cpp) ====
    static constexpr std::size_t kKnownAPsSize = 1000;
    static constexpr std::size_t kKnownBssEntrySize = 48;
    static constexpr int kKnownBssMaxEntries = 16;
    quint32 bridgeOperationalMode = 0;
    QString bridgeRemoteBridgeBSSID; // 12 hexadecimal digits
    quint32 SelectedBSSListNumber = 0;
    std::array<quint8, kKnownAPsSize> wirelessKnownAPs{};
    int SendOperationalModeGet();
    int SendOperationalModeSet();
    int SendAccessPointClientSet();
    int SendKnownAPsGet();
    int SendSiteSurveyCommand();
    void GetOperationalModeValues();
    void ValidateOperationanalModeSetValues();
    void ValidateAccessPointClientSetValues();
    void GetKnownAPsValues();
    bool WriteOperationalMode();
    bool WriteAccessPointClient();
    bool ReadKnownAPs();
    bool StartSiteSurvey();
    // One entry of the known BSS list.
    struct KnownBss {
        QString bssid;     // 12 upper-case hexadecimal digits
        quint8 signal = 0; // raw signal strength
        quint8 channel = 0;
        quint8 flags = 0; // 0x01 infrastructure, 0x02 ad hoc, 0x10 WEP, 0x20 short preamble
        QString ssid;     // up to the first zero byte, at most 32 characters
    };
    // The entries in use: up to 16, ending before the first all-zero BSSID.
    QList<KnownBss> KnownBssList() const;

    // ==== device information and radio configuration (group_device_info.cpp) ====
    static constexpr std::size_t kDeviceInfoSize = 92;
    static constexpr int kRadioConfigurationDigits = 94; // 47 bytes
    std::array<quint8, kDeviceInfoSize> sysDeviceInfo{};
    qint32 m_regulatoryDomain = 0;      // byte 11 of sysDeviceInfo after the last read
    QString TestModeRadioConfiguration; // hexadecimal text
    // Fields of the device information record.
    enum DeviceInfoOffset : std::size_t {
        DeviceMacOffset = 4, // 6 bytes
        DeviceChannelOffset = 10,
        DeviceDomainOffset = 11,
        DeviceProductTypeOffset = 12,
        DeviceOemNameOffset = 16, // 32 bytes of text
        DeviceOemIdOffset = 48,
        DeviceProductNameOffset = 52, // 32 bytes of text
        DeviceHardwareRevisionOffset = 84,
    };
    // A text field of the record: up to its first zero byte, at most 32 bytes.
    QString DeviceInfoText(std::size_t offset) const;
    QString DeviceMacAddress() const; // 12 upper-case hexadecimal digits
    int SendHardwareGet();
    int SendHardwareSet();
    int SendRadioConfigurationGet();
    int SendRadioConfigurationSet();
    void GetHardwareValues();
    void ValidateHardwareSetValues();
    void GetRadioValues();
    void ValidateRadioSetValues();
    bool WriteHardware();
    bool WriteRadioConfiguration();
    // Regulatory domains: name ("FCC", ...) and the channels each allows;
    // empty for an unknown code.
    static QString RegulatoryDomainName(int code);
    static QList<int> RegulatoryDomainChannels(int code);

    // ==== statistics and associated stations (group_statistics.cpp) ====
    static constexpr std::size_t kWirelessStatisticsSize = 200;
    static constexpr std::size_t kEthernetStatisticsSize = 100;
    static constexpr std::size_t kStationRecordSize = 50;
    static constexpr int kStationRecords = 2000;
    static constexpr quint32 kMaxStationCount = 2007;
    // The request carries the station number in one byte.
    static constexpr quint32 kMaxStationIndex = 255;
    static constexpr int kStationRequestSize = 24;
    using StationRecord = std::array<quint8, kStationRecordSize>;
    std::array<quint8, kWirelessStatisticsSize> wirelessStatistics{};
    std::array<quint8, kEthernetStatisticsSize> EthRxStatistics{};
    std::array<quint8, kEthernetStatisticsSize> EthTxStatistics{};
    quint32 m_stationCount = 0; // stations the device reported
    quint32 m_stationIndex = 0; // the station being read, from 1
    // Record n holds station n; record 0 holds none.
    std::array<StationRecord, kStationRecords> AssociatedSTAsInfo{};
    int SendWirelessStatisticsGet();
    int SendEthernetStatisticsGet();
    int SendAssociatedSTAsNumGet();
    // Reads station m_stationIndex. A number that the one-byte request index
    // or the record table cannot hold is not requested: nothing is sent, no
    // handler waits, and the result is 0.
    int SendAssociatedStationGet();
    void GetWirelessStatisticsValues();
    void GetEthernetStatisticsValues();
    void GetAssociatedSTAsNumValues();
    void GetAssociatedStationValues();
    // Counter n (from 0) of a statistics block.
    template <std::size_t N>
    static quint32 StatisticsCounter(const std::array<quint8, N>& block, int n)
    {
        return n < 0 ? 0 : ReadLe32(block, std::size_t(n) * 4);
    }
    // Station record fields: number (0 marks an empty record) and MAC.
    static quint16 StationNumber(const StationRecord& record) { return ReadLe16(record, 0); }
    static QString StationMacAddress(const StationRecord& record);

    // ==== access rights and MAC authorization table (group_access_rights.cpp) ====
    static constexpr std::size_t kAuthorizedMacSize = 12;
    static constexpr int kMaxAuthorizedMacs = 680;
    enum MacBlockOperation : quint16 { MacBlockWrite = 1, MacBlockRead = 2 };
    QString m_newCommunity;
    std::array<quint8, kAuthorizedMacSize> AuthorizedMac{};
    quint32 AuthorizationMacEnable = 0; // also read with the wireless operational group
    // kind 1 writes AuthorizedUserPass, kind 2 AuthorizedAdminPass.
    int SendAuthorizedSet(int kind);
    // Sends the transfer block; mode 1 checks the echo, mode 2 takes the
    // device's block, any other mode examines no answer.
    int SendAuthorizedMacBlock(int mode);
    int SendAuthorizationMacEnableSet();
    void ValidateAuthorizedSetValues();
    void ValidateAuthorizedMacBlockSetValues();
    void ReadAuthorizedMacBlockValues();
    void ValidateAuthorizedTableEnableValues();
    bool WriteAuthorized(int kind);
    bool TransferAuthorizedMacBlock(int mode);
    bool SetAuthorizationTable();
    // The transfer block's fields. mac is 12 hexadecimal digits (6 bytes).
    void FillAuthorizedMacBlock(quint16 operation, quint16 total, quint16 entry,
                                const QString& mac = QString());
    quint16 AuthorizedMacOperation() const { return ReadLe16(AuthorizedMac, 0); }
    quint16 AuthorizedMacTotal() const { return ReadLe16(AuthorizedMac, 2); }
    quint16 AuthorizedMacEntry() const { return ReadLe16(AuthorizedMac, 4); }
    QString AuthorizedMacAddress() const; // 12 upper-case hexadecimal digits
    // The whole table, one block per address (macs as 12 hexadecimal
    // digits). Writing refuses more than 680 addresses; the first failed
    // block ends either transfer.
    bool WriteAuthorizedMacTable(const QStringList& macs);
    enum MacTableResult { MacTableRead, MacTableEmpty, MacTableFailed };
    MacTableResult ReadAuthorizedMacTable(QStringList& macs);

    // ==== system commands, trap switch and test mode (group_system_commands.cpp) ====
    static constexpr std::size_t kTestStatisticsSize = 12;
    quint32 m_trapState = 0;       // sysTrapSwitch: 1 on, 2 off
    QString TestModeCommandStruct; // hexadecimal text of the 21-byte command block
    std::array<quint8, kTestStatisticsSize> TestModeStatistics{};
    int SendTrapSwitchGet();
    int SendTrapStateSet();
    // upload false: sysReset = 1; upload true: sysUpload = 1.
    int SendResetCommand(bool upload);
    int SendRestoreDefaults();
    int SendTestModeSet();
    int SendTestModeStructSet();
    int SendTestStatisticsGet();
    void GetTrapSwitchValues();
    void ValidateTrapStateSetValue();
    void ValidateResetSetValues();
    void ValidateRestoreDefaultsSetValues();
    void ValidateTestModeSetValue();
    void ValidateTestModeStructSetValue();
    void GetTestStatisticsValues();
    bool WriteTrapState();
    bool EnterTestMode();
    bool WriteTestModeCommand();
    // mode 0 reset, 1 upload; up to 3 sends; refused while a read runs.
    bool RunSystemCommand(int mode);
    // sysLoadDefaults; up to 3 sends; refused while a read or write runs.
    bool RunRestoreDefaults();
    // The radio test command block as 42 hexadecimal digits.
    struct TestCommand {
        quint8 channel = 1; // 1 to 14
        quint8 antenna = 1; // 1 antenna A, 2 antenna B
        quint8 power = 0;
        quint8 rate = 0;    // 0 1 Mbit/s, 1 2, 2 5.5, 3 11
        quint8 command = 4; // 1, 2, 3, 4 idle, 5, 8
        quint16 interFrameTime = 0;
        quint32 frameLength = 1; // 1 to 1500
        quint32 frameCount = 1;  // 1 to 4294967294
        quint8 pattern = 0;
        quint8 cr20 = 0;
        quint8 cr21 = 0;
    };
    static QString TestCommandText(const TestCommand& command);
    enum TestCounter { TestFramesReceived = 0, TestFramesFailed = 1, TestFramesTransmitted = 2 };
    quint32 TestStatisticsCounter(TestCounter counter) const
    {
        return ReadLe32(TestModeStatistics, std::size_t(counter) * 4);
    }

Q_SIGNALS:
    // A pending handler has run (the wait of a runner ends).
    void AnswerHandled();

private:
    // Shared steps of the handlers.
    // Records a read value that broke its rule: the text (debug mode) and
    // m_getResult 0. Returns ok, so that a handler can write
    // "if (!Accept(...)) return;".
    bool Accept(bool ok, const char* text);
    // The error status decides the result of the kind.
    void ResultFromStatus(RequestKind kind, const char* handlerName);
    // One attempt loop of a runner, with its own refusal rule.
    bool RunAttempts(RequestKind kind, const std::function<int()>& sender, int attempts,
                     const std::function<bool()>& refuses, const QString& refusalText);
    // Status 16 handling of the wireless operational group.
    void CheckWirelessStatus(RequestKind kind, const char* handlerName, const QString& refusedText);

    SnmpManager* m_manager;
    SnmpMib* m_mib;
    CSessionUi* m_ui;
    QString m_componentErrorText;
    // The last request's time-out has passed (its wait ended without the
    // answer, or the manager reported the time-out): an answer to it that
    // still comes in is too late and changes nothing. The pending handler
    // itself stays set until the next sender replaces it.
    bool m_requestExpired = false;
};
