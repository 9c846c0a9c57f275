#include "masked_edit.h"

#include <QPalette>

namespace
{

// The Qt mask character for a placeholder of the masked-edit notation, or a
// null character when the character is a separator.
QChar QtPlaceholder(QChar c)
{
    switch (c.unicode()) {
    case '&':
    case 'C':
        return QLatin1Char('x'); // any non-blank character, optional
    case 'A':
    case 'a':
        return QLatin1Char('n'); // letter or digit, optional
    case '#':
    case '9':
        return QLatin1Char('0'); // digit, optional
    case '?':
        return QLatin1Char('a'); // letter, optional
    default:
        return QChar();
    }
}

// Characters that have a meaning in a Qt input mask and must be escaped
// when they stand as separators.
bool QtMaskSpecial(QChar c)
{
    static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!;\\[]{}");
    return special.contains(c);
}

} // namespace

CMSMask::CMSMask(QWidget* parent) : QLineEdit(parent)
{
}

QList<CMSMask::Position> CMSMask::Positions(const QString& mask)
{
    QList<Position> positions;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('>') || c == QLatin1Char('<'))
            continue;
        if (c == QLatin1Char('\\')) {
            if (i + 1 < mask.size())
                positions.append({true, mask.at(++i)});
            continue;
        }
        if (!QtPlaceholder(c).isNull())
            positions.append({false, QChar()});
        else
            positions.append({true, c});
    }
    return positions;
}

QString CMSMask::ToInputMask(const QString& mask, QChar prompt)
{
    if (mask.isEmpty())
        return QString();
    QString out;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            out += c;
            continue;
        }
        QChar separator = c;
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= mask.size())
                break;
            separator = mask.at(++i);
        } else {
            const QChar placeholder = QtPlaceholder(c);
            if (!placeholder.isNull()) {
                out += placeholder;
                continue;
            }
        }
        if (QtMaskSpecial(separator))
            out += QLatin1Char('\\');
        out += separator;
    }
    out += QLatin1Char(';');
    out += prompt;
    return out;
}

void CMSMask::SetMask(const QString& mask)
{
    m_mask = mask;
    m_positions = Positions(mask);
    setInputMask(ToInputMask(mask, m_prompt));
    QLineEdit::setText(QString());
}

void CMSMask::SetPromptChar(QChar prompt)
{
    if (prompt.isNull() || prompt == m_prompt)
        return;
    const QString text = Text();
    m_prompt = prompt;
    if (!m_mask.isEmpty()) {
        setInputMask(ToInputMask(m_mask, m_prompt));
        SetText(text);
    }
}

int CMSMask::PlaceholderCount() const
{
    int count = 0;
    for (const Position& position : m_positions)
        count += position.separator ? 0 : 1;
    return count;
}

void CMSMask::SetText(const QString& text)
{
    if (m_mask.isEmpty()) {
        QLineEdit::setText(text);
        return;
    }
    // Lay the characters into the placeholders ourselves, so that a
    // character that happens to equal a separator is not taken for one.
    QString shown;
    qsizetype next = 0;
    for (const Position& position : m_positions) {
        if (position.separator)
            shown += position.character;
        else if (next < text.size())
            shown += text.at(next++);
        else
            shown += m_prompt;
    }
    QLineEdit::setText(shown);
}

QString CMSMask::Text() const
{
    if (m_mask.isEmpty())
        return QLineEdit::text();
    const QString shown = displayText();
    QString text;
    for (qsizetype i = 0; i < m_positions.size() && i < shown.size(); ++i) {
        if (m_positions.at(i).separator)
            continue;
        const QChar c = shown.at(i);
        if (c != m_prompt)
            text += c;
    }
    return text;
}

void CMSMask::SetBackColor(const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

QColor CMSMask::BackColor() const
{
    return palette().color(QPalette::Base);
}
