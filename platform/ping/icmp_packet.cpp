#include "icmp_packet.h"

#include <QtEndian>

namespace icmp
{

quint16 checksum(const QByteArray& data)
{
    quint32 sum = 0;
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype size = data.size();
    for (qsizetype i = 0; i + 1 < size; i += 2)
        sum += quint32(bytes[i]) << 8 | bytes[i + 1];
    if (size % 2)
        sum += quint32(bytes[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

QByteArray echoRequest(quint16 identifier, quint16 sequence, const QByteArray& payload)
{
    QByteArray packet(HeaderSize, '\0');
    packet[0] = char(EchoRequestType);
    packet[1] = 0;
    qToBigEndian(identifier, packet.data() + 4);
    qToBigEndian(sequence, packet.data() + 6);
    packet += payload;
    qToBigEndian(checksum(packet), packet.data() + 2);
    return packet;
}

std::optional<Echo> parseEcho(const QByteArray& packet, bool withIpHeader)
{
    qsizetype offset = 0;
    if (withIpHeader) {
        if (packet.size() < 20)
            return std::nullopt;
        const auto first = uchar(packet.at(0));
        if (first >> 4 != 4)
            return std::nullopt;
        offset = qsizetype(first & 0x0F) * 4;
        if (offset < 20)
            return std::nullopt;
        const quint16 totalLength = qFromBigEndian<quint16>(packet.constData() + 2);
        // Trust the header's total length where it is shorter than the data
        // (trailing padding), never where it claims more than arrived.
        if (totalLength < offset || totalLength > packet.size())
            return std::nullopt;
        if (uchar(packet.at(9)) != 1) // protocol ICMP
            return std::nullopt;
        const QByteArray message = packet.mid(offset, totalLength - offset);
        return parseEcho(message, false);
    }
    if (packet.size() < HeaderSize)
        return std::nullopt;
    if (checksum(packet) != 0)
        return std::nullopt;
    const auto type = quint8(packet.at(0));
    if ((type != EchoReplyType && type != EchoRequestType) || packet.at(1) != 0)
        return std::nullopt;
    Echo echo;
    echo.type = type;
    echo.identifier = qFromBigEndian<quint16>(packet.constData() + 4);
    echo.sequence = qFromBigEndian<quint16>(packet.constData() + 6);
    echo.payload = packet.mid(HeaderSize);
    return echo;
}

} // namespace icmp
