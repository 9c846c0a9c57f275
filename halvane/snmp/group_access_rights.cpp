// Access rights and MAC authorization table: the write of a new community
// name, the transfer block that moves the MAC table one address at a time,
// and the switch that turns the table on or off.
#include "session.h"

namespace
{

constexpr int kMacDigits = 12;
constexpr std::size_t kMacOffset = 6;

const char* communityVariable(int kind)
{
    switch (kind) {
    case 1:
        return "AuthorizedUserPass";
    case 2:
        return "AuthorizedAdminPass";
    default:
        return nullptr;
    }
}

} // namespace

int CDeviceSession::SendAuthorizedSet(int kind)
{
    const char* variable = communityVariable(kind);
    if (!variable) {
        m_setResult = 0;
        return 0;
    }
    BeginRequest(Write);
    if (!AddTextVariable(QLatin1String(variable), m_newCommunity))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateAuthorizedSetValues,
                         "ValidateAuthorizedSetValues", Write);
}

int CDeviceSession::SendAuthorizedMacBlock(int mode)
{
    BeginRequest(Write);
    if (!AddByteVariable(QStringLiteral("AuthorizedMac"), BlockBytes(AuthorizedMac)))
        return 0;
    switch (mode) {
    case 1:
        return FinishRequest(&CDeviceSession::ValidateAuthorizedMacBlockSetValues,
                             "ValidateAuthorizedMacBlockSetValues", Write);
    case 2:
        return FinishRequest(&CDeviceSession::ReadAuthorizedMacBlockValues,
                             "ReadAuthorizedMacBlockValues", Write);
    default:
        return FinishRequestWithoutHandler();
    }
}

int CDeviceSession::SendAuthorizationMacEnableSet()
{
    BeginRequest(Write);
    if (!AddIntegerVariable(QStringLiteral("AuthorizationMacEnable"), AuthorizationMacEnable))
        return 0;
    return FinishRequest(&CDeviceSession::ValidateAuthorizedTableEnableValues,
                         "ValidateAuthorizedTableEnableValues", Write);
}

void CDeviceSession::ValidateAuthorizedSetValues()
{
    if (AnswerText(1) != m_newCommunity) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateAuthorizedSetValues");
}

void CDeviceSession::ValidateAuthorizedMacBlockSetValues()
{
    if (!BlockEquals(AuthorizedMac, AnswerBytes(1))) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateAuthorizedMacBlockSetValues");
}

void CDeviceSession::ReadAuthorizedMacBlockValues()
{
    // The device's block replaces ours; the error status is not read. A
    // block shorter than 12 bytes carries no complete entry and is not
    // taken.
    const QByteArray block = AnswerBytes(1);
    if (std::size_t(block.size()) < kAuthorizedMacSize) {
        m_setResult = 0;
        return;
    }
    CopyIntoBlock(AuthorizedMac, block);
    m_setResult = 1;
}

void CDeviceSession::ValidateAuthorizedTableEnableValues()
{
    if (AnswerUnsigned(1) != AuthorizationMacEnable) {
        m_setResult = 0;
        return;
    }
    ResultFromStatus(Write, "ValidateAuthorizedTableEnableValues");
}

bool CDeviceSession::WriteAuthorized(int kind)
{
    return RunSynchronous(
        Write, [this, kind] { return SendAuthorizedSet(kind); }, 1,
        QStringLiteral("Set Access Rigths failed"));
}

bool CDeviceSession::TransferAuthorizedMacBlock(int mode)
{
    return RunSynchronous(
        Write, [this, mode] { return SendAuthorizedMacBlock(mode); }, 3,
        QStringLiteral("Set Authorized Mac Addresses failed"));
}

bool CDeviceSession::SetAuthorizationTable()
{
    m_setResult = 0;
    return RunSynchronous(Write, &CDeviceSession::SendAuthorizationMacEnableSet, 3);
}

void CDeviceSession::FillAuthorizedMacBlock(quint16 operation, quint16 total, quint16 entry,
                                            const QString& mac)
{
    AuthorizedMac.fill(0);
    WriteLe16(AuthorizedMac, 0, operation);
    WriteLe16(AuthorizedMac, 2, total);
    WriteLe16(AuthorizedMac, 4, entry);
    const QByteArray address = HexTextToBytes(mac.left(kMacDigits));
    for (qsizetype i = 0; i < address.size(); ++i)
        AuthorizedMac[kMacOffset + std::size_t(i)] = quint8(address[i]);
}

QString CDeviceSession::AuthorizedMacAddress() const
{
    return BytesToHexText(reinterpret_cast<const char*>(AuthorizedMac.data() + kMacOffset), 6);
}

bool CDeviceSession::WriteAuthorizedMacTable(const QStringList& macs)
{
    if (macs.size() > kMaxAuthorizedMacs)
        return false;
    const quint16 total = quint16(macs.size());
    for (int n = 0; n < macs.size(); ++n) {
        FillAuthorizedMacBlock(MacBlockWrite, total, quint16(n + 1), macs[n]);
        if (!TransferAuthorizedMacBlock(1))
            return false;
    }
    return true;
}

CDeviceSession::MacTableResult CDeviceSession::ReadAuthorizedMacTable(QStringList& macs)
{
    macs.clear();
    FillAuthorizedMacBlock(MacBlockRead, 0, 1);
    if (!TransferAuthorizedMacBlock(2))
        return MacTableFailed;
    const int total = AuthorizedMacTotal();
    if (total == 0 || total > kMaxAuthorizedMacs)
        return MacTableEmpty;
    QStringList table{AuthorizedMacAddress()};
    for (int n = 2; n <= total; ++n) {
        FillAuthorizedMacBlock(MacBlockRead, 0, quint16(n));
        if (!TransferAuthorizedMacBlock(2))
            return MacTableFailed;
        table.append(AuthorizedMacAddress());
    }
    macs = table;
    return MacTableRead;
}
