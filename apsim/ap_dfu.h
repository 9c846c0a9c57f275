// The DFU driver endpoint of the emulated access point: serves the 348-byte configuration
// block (group 1), the CR settings with the firmware version (group 3), reset and restore
// defaults over the same configuration store as the SNMP agent.
#pragma once

#include "dfu_server.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class ApDevice;

class ApDfuEndpoint : public QObject
{
    Q_OBJECT

public:
    static constexpr int BlockSize = 348;
    static constexpr int CrSettingsSize = 71;
    static constexpr int ReplySize = 1024;

    explicit ApDfuEndpoint(ApDevice* device, QObject* parent = nullptr);

    bool listen(const QString& path, QString* error);
    void close();

    // One control request as the driver passes it.
    DfuReply handle(quint32 code, const QByteArray& input, quint32 outputSize);

    // The configuration block built from the store.
    QByteArray configurationBlock() const;
    // Takes a written block into the store (running and saved configuration at once).
    // All or nothing: a field the device cannot hold refuses the whole block.
    bool applyConfigurationBlock(const QByteArray& block, QString* why);
    // The 1024-byte read reply: packet 0 carries the firmware version in bytes 1 to 4,
    // packets 1 to 127 carry 7 data bytes each in their bytes 1 to 7.
    QByteArray readReply(const QByteArray& data) const;

Q_SIGNALS:
    void logLine(const QString& text);

private:
    ApDevice* m_device;
    DfuServer* m_server = nullptr;
};
