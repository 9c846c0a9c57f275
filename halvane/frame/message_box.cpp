#include "message_box.h"

#include <optional>

namespace {

std::optional<QMessageBox::StandardButton> g_nextAnswer;
QStringList g_shownTexts;
QStringList g_shownDetails;
QList<CMessageBox::Icon> g_shownIcons;
QStringList g_shownTitles;

} // namespace

QMessageBox::StandardButton CMessageBox::Show(QWidget* parent, Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              const QString& detail, const QString& title)
{
    if (g_nextAnswer) {
        g_shownTexts << text;
        g_shownDetails << detail;
        g_shownIcons << icon;
        g_shownTitles << title;
        return *g_nextAnswer;
    }
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Halvane") : title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    box.setStandardButtons(buttons);
    switch (icon) {
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Plain:
        break;
    }
    return QMessageBox::StandardButton(box.exec());
}

void CMessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    g_nextAnswer = answer;
}

void CMessageBox::clearNextAnswer()
{
    g_nextAnswer.reset();
}

QStringList CMessageBox::shownTexts()
{
    return g_shownTexts;
}

QStringList CMessageBox::shownDetails()
{
    return g_shownDetails;
}

QList<CMessageBox::Icon> CMessageBox::shownIcons()
{
    return g_shownIcons;
}

QStringList CMessageBox::shownTitles()
{
    return g_shownTitles;
}

void CMessageBox::clearShown()
{
    g_shownTexts.clear();
    g_shownDetails.clear();
    g_shownIcons.clear();
    g_shownTitles.clear();
}
