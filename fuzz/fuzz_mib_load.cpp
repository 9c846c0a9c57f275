// The MIB loader with a file of fuzzed content: SnmpMib::load reads it with
// net-snmp's parser, then names are translated and trap nodes looked up as
// the programs do after loading "QX9304.mib". net-snmp keeps one tree and
// one module list per process and reads a module it has already loaded
// never again, so both are dropped after each input.
#include "fuzz_support.h"

#include "snmp_mib.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// net-snmp allocates the roots of a new tree on every initialisation and
// never frees them, and its parser drops the nodes of a module it gives up
// on; those leaks are the library's. Nothing else here allocates through it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libnetsnmp.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir* dir = [] {
        qxfuzz::application();
        // The parser's complaints about broken files would drown the output
        // and cost more than the parsing: they go to a callback handler that
        // nobody listens to. With no handler at all net-snmp falls back to
        // standard error.
        snmp_disable_log();
        netsnmp_register_loghandler(NETSNMP_LOGHANDLER_CALLBACK, LOG_DEBUG);
        return new QTemporaryDir;
    }();
    const QString path = dir->filePath(QStringLiteral("QX9304.mib"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    SnmpMib mib;
    if (mib.load(path)) {
        qsizetype seen = 0;
        for (const char* name : {"sysDescr", "operChannelID", "operESSID", "sysDeviceInfo",
                                 "wirelessKnownAPs", "AuthorizedMac", "qx9304", "nonexistent"}) {
            seen += mib.identifierOf(QLatin1String(name)).size();
            seen += mib.syntaxOf(QLatin1String(name));
        }
        for (int key : {0, 6, 7, 11, 18, 22, 0x10007, -1})
            seen += mib.nodeName(key).size();
        (void)seen;
    }
    // Back to an empty tree and module list for the next input.
    shutdown_mib();
    netsnmp_init_mib();
    return 0;
}
