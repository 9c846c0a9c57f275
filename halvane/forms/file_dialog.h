// The file-open dialog of halvane. Tests answer it without showing it
// (setNextFileName) and read which filters it would have offered.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class CFileDialog
{
public:
    // Asks for an existing file. nameFilters are Qt name filters
    // ("Text Files (*.txt)"); defaultSuffix is added to a typed name that has
    // none. Returns the chosen path, or an empty text on Cancel.
    static QString GetOpenFileName(QWidget* parent, const QStringList& nameFilters,
                                   const QString& defaultSuffix);

    // Test seam: the following dialogs are not shown; each returns the given
    // name (an empty name answers Cancel) until clearNextFileName().
    static void setNextFileName(const QString& name);
    static void clearNextFileName();
    // Filters of the dialogs answered through the seam, oldest first.
    static QList<QStringList> shownFilters();
    static void clearShown();
};
