#include "ip_address_edit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

CIPAddressEdit::CIPAddressEdit(QWidget* parent) : QWidget(parent)
{
    // The fields sit inside one frame that looks like a single line edit.
    auto* frame = new QLineEdit(this);
    frame->setReadOnly(true);
    frame->setFocusPolicy(Qt::NoFocus);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    auto* validator =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    const int digitWidth = fontMetrics().horizontalAdvance(QStringLiteral("000")) + 6;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), frame);
            dot->setTextFormat(Qt::PlainText);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(frame);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setValidator(validator);
        field->setMaxLength(3);
        field->setMinimumWidth(digitWidth);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        connect(field, &QLineEdit::textChanged, this, [this] { Q_EMIT AddressChanged(); });
        layout->addWidget(field, 1);
        m_fields[i] = field;
    }
    setFocusProxy(m_fields[0]);
    setFocusPolicy(Qt::StrongFocus);
    frame->setMinimumHeight(m_fields[0]->sizeHint().height() + 2);
}

void CIPAddressEdit::SetAddress(quint8 field0, quint8 field1, quint8 field2, quint8 field3)
{
    const quint8 values[4] = {field0, field1, field2, field3};
    for (int i = 0; i < 4; ++i)
        m_fields[i]->setText(QString::number(values[i]));
}

void CIPAddressEdit::SetAddress(const QByteArray& octets)
{
    for (int i = 0; i < 4; ++i) {
        if (i < octets.size())
            m_fields[i]->setText(QString::number(quint8(octets.at(i))));
        else
            m_fields[i]->clear();
    }
}

quint8 CIPAddressEdit::Field(int index) const
{
    if (index < 0 || index > 3)
        return 0;
    const uint value = m_fields[index]->text().toUInt(); // empty gives 0
    return quint8(value > 255 ? 255 : value);
}

QByteArray CIPAddressEdit::Address() const
{
    QByteArray octets(4, '\0');
    for (int i = 0; i < 4; ++i)
        octets[i] = char(Field(i));
    return octets;
}

QString CIPAddressEdit::DottedText() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(Field(0)).arg(Field(1)).arg(Field(2)).arg(Field(3));
}

bool CIPAddressEdit::IsBlank() const
{
    for (QLineEdit* field : m_fields) {
        if (!field->text().isEmpty())
            return false;
    }
    return true;
}

void CIPAddressEdit::ClearAddress()
{
    for (QLineEdit* field : m_fields)
        field->clear();
}

void CIPAddressEdit::OnFieldEdited(int index)
{
    QLineEdit* field = m_fields[index];
    const QString text = field->text();
    if (text.toUInt() > 255)
        field->setText(QStringLiteral("255"));
    if (text.size() == 3 && field->cursorPosition() == 3 && index < 3)
        FocusField(index + 1);
}

void CIPAddressEdit::FocusField(int index)
{
    m_fields[index]->setFocus(Qt::TabFocusReason);
    m_fields[index]->selectAll();
}

bool CIPAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < 4; ++i) {
            if (watched != m_fields[i])
                continue;
            auto* key = static_cast<QKeyEvent*>(event);
            QLineEdit* field = m_fields[i];
            if ((key->key() == Qt::Key_Period || key->key() == Qt::Key_Space) && i < 3) {
                if (!field->text().isEmpty())
                    FocusField(i + 1);
                return true;
            }
            if (key->key() == Qt::Key_Backspace && i > 0 && field->cursorPosition() == 0 &&
                !field->hasSelectedText()) {
                QLineEdit* previous = m_fields[i - 1];
                previous->setFocus(Qt::BacktabFocusReason);
                previous->setCursorPosition(previous->text().size());
                return true;
            }
            if (key->key() == Qt::Key_Right && i < 3 &&
                field->cursorPosition() == field->text().size()) {
                m_fields[i + 1]->setFocus(Qt::TabFocusReason);
                m_fields[i + 1]->setCursorPosition(0);
                return true;
            }
            if (key->key() == Qt::Key_Left && i > 0 && field->cursorPosition() == 0) {
                QLineEdit* previous = m_fields[i - 1];
                previous->setFocus(Qt::BacktabFocusReason);
                previous->setCursorPosition(previous->text().size());
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
