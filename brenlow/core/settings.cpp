#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

QString brenlowIniPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Brenlow.ini"));
}

int readAppMode(const QString& iniPath)
{
    if (!QFileInfo(iniPath).isFile())
        return 0;
    const QSettings settings(iniPath, QSettings::IniFormat);
    const QString value =
        settings.value(QStringLiteral("Brenlow/AppMode"), QStringLiteral("0")).toString();
    return value.left(2) == QLatin1String("1") ? 1 : 0;
}
