// A MAC address file from bytes, as "Load file" of the Authorized Mac
// Addresses dialog reads it: words of 12 hexadecimal digits separated by
// white space. A file is either refused with a text and an empty table, or
// gives a table sorted octet by octet whose rows read back as the same
// addresses.
#include "fuzz_support.h"

#include "authorized_mac_addresses.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Dialog = CAuthorizedMacAddresses;
    QList<Dialog::MacEntry> table{Dialog::MacEntry{}};
    const QString error = Dialog::ParseMacText(qxfuzz::bytes(data, size), table);
    if (!error.isEmpty()) {
        if (!table.isEmpty())
            abort();
        return 0;
    }
    if (table.size() > Dialog::kMaxEntries || !std::is_sorted(table.cbegin(), table.cend()))
        abort();
    for (const Dialog::MacEntry& entry : table) {
        const QString text = Dialog::HexText(entry);
        if (text.size() != 12 || Dialog::EntryOf(text) != entry)
            abort();
    }
    return 0;
}
