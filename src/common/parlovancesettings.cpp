#include "parlovancesettings.h"

#include "safefile.h"
#include "settingsfilecheck.h"

#include <QStandardPaths>

namespace {

// The file QSettings("Vaspe", "Music") keeps on this system, made a regular file of its own
// (QSettings follows a link on reading and writing) that QSettings reads line by line before
// it is opened.
QString claimedPath()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/Vaspe/Music.conf");
    if (SafeFile::claim(path))
        SettingsFileCheck::check(path);
    return path;
}

} // namespace

ParlovanceSettings::ParlovanceSettings(QObject* parent)
    : QSettings(claimedPath(), QSettings::NativeFormat, parent)
{
}

ParlovanceSettings::~ParlovanceSettings() = default;
