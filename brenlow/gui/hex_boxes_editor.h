// What the MAC and WEP key editors share: a row of two-character boxes, each giving one
// byte, checked left to right when OK is pressed.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QLineEdit;

class HexBoxesEditor : public QDialog
{
    Q_OBJECT
public:
    // One byte per box, left to right, after the dialog was accepted.
    QByteArray bytes() const { return m_bytes; }
    QList<QLineEdit*> boxes() const { return m_boxes; }

protected:
    explicit HexBoxesEditor(QWidget* parent);
    void setUpBoxes(const QList<QLineEdit*>& boxes, QDialogButtonBox* buttons);

private:
    void takeBoxes();

    QList<QLineEdit*> m_boxes;
    QByteArray m_bytes;
};
