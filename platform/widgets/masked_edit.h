// A masked entry field: a QLineEdit with an input mask, driven through a
// small interface of its own.
//
// The mask is written in the classic masked-edit notation:
//   &  any printable character        C  any character (optional)
//   A  letter or digit                a  letter or digit (optional)
//   #  digit                          9  digit (optional)
//   ?  letter
//   >  capitals from here on          <  lower case from here on
//   \  the next character is a fixed separator
// every other character is a fixed separator shown in the field. Every
// placeholder may be left empty, so a half-typed entry can still be read.
//
// The text handed to and taken from the field holds only the characters in
// the placeholders, without the separators: for the mask ">&& && &&" the
// field shows "AB CD EF" and Text() returns "ABCDEF".
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QString>

class CMSMask : public QLineEdit
{
    Q_OBJECT

public:
    explicit CMSMask(QWidget* parent = nullptr);

    // The mask in masked-edit notation; setting it clears the field.
    void SetMask(const QString& mask);
    QString Mask() const { return m_mask; }

    // The character shown in empty placeholders (default '_').
    void SetPromptChar(QChar prompt);
    QChar PromptChar() const { return m_prompt; }

    // The placeholder characters without separators. SetText() fills the
    // placeholders in order; characters beyond the last one are dropped.
    void SetText(const QString& text);
    QString Text() const;

    // Number of placeholders of the current mask.
    int PlaceholderCount() const;

    void SetBackColor(const QColor& color);
    QColor BackColor() const;

    // The Qt input mask for a mask in masked-edit notation (empty for an
    // empty mask). Public so that the translation can be checked alone.
    static QString ToInputMask(const QString& mask, QChar prompt);

private:
    struct Position {
        bool separator;
        QChar character; // the separator itself
    };
    static QList<Position> Positions(const QString& mask);

    QString m_mask;
    QChar m_prompt = QLatin1Char('_');
    QList<Position> m_positions;
};
