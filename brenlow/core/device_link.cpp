#include "device_link.h"

#include <QStringList>

#include <algorithm>

DeviceLink::DeviceLink(const QString& devicePath) : m_devicePath(devicePath)
{
}

bool DeviceLink::Open()
{
    if (m_openFlag)
        Close();
    if (!m_handle.open(m_devicePath)) {
        m_error = m_handle.errorString();
        return false;
    }
    m_openFlag = 1;
    return true;
}

bool DeviceLink::Close()
{
    m_openFlag = 0;
    m_handle.close();
    return true;
}

bool DeviceLink::send(quint32 code, const QByteArray& input, quint32 outputSize, QByteArray* output)
{
    DfuReplyFrame reply;
    if (!m_handle.request(code, input, outputSize, &reply)) {
        m_error = m_handle.errorString();
        return false;
    }
    if (reply.status != DfuStatusSuccess) {
        m_error = QStringLiteral("the driver answered status %1").arg(reply.status);
        return false;
    }
    if (output) {
        // The reply area is cleared before each request; what the driver did not fill stays
        // zero (its returned byte count is not looked at otherwise).
        output->fill('\0', int(outputSize));
        std::copy(reply.output.cbegin(), reply.output.cend(), output->begin());
    }
    return true;
}

bool DeviceLink::ReadGroup(quint8 groupCode, QByteArray& destination, int rawLength)
{
    if (rawLength < 0 || rawLength > ReplySize)
        return false;
    const QByteArray input(1, char(groupCode));
    QByteArray reply(ReplySize, '\0');
    bool ok = false;
    for (int attempt = 0; attempt < 3; ++attempt)
        ok = send(DfuRequestGroup, input, ReplySize, &reply);
    if (!ok)
        return false;

    m_firmwareVersionText = firmwareVersionFromReply(reply);
    const QByteArray data = unpackReply(reply, rawLength);
    if (destination.size() < data.size())
        destination.resize(data.size());
    std::copy(data.cbegin(), data.cend(), destination.begin());
    m_statusText.clear();
    return true;
}

bool DeviceLink::WriteGroup(QByteArray& block, quint8 groupCode, int length)
{
    if (length < 0)
        return false;
    if (block.size() < length + 1)
        block.resize(length + 1);
    block[length] = char(groupCode);
    return send(DfuRequestGroup, block.left(length + 1), 0, nullptr);
}

bool DeviceLink::ResetDevice()
{
    return send(DfuRequestReset, {}, 0, nullptr);
}

bool DeviceLink::RestoreDefaults()
{
    return send(DfuRequestRestoreDefaults, {}, 0, nullptr);
}

int unpackedLength(int rawLength)
{
    int length = 0;
    for (int offset = 9; offset < rawLength; offset += 8)
        length += std::min(7, rawLength - offset);
    return length;
}

QByteArray unpackReply(const QByteArray& reply, int rawLength)
{
    QByteArray data;
    data.reserve(unpackedLength(rawLength));
    for (int offset = 9; offset < rawLength; offset += 8) {
        const int count = std::min(7, rawLength - offset);
        for (int i = 0; i < count; ++i)
            data.append(offset + i < reply.size() ? reply.at(offset + i) : '\0');
    }
    return data;
}

QString firmwareVersionFromReply(const QByteArray& reply)
{
    QStringList numbers;
    for (int i = 1; i <= 4; ++i)
        numbers.append(QString::number(i < reply.size() ? qint8(reply.at(i)) : 0));
    return numbers.join(QLatin1Char('.'));
}
