// The driver's answer to a read of a group, from bytes: the reply frame as
// the client end decodes it from the stream, the reply area as the device
// link fills it, the firmware version, the unpacking of the data packets,
// the configuration block built from them and every row of the list with
// its value text and its editor, as the configuration window shows them.
//
// Input: byte 0 chooses the raw length to unpack and the program mode, the
// rest is the byte stream that came from the driver.
#include "fuzz_support.h"

#include "configuration_block.h"
#include "configuration_rows.h"
#include "device_link.h"
#include "dfu_protocol.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t options = data[0];
    const QByteArray stream = qxfuzz::bytes(data + 1, size - 1);

    DfuReplyFrame frame;
    qsizetype consumed = 0;
    if (dfuDecodeReply(stream, DeviceLink::ReplySize, &frame, &consumed) != DfuParse::Done)
        return 0;
    if (consumed > stream.size() || frame.output.size() > DeviceLink::ReplySize)
        abort();

    // The reply area: cleared, then what the driver returned.
    QByteArray reply(DeviceLink::ReplySize, '\0');
    std::copy(frame.output.cbegin(), frame.output.cend(), reply.begin());
    qsizetype seen = firmwareVersionFromReply(reply).size() + firmwareVersionFromReply(frame.output).size();

    // Group 1 unpacks the whole reply, group 3 its first 90 bytes; any other
    // length within the reply must work as well.
    const int rawLengths[] = {DeviceLink::ReplySize, 90, (options >> 2) * 16 + (options & 3)};
    const int rawLength = std::min(rawLengths[options % 3], int(DeviceLink::ReplySize));
    const QByteArray unpacked = unpackReply(reply, rawLength);
    if (unpacked.size() != unpackedLength(rawLength))
        abort();
    seen += unpackReply(frame.output, rawLength).size();

    ConfigurationBlock block(unpacked);
    const quint8 domain = block.u8(ConfigurationBlock::RegulatoryDomain);
    block.normaliseChannel();
    const int appMode = (options >> 7) & 1;
    for (int row = 0; row < ConfigurationRowCount; ++row) {
        seen += rowIdentifier(row).size() + rowValueText(block, row).size();
        const RowAction action = rowAction(row, block, appMode, domain);
        seen += action.choices.size() + action.hint.size();
    }
    if (block.bytes().size() != ConfigurationBlock::Size)
        abort();
    (void)seen;
    return 0;
}
