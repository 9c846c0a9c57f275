#include "settings.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString readFlagText(QSettings& file, const char* key)
{
    return file.value(QLatin1String(key), QStringLiteral("0")).toString().left(2);
}

} // namespace

CHalvaneSettings CHalvaneSettings::Read()
{
    const QString path =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/Halvane.ini");
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Halvane"));
    CHalvaneSettings settings;
    settings.m_extendedMenus = readFlagText(file, "AppMode") != QLatin1String("0");
    settings.m_appView = readFlagText(file, "AppView") != QLatin1String("0");
    return settings;
}

QString CHalvaneSettings::ReadIpSettings()
{
    QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZELCORA"),
                      QStringLiteral("Halvane"));
    return profile.value(QStringLiteral("Halvane/IPsettings")).toString();
}

void CHalvaneSettings::WriteIpSettings(const QString& address)
{
    QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZELCORA"),
                      QStringLiteral("Halvane"));
    profile.setValue(QStringLiteral("Halvane/IPsettings"), address);
}
