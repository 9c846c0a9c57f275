// An ICMP packet from bytes as the echo reads it from its socket: with the
// IPv4 header in front (raw sockets) when bit 0 of byte 0 is set, without it
// (datagram sockets) otherwise.
#include "fuzz_support.h"

#include "icmp_packet.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool withIpHeader = data[0] & 1;
    const QByteArray packet = qxfuzz::bytes(data + 1, size - 1);
    const std::optional<icmp::Echo> echo = icmp::parseEcho(packet, withIpHeader);
    if (!echo)
        return 0;
    if (echo->type != icmp::EchoReplyType && echo->type != icmp::EchoRequestType)
        abort();
    // What was accepted is an echo whose own checksum holds, and building the
    // same echo again gives a packet that reads back the same.
    QByteArray again = icmp::echoRequest(echo->identifier, echo->sequence, echo->payload);
    const std::optional<icmp::Echo> reread = icmp::parseEcho(again, false);
    if (!reread || reread->identifier != echo->identifier ||
        reread->sequence != echo->sequence || reread->payload != echo->payload)
        abort();
    return 0;
}
