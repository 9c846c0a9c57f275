// Internal: one-time set-up of net-snmp's library state for our use.
#pragma once

// Prepares libsnmp for encoding, decoding and MIB reading without touching the
// system: no configuration files are read, no default MIB directories or
// modules are loaded, nothing is persisted, and MIB parser chatter stays off
// standard error. Safe to call any number of times.
void snmpLibraryInit();
