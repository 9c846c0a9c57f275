// Statistics and associated stations: the wireless and Ethernet counter
// blocks, the number of associated stations, and the records of the
// stations one by one (a read that travels as a set-request).
#include "session.h"

int CDeviceSession::SendWirelessStatisticsGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("wirelessStatistics")))
        return 0;
    return FinishRequest(&CDeviceSession::GetWirelessStatisticsValues,
                         "GetWirelessStatisticsValues", Read);
}

int CDeviceSession::SendEthernetStatisticsGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("EthRxStatistics")) ||
        !AddGetVariable(QStringLiteral("EthTxStatistics")))
        return 0;
    return FinishRequest(&CDeviceSession::GetEthernetStatisticsValues,
                         "GetEthernetStatisticsValues", Read);
}

int CDeviceSession::SendAssociatedSTAsNumGet()
{
    BeginRequest(Read);
    if (!AddGetVariable(QStringLiteral("AssociatedSTAsNum")))
        return 0;
    return FinishRequest(&CDeviceSession::GetAssociatedSTAsNumValues, "GetAssociatedSTAsNumValues",
                         Read);
}

int CDeviceSession::SendAssociatedStationGet()
{
    if (m_stationIndex < 1 || m_stationIndex > kMaxStationIndex ||
        m_stationIndex >= quint32(kStationRecords)) {
        // The one-byte index of the request cannot name this station (and
        // record 0 holds none): nothing to send and nothing to wait for.
        m_getResult = 0;
        m_pendingHandler = PendingHandler{};
        return 0;
    }
    BeginRequest(Read, SetRequestType);
    // Byte 0 the station's number, the rest zero; the device answers with
    // the station's record.
    QString request = QStringLiteral("%1").arg(m_stationIndex, 2, 16, QLatin1Char('0'));
    request += QString((kStationRequestSize - 1) * 2, QLatin1Char('0'));
    if (!AddHexVariable(QStringLiteral("AssociatedSTAsInfo"), request))
        return 0;
    return FinishRequest(&CDeviceSession::GetAssociatedStationValues, "GetAssociatedStationValues",
                         Read);
}

void CDeviceSession::GetWirelessStatisticsValues()
{
    CopyIntoBlock(wirelessStatistics, AnswerBytes(1));
    ResultFromStatus(Read, "GetWirelessStatisticsValues");
}

void CDeviceSession::GetEthernetStatisticsValues()
{
    CopyIntoBlock(EthRxStatistics, AnswerBytes(1));
    CopyIntoBlock(EthTxStatistics, AnswerBytes(2));
    ResultFromStatus(Read, "GetEthernetStatisticsValues");
}

void CDeviceSession::GetAssociatedSTAsNumValues()
{
    m_stationCount = AnswerUnsigned(1);
    if (!Accept(m_stationCount <= kMaxStationCount, "Not expected AssocStationNo"))
        return;
    ResultFromStatus(Read, "GetAssociatedSTAsNumValues");
}

void CDeviceSession::GetAssociatedStationValues()
{
    // The sender only asks for stations the table can hold; the index is
    // checked again because it may have changed while the answer was on
    // its way.
    if (m_stationIndex < 1 || m_stationIndex >= quint32(kStationRecords)) {
        m_getResult = 0;
        return;
    }
    CopyIntoBlock(AssociatedSTAsInfo[m_stationIndex], AnswerBytes(1));
    ResultFromStatus(Read, "GetAssociatedStationValues");
}

QString CDeviceSession::StationMacAddress(const StationRecord& record)
{
    return BytesToHexText(reinterpret_cast<const char*>(record.data() + 2), 6);
}
