// ICMP echo messages: building requests and recognising the replies that
// belong to them. Pure functions, no sockets.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace icmp
{

inline constexpr quint8 EchoReplyType = 0;
inline constexpr quint8 EchoRequestType = 8;
inline constexpr int HeaderSize = 8;

// The Internet checksum (ones' complement of the ones' complement sum of
// 16-bit words) of data.
quint16 checksum(const QByteArray& data);

// An echo request with the given identifier, sequence number and payload,
// checksum filled in.
QByteArray echoRequest(quint16 identifier, quint16 sequence, const QByteArray& payload);

struct Echo {
    quint8 type = 0;
    quint16 identifier = 0;
    quint16 sequence = 0;
    QByteArray payload;
};

// Reads an echo request or reply from an ICMP message. When withIpHeader is
// set the message starts with an IPv4 header (as raw sockets deliver it),
// whose length is taken from the header itself. Nothing for anything that is
// not a well-formed echo, for truncated data and for a wrong checksum.
std::optional<Echo> parseEcho(const QByteArray& packet, bool withIpHeader);

} // namespace icmp
