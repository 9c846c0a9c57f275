// The 41 rows of the configuration list: identifier, value text, what activating a row
// does, and how an accepted editor result is checked and stored in the block.
#pragma once

#include "configuration_block.h"

#include <QStringList>

inline constexpr int ConfigurationRowCount = 41;

QString rowIdentifier(int row);
QString rowValueText(const ConfigurationBlock& block, int row);

enum class EditorKind { Mac, Number, Ip, Text, Choice, Wep128, Wep64 };

struct RowAction {
    enum class Kind {
        Nothing,  // activating the row does nothing
        ReadOnly, // "Read-only access to this field"
        Edit,     // open the editor
    };
    Kind kind = Kind::Nothing;
    EditorKind editor = EditorKind::Choice;
    QStringList choices; // for the choice editor, in list order
    QString hint;        // for the number editor
};

// What activating a row does, for the given AppMode and the domain captured when the list
// was built.
RowAction rowAction(int row, const ConfigurationBlock& block, int appMode, quint8 channelDomain);

// "Channel lo" to "Channel hi" of a regulatory domain; empty for a domain outside table D.
QStringList channelChoices(quint8 domain);

// What the editor left when the user chose OK.
struct EditResult {
    quint32 number = 0; // number editor
    int position = 0;   // choice editor, from 0 (-1 when its list was empty)
    QByteArray bytes;   // MAC (6), IP (4), WEP64 (5) or WEP128 (13) bytes
    QByteArray text;    // text editor: single-byte characters, at most 32
};

struct EditOutcome {
    QString message;     // shown when not empty
    bool rebuild = true; // whether the list is built again
};

// Checks an editor's result for the row and stores it in the block.
EditOutcome applyEdit(ConfigurationBlock& block, int row, const EditResult& result);
