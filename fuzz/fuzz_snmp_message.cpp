// An SNMP datagram from bytes: decoded as the manager and the agents decode
// every datagram, every value read in each of its forms, then encoded again.
// A message that decodes and encodes must decode to the same message again
// (header and number of variables), and encode to the same bytes.
#include "fuzz_support.h"

#include "snmp_message.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<SnmpMessage> message = SnmpMessage::decode(qxfuzz::bytes(data, size));
    if (!message)
        return 0;
    (void)message->trapCode();
    qsizetype seen = message->community().size() + message->enterprise().size() +
                     message->trapOid().size() + message->trapAgentAddress().size();
    for (int position = 1; position <= message->variables().count(); ++position) {
        const SnmpVariable* variable = message->variables().item(position);
        seen += variable->identifier().size() + variable->valueText().size() +
                variable->valueBytes().size() + variable->type();
    }
    (void)seen;

    const QByteArray encoded = message->encode();
    if (encoded.isEmpty())
        return 0;
    const std::optional<SnmpMessage> again = SnmpMessage::decode(encoded);
    if (!again || again->type() != message->type() || again->requestId() != message->requestId() ||
        again->community() != message->community() ||
        again->variables().count() != message->variables().count())
        abort();
    // Requests travel with error status 0 whatever they held; answers keep
    // theirs, except -1, which the library takes for "not set" and writes as 0.
    if (message->type() == SnmpMessage::GetResponse && message->errorStatus() != -1 &&
        again->errorStatus() != message->errorStatus())
        abort();
    // The first pass may normalise what the wire allowed (an empty object
    // identifier reads as "0" and is written as "0.0"); from then on
    // decoding and encoding are exact inverses.
    if (again->encode() != encoded)
        abort();
    return 0;
}
