// Message boxes of halvane. Texts are always plain text: device strings
// reach them. Tests answer a box without showing it (setNextAnswer) and read
// what would have been shown (shownTexts).
#pragma once

#include <QMessageBox>
#include <QStringList>

class CMessageBox
{
public:
    enum Icon { Plain, Question, Stop, Information, Exclamation };

    // title: the box's caption (the program's name when empty).
    static QMessageBox::StandardButton Show(QWidget* parent, Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                            const QString& detail = QString(),
                                            const QString& title = QString());

    // Test seam: the following boxes are not shown; each returns the given
    // answer (the last one set stays in force until clearNextAnswer()).
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static void clearNextAnswer();
    // Texts of the boxes answered through the seam, oldest first.
    static QStringList shownTexts();
    // Icons and titles of those boxes, in the same order.
    static QList<Icon> shownIcons();
    static QStringList shownTitles();
    static QStringList shownDetails();
    static void clearShown();
};
