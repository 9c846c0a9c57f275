// apsim's request handling from bytes, on a fresh emulated access point per
// input (built-in profile, configuration in memory):
// - byte 0 even: the rest is an SNMP datagram, decoded as the agent decodes
//   it, answered by ApAgent::answer and the answer encoded;
// - byte 0 odd: the rest is a DFU driver request frame, decoded as the
//   endpoint's server decodes it and handled by ApDfuEndpoint::handle.
#include "fuzz_support.h"

#include "ap_agent.h"
#include "ap_device.h"
#include "ap_dfu.h"
#include "ap_profile.h"
#include "ap_store.h"
#include "ap_variables.h"
#include "dfu_protocol.h"
#include "snmp_mib.h"

#include <cstdlib>

namespace
{

struct Fixture {
    Fixture()
    {
        qxfuzz::application();
        if (!mib.load(QStringLiteral(QX_MIB_FILE)))
            abort();
        QStringList missing;
        table.bind(mib, &missing);
        profile = ApProfile::builtIn(QHostAddress(QStringLiteral("127.0.0.2")));
    }
    SnmpMib mib;
    ApVariableTable table;
    ApProfile profile;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Fixture fixture;
    if (size < 1)
        return 0;
    const bool dfu = data[0] & 1;
    const QByteArray payload = qxfuzz::bytes(data + 1, size - 1);

    ApStore store(&fixture.table);
    store.setDefaults(fixture.profile.defaults, fixture.profile.macTable);
    ApDeviceSettings settings;
    settings.seed = 1;
    ApDevice device(&fixture.table, &store, fixture.profile, settings);
    device.start();

    if (!dfu) {
        const std::optional<SnmpMessage> request = SnmpMessage::decode(payload);
        if (!request)
            return 0;
        ApAgent agent(&device);
        agent.seed(1);
        const std::optional<SnmpMessage> reply = agent.answer(*request);
        if (reply) {
            if (reply->type() != SnmpMessage::GetResponse ||
                reply->requestId() != request->requestId())
                abort();
            (void)reply->encode();
        }
        return 0;
    }

    DfuRequestFrame frame;
    qsizetype consumed = 0;
    if (dfuDecodeRequest(payload, &frame, &consumed) != DfuParse::Done)
        return 0;
    ApDfuEndpoint endpoint(&device);
    const DfuReply reply = endpoint.handle(frame.code, frame.input, frame.outputSize);
    (void)dfuEncodeReply(reply.status, reply.output);
    return 0;
}
