// A trap from bytes to the text the trap recorder logs: decoded as the trap
// manager decodes it, then formatted with the trap MIB's node names.
#include "fuzz_support.h"

#include "snmp_mib.h"
#include "trap_recorder.h"

#include <QTime>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SnmpMib* mib = [] {
        qxfuzz::application();
        auto* loaded = new SnmpMib;
        if (!loaded->load(QStringLiteral(QX_MIB_FILE)))
            abort();
        return loaded;
    }();
    const std::optional<SnmpMessage> trap = SnmpMessage::decode(qxfuzz::bytes(data, size));
    if (!trap)
        return 0;
    const QString text = CTrapRecorder::FormatTrap(*trap, QStringLiteral("127.0.0.1"),
                                                   QTime(13, 5, 9), *mib);
    // Every log entry starts with its header line.
    if (!text.startsWith(QStringLiteral("Trap received @ 13:5:9 from host 127.0.0.1\r\n")))
        abort();
    return 0;
}
