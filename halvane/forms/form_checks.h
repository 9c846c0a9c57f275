// Checks and texts shared by the forms of halvane: the standard messages of
// a failed value exchange, number and text rules, MAC address texts. Pure
// functions; the forms only show what they return.
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace FormChecks
{

// The standard messages of a value that breaks its rule.
QString IntegerMessage();
QString RangeMessage(qint64 low, qint64 high);
QString MaxCharsMessage(int count);

// A signed 32-bit decimal number, blanks around it allowed.
std::optional<qint32> ParseInt(const QString& text);
// An unsigned decimal number within [low, high], blanks around it allowed.
std::optional<quint32> ParseUnsigned(const QString& text, quint32 low, quint32 high);

bool IsHexDigit(QChar c);
// Exactly 12 hexadecimal digits.
bool IsMacText(const QString& text);
// 12 hexadecimal digits shown as six pairs joined by "-", upper case.
QString MacDisplayText(const QString& hexText);
QString MacDisplayText(const std::array<quint8, 6>& octets);

} // namespace FormChecks
