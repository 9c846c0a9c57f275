// What an emulated access point is: its description, factory configuration, the stations
// around it and the neighbour BSSs a site survey finds. A profile file (JSON) overrides the
// built-in default, which needs no file.
#pragma once

#include "ap_store.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

struct ApStation {
    QByteArray mac;          // 6 bytes
    bool associated = false; // associated when the device starts
};

struct ApNeighbour {
    QByteArray bssid; // 6 bytes
    QByteArray ssid;  // at most 32 bytes
    int channel = 1;
    int rssi = 30;    // raw signal value, 0 to 255
    int flags = 0x01; // 0x01 infrastructure, 0x02 ad hoc, 0x10 WEP, 0x20 short preamble
};

struct ApProfile {
    QString sysDescr;
    QByteArray firmware;        // 4 version numbers
    ApStore::Values defaults;   // factory configuration, by variable name
    QList<QByteArray> macTable; // factory MAC authorization table
    QList<ApStation> stations;
    QList<ApNeighbour> neighbours;

    // The built-in access point; its addresses follow the bound address so that instances
    // on 127.0.0.2, 127.0.0.3, ... differ.
    static ApProfile builtIn(const QHostAddress& bindAddress);
    // Starts from the built-in profile and applies the file on top.
    static bool load(const QString& path, const QHostAddress& bindAddress,
                     const ApVariableTable& table, ApProfile* out, QString* error);
};
