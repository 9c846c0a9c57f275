#include "file_dialog.h"

#include <QFileDialog>
#include <optional>

namespace
{

std::optional<QString> g_nextFileName;
QList<QStringList> g_shownFilters;

} // namespace

QString CFileDialog::GetOpenFileName(QWidget* parent, const QStringList& nameFilters,
                                     const QString& defaultSuffix)
{
    if (g_nextFileName) {
        g_shownFilters << nameFilters;
        return *g_nextFileName;
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void CFileDialog::setNextFileName(const QString& name)
{
    g_nextFileName = name;
}

void CFileDialog::clearNextFileName()
{
    g_nextFileName.reset();
}

QList<QStringList> CFileDialog::shownFilters()
{
    return g_shownFilters;
}

void CFileDialog::clearShown()
{
    g_shownFilters.clear();
}
