#include "message_box.h"

#include <QMessageBox>

MessageBox::Capture& MessageBox::capture()
{
    static Capture instance;
    return instance;
}

void MessageBox::setCapture(Capture capture)
{
    MessageBox::capture() = std::move(capture);
}

void MessageBox::information(QWidget* parent, const QString& title, const QString& text)
{
    if (capture()) {
        capture()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
