// Checks made when OK is pressed in an editor. Each returns the message to show, or the
// empty text when the entry is good.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Boxes of the MAC and WEP key editors, left to right: each must hold one or two
// hexadecimal digits. On success *bytes holds one byte per box.
QString checkHexBoxes(const QStringList& boxes, QByteArray* bytes);

// The number editor's entry: an unsigned decimal integer (blanks around it allowed). A
// number beyond 32 bits is taken as the largest 32-bit number, which no row accepts.
QString checkNumberEntry(const QString& entry, quint32* number);

// The four fields of the IP address editor, first field first; a blank field gives 0.
QByteArray ipFieldsToBytes(const QStringList& fields);

// The text editor's text as the device's single-byte characters, at most 32 of them.
QByteArray textEntryToBytes(const QString& text);
