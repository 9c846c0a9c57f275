#include "editor_checks.h"

#include "brenlow_texts.h"

#include <limits>

namespace
{

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

QString checkHexBoxes(const QStringList& boxes, QByteArray* bytes)
{
    QByteArray values;
    for (const QString& box : boxes) {
        // A box holds at most two characters; its first and last must be hexadecimal.
        if (box.isEmpty() || box.size() > 2 || !isHexDigit(box.front()) || !isHexDigit(box.back()))
            return QString::fromLatin1(Texts::WrongValue);
        values.append(char(box.toUInt(nullptr, 16)));
    }
    *bytes = values;
    return {};
}

QString checkNumberEntry(const QString& entry, quint32* number)
{
    const QString digits = entry.trimmed();
    if (digits.isEmpty())
        return QString::fromLatin1(Texts::PositiveInteger);
    quint64 value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString::fromLatin1(Texts::PositiveInteger);
        value = value * 10 + quint64(c.unicode() - '0');
        if (value > std::numeric_limits<quint32>::max())
            value = quint64(std::numeric_limits<quint32>::max()) + 1; // stays out of 32 bits
    }
    *number = value > std::numeric_limits<quint32>::max() ? std::numeric_limits<quint32>::max()
                                                          : quint32(value);
    return {};
}

QByteArray ipFieldsToBytes(const QStringList& fields)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4 && i < fields.size(); ++i) {
        bool ok = false;
        const uint value = fields.at(i).trimmed().toUInt(&ok);
        bytes[i] = char(ok && value <= 255 ? value : 0);
    }
    return bytes;
}

QByteArray textEntryToBytes(const QString& text)
{
    return text.left(32).toLatin1();
}
