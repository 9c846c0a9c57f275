// Message boxes of trelling, shown as plain text. Tests capture them instead
// of showing them modally.
#pragma once

#include <QString>
#include <functional>

class QWidget;

class MessageBox
{
public:
    using Capture = std::function<void(const QString& title, const QString& text)>;

    // Shows a modal box with an OK button and no icon.
    static void information(QWidget* parent, const QString& title, const QString& text);
    // While set, boxes are handed to capture and not shown.
    static void setCapture(Capture capture);

private:
    static Capture& capture();
};
