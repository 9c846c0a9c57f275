#include "form_checks.h"

#include <QStringList>
#include <limits>

namespace FormChecks
{

QString IntegerMessage()
{
    return QStringLiteral("Please enter an integer.");
}

QString RangeMessage(qint64 low, qint64 high)
{
    return QStringLiteral("Please enter an integer between %1 and %2.").arg(low).arg(high);
}

QString MaxCharsMessage(int count)
{
    return QStringLiteral("Please enter no more than %1 characters.").arg(count);
}

namespace
{

// Optional sign, then decimal digits only; the magnitude in 64 bits.
std::optional<qint64> parseDecimal(const QString& text, bool allowSign)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (allowSign && i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i >= t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > (qint64(1) << 33))
            return std::nullopt; // far beyond every range used here
    }
    return negative ? -value : value;
}

} // namespace

std::optional<qint32> ParseInt(const QString& text)
{
    const std::optional<qint64> value = parseDecimal(text, true);
    if (!value || *value < std::numeric_limits<qint32>::min() ||
        *value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(*value);
}

std::optional<quint32> ParseUnsigned(const QString& text, quint32 low, quint32 high)
{
    const std::optional<qint64> value = parseDecimal(text, false);
    if (!value || *value < qint64(low) || *value > qint64(high))
        return std::nullopt;
    return quint32(*value);
}

bool IsHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

bool IsMacText(const QString& text)
{
    if (text.size() != 12)
        return false;
    for (QChar c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return true;
}

QString MacDisplayText(const QString& hexText)
{
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < hexText.size(); i += 2)
        pairs << hexText.mid(i, 2).toUpper();
    return pairs.join(QLatin1Char('-'));
}

QString MacDisplayText(const std::array<quint8, 6>& octets)
{
    QStringList pairs;
    for (quint8 octet : octets)
        pairs << QStringLiteral("%1").arg(octet, 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(QLatin1Char('-'));
}

} // namespace FormChecks
