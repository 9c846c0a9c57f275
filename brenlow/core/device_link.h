// The program's one connection to the DFU device driver: opened for each command, one
// synchronous request (three for a read), closed again.
#pragma once

#include "dfu_client.h"

#include <QByteArray>
#include <QString>

// Group codes of the read and write requests.
inline constexpr quint8 GroupConfiguration = 1; // the 348-byte configuration block
inline constexpr quint8 GroupCrSettings = 3;    // read only for the firmware version

class DeviceLink
{
public:
    // Size of the reply area of a read: 128 packets of 8 bytes.
    static constexpr int ReplySize = 1024;

    explicit DeviceLink(const QString& devicePath = dfuDefaultDevicePath());
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    QString devicePath() const { return m_devicePath; }
    // How long a request may take before the driver counts as dead.
    void setTimeout(int milliseconds) { m_handle.setTimeout(milliseconds); }

    // Opens the device, closing it first when it is open. False when the driver is not there.
    bool Open();
    // Always true.
    bool Close();
    bool isOpen() const { return m_openFlag == 1; }

    // Reads a group: three requests in a row into the same reply area, the third one counts.
    // On success the data of the first rawLength reply bytes is unpacked into the front of
    // destination (which grows when it is too small), FirmwareVersionText is taken from the
    // reply and StatusText is emptied. On failure nothing of that changes. rawLength must lie
    // within 0 to ReplySize.
    bool ReadGroup(quint8 groupCode, QByteArray& destination, int rawLength);
    // Writes the first length bytes of block followed by the group code, which is stored in
    // block at index length first (block grows when it has no room for it).
    bool WriteGroup(QByteArray& block, quint8 groupCode, int length);
    bool ResetDevice();
    bool RestoreDefaults();

    QString FirmwareVersionText() const { return m_firmwareVersionText; }
    QString StatusText() const { return m_statusText; }
    void setStatusText(const QString& text) { m_statusText = text; }

    // Why the last request failed, for diagnostics.
    QString errorString() const { return m_error; }

private:
    bool send(quint32 code, const QByteArray& input, quint32 outputSize, QByteArray* output);

    QString m_devicePath;
    DfuClient m_handle;
    qint32 m_openFlag = 0;
    QString m_firmwareVersionText;
    QString m_statusText;
    QString m_error;
};

// Number of data bytes that unpacking rawLength reply bytes yields (889 for 1024, 71 for 90).
int unpackedLength(int rawLength);
// The data bytes of the first rawLength bytes of a reply: bytes 1 to 7 of every packet from
// packet 1 on. Reply bytes that are missing count as zero.
QByteArray unpackReply(const QByteArray& reply, int rawLength);
// Reply bytes 1 to 4 as signed decimal numbers joined by ".".
QString firmwareVersionFromReply(const QByteArray& reply);
