// Wire format of the DFU driver boundary.
//
// The USB configuration utility talks to the access point through a device driver that
// accepts buffered device-control requests. On this platform the driver end is a local
// (AF_UNIX stream) socket, by default $XDG_RUNTIME_DIR/DfuDevice0. One connection is one
// open handle of the device; it carries any number of request/reply exchanges, strictly one
// at a time: the client sends a request frame and waits for the reply frame before it sends
// the next one.
//
// All integers are unsigned 32-bit, little-endian.
//
// Request frame (client -> device), 16 header bytes followed by the input bytes:
//
//   offset  size  field
//   0       4     magic 0x51554644 (the bytes "DFUQ")
//   4       4     control request code (for example 0x222004)
//   8       4     input length N, at most DfuMaxInputSize
//   12      4     output size M: the size of the caller's output buffer, at most
//                 DfuMaxOutputSize (0 when the request has no output buffer)
//   16      N     input bytes
//
// Reply frame (device -> client), 12 header bytes followed by the output bytes:
//
//   offset  size  field
//   0       4     magic 0x52554644 (the bytes "DFUR")
//   4       4     status: 0 (DfuStatusSuccess) when the request succeeded, any other value
//                 is a failure code
//   8       4     output length K, at most the request's output size M
//   12      K     output bytes
//
// A device end that receives a frame with a wrong magic or with a length above the limits
// closes the connection without answering. A client that receives such a reply, or a reply
// longer than the output size it asked for, treats the exchange as failed and closes the
// connection. Neither side ever allocates more than the limits because of a length field.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Control request codes of the driver (device type 0x22, buffered transfer, any access).
inline constexpr quint32 DfuRequestGroup = 0x222004;           // read or write a group
inline constexpr quint32 DfuRequestReset = 0x22201C;           // reset the device
inline constexpr quint32 DfuRequestRestoreDefaults = 0x222020; // restore default values

// Reply status values. Any value other than success is a failure; these are the ones the
// device end in this project uses.
inline constexpr quint32 DfuStatusSuccess = 0;
inline constexpr quint32 DfuStatusFailure = 1;        // the device could not do it
inline constexpr quint32 DfuStatusInvalidRequest = 2; // unknown code or malformed input

inline constexpr quint32 DfuRequestMagic = 0x51554644;
inline constexpr quint32 DfuReplyMagic = 0x52554644;
inline constexpr qsizetype DfuRequestHeaderSize = 16;
inline constexpr qsizetype DfuReplyHeaderSize = 12;
inline constexpr quint32 DfuMaxInputSize = 65536;
inline constexpr quint32 DfuMaxOutputSize = 65536;

struct DfuRequestFrame {
    quint32 code = 0;
    QByteArray input;
    quint32 outputSize = 0;
};

struct DfuReplyFrame {
    quint32 status = DfuStatusFailure;
    QByteArray output;
};

enum class DfuParse {
    NeedMore, // the buffer holds only the beginning of a frame
    Done,     // one frame decoded; *consumed tells its size
    Invalid,  // wrong magic or a length above the limits
};

// Fails (returns an empty array) when the input or the output size exceed the limits.
QByteArray dfuEncodeRequest(quint32 code, const QByteArray& input, quint32 outputSize);
DfuParse dfuDecodeRequest(const QByteArray& buffer, DfuRequestFrame* frame, qsizetype* consumed);

// Fails (returns an empty array) when the output exceeds DfuMaxOutputSize.
QByteArray dfuEncodeReply(quint32 status, const QByteArray& output);
// maxOutput is the output size of the request that this reply answers.
DfuParse dfuDecodeReply(const QByteArray& buffer, quint32 maxOutput, DfuReplyFrame* frame,
                        qsizetype* consumed);

// $XDG_RUNTIME_DIR/DfuDevice0, or the same name in Qt's runtime directory when the
// variable is not set.
QString dfuDefaultDevicePath();
