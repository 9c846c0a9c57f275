#include "message_box.h"

#include <QGuiApplication>
#include <QList>
#include <QMessageBox>

namespace
{

struct Seam {
    bool testMode = false;
    QList<bool> answers;
    QStringList shown;
};

Seam& seam()
{
    static Seam instance;
    return instance;
}

QMessageBox::StandardButton run(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, QStringLiteral("Brenlow"), text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void MessageBox::show(QWidget* parent, const QString& text, Icon icon)
{
    if (seam().testMode) {
        seam().shown.append(text);
        return;
    }
    run(parent, text, icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
        QMessageBox::Ok);
}

bool MessageBox::ask(QWidget* parent, const QString& text)
{
    if (seam().testMode) {
        seam().shown.append(text);
        return !seam().answers.isEmpty() && seam().answers.takeFirst();
    }
    return run(parent, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void MessageBox::setTestMode(bool on)
{
    seam() = Seam{};
    seam().testMode = on;
}

void MessageBox::setNextAnswer(bool yes)
{
    seam().answers.append(yes);
}

QStringList MessageBox::takeShown()
{
    QStringList shown;
    shown.swap(seam().shown);
    return shown;
}

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    restore();
}

void BusyCursor::restore()
{
    if (m_active)
        QGuiApplication::restoreOverrideCursor();
    m_active = false;
}
