#include "dfu_protocol.h"

#include <QDir>
#include <QStandardPaths>
#include <QtEndian>

namespace
{

void appendU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// The caller has checked that the four bytes are there.
quint32 u32At(const QByteArray& buffer, qsizetype offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(buffer.at(offset + i));
    return value;
}

} // namespace

QByteArray dfuEncodeRequest(quint32 code, const QByteArray& input, quint32 outputSize)
{
    if (input.size() > qsizetype(DfuMaxInputSize) || outputSize > DfuMaxOutputSize)
        return {};
    QByteArray frame;
    frame.reserve(DfuRequestHeaderSize + input.size());
    appendU32(frame, DfuRequestMagic);
    appendU32(frame, code);
    appendU32(frame, quint32(input.size()));
    appendU32(frame, outputSize);
    frame.append(input);
    return frame;
}

DfuParse dfuDecodeRequest(const QByteArray& buffer, DfuRequestFrame* frame, qsizetype* consumed)
{
    // The magic is checked as soon as it is there so that garbage is refused early.
    if (buffer.size() >= 4 && u32At(buffer, 0) != DfuRequestMagic)
        return DfuParse::Invalid;
    if (buffer.size() < DfuRequestHeaderSize)
        return DfuParse::NeedMore;
    const quint32 inputLength = u32At(buffer, 8);
    const quint32 outputSize = u32At(buffer, 12);
    if (inputLength > DfuMaxInputSize || outputSize > DfuMaxOutputSize)
        return DfuParse::Invalid;
    const qsizetype total = DfuRequestHeaderSize + qsizetype(inputLength);
    if (buffer.size() < total)
        return DfuParse::NeedMore;
    frame->code = u32At(buffer, 4);
    frame->input = buffer.mid(DfuRequestHeaderSize, inputLength);
    frame->outputSize = outputSize;
    *consumed = total;
    return DfuParse::Done;
}

QByteArray dfuEncodeReply(quint32 status, const QByteArray& output)
{
    if (output.size() > qsizetype(DfuMaxOutputSize))
        return {};
    QByteArray frame;
    frame.reserve(DfuReplyHeaderSize + output.size());
    appendU32(frame, DfuReplyMagic);
    appendU32(frame, status);
    appendU32(frame, quint32(output.size()));
    frame.append(output);
    return frame;
}

DfuParse dfuDecodeReply(const QByteArray& buffer, quint32 maxOutput, DfuReplyFrame* frame,
                        qsizetype* consumed)
{
    if (buffer.size() >= 4 && u32At(buffer, 0) != DfuReplyMagic)
        return DfuParse::Invalid;
    if (buffer.size() < DfuReplyHeaderSize)
        return DfuParse::NeedMore;
    const quint32 outputLength = u32At(buffer, 8);
    if (outputLength > maxOutput || outputLength > DfuMaxOutputSize)
        return DfuParse::Invalid;
    const qsizetype total = DfuReplyHeaderSize + qsizetype(outputLength);
    if (buffer.size() < total)
        return DfuParse::NeedMore;
    frame->status = u32At(buffer, 4);
    frame->output = buffer.mid(DfuReplyHeaderSize, outputLength);
    *consumed = total;
    return DfuParse::Done;
}

QString dfuDefaultDevicePath()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(dir).filePath(QStringLiteral("DfuDevice0"));
}
