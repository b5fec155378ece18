#include "profile.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>

namespace {

const char* const ActiveProfile = "general";

char* copyOf(const QByteArray& text)
{
    char* copy = static_cast<char*>(std::malloc(size_t(text.size()) + 1));
    if (copy)
        std::memcpy(copy, text.constData(), size_t(text.size()) + 1);
    return copy;
}

// A profile name becomes a file name: nothing that leaves the profiles folder.
bool validName(const char* profile)
{
    if (!profile || !*profile)
        return false;
    const QString name = QString::fromUtf8(profile);
    return name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/'));
}

QString profileFile(const char* profile)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/profiled/") + QString::fromUtf8(profile) + QStringLiteral(".ini");
}

} // namespace

char* profile_get_profile(void)
{
    return copyOf(QByteArray(ActiveProfile));
}

int profile_set_value(const char* profile, const char* key, const char* value)
{
    if (!validName(profile) || !key || !*key || !value)
        return -1;
    const QString file = profileFile(profile);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return -1;
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(QString::fromUtf8(key), QString::fromLocal8Bit(value));
    settings.sync();
    return settings.status() == QSettings::NoError ? 0 : -1;
}

char* profile_get_value(const char* profile, const char* key)
{
    if (!validName(profile) || !key || !*key)
        return nullptr;
    QSettings settings(profileFile(profile), QSettings::IniFormat);
    return copyOf(settings.value(QString::fromUtf8(key)).toString().toLocal8Bit());
}
