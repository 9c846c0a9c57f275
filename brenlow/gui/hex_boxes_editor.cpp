#include "hex_boxes_editor.h"

#include "editor_checks.h"
#include "message_box.h"

#include <QDialogButtonBox>
#include <QLineEdit>

HexBoxesEditor::HexBoxesEditor(QWidget* parent) : QDialog(parent)
{
}

void HexBoxesEditor::setUpBoxes(const QList<QLineEdit*>& boxes, QDialogButtonBox* buttons)
{
    m_boxes = boxes;
    connect(buttons, &QDialogButtonBox::accepted, this, &HexBoxesEditor::takeBoxes);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!m_boxes.isEmpty())
        m_boxes.first()->setFocus();
}

void HexBoxesEditor::takeBoxes()
{
    QStringList texts;
    for (const QLineEdit* box : m_boxes)
        texts.append(box->text());
    const QString message = checkHexBoxes(texts, &m_bytes);
    if (!message.isEmpty()) {
        MessageBox::show(this, message);
        return;
    }
    accept();
}
