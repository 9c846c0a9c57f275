// A four-field IP address entry: one field per octet, dots between them.
// Each field takes up to three digits and holds 0 to 255 (a larger number
// is cut to 255); an empty field reads as 0. Typing a dot or the third digit
// moves to the next field, Backspace in an empty field back to the previous.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <array>

class QLineEdit;

class CIPAddressEdit : public QWidget
{
    Q_OBJECT

public:
    explicit CIPAddressEdit(QWidget* parent = nullptr);

    // The four octets, the first one the leftmost field.
    void SetAddress(quint8 field0, quint8 field1, quint8 field2, quint8 field3);
    // The first four bytes of the array; missing bytes clear their fields.
    void SetAddress(const QByteArray& octets);
    // Always four bytes; empty fields read as 0.
    QByteArray Address() const;
    // The value of one field (0 to 3); empty reads as 0.
    quint8 Field(int index) const;
    // "a.b.c.d" of Address().
    QString DottedText() const;

    // True when all four fields are empty.
    bool IsBlank() const;
    void ClearAddress();

    // The line edit of one field, for focus and for tests.
    QLineEdit* FieldEdit(int index) const { return m_fields[index]; }

Q_SIGNALS:
    void AddressChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFieldEdited(int index);
    void FocusField(int index);

    std::array<QLineEdit*, 4> m_fields{};
};
