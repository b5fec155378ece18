#include "parlovancesettings.h"

#include "safefile.h"

#include <QStandardPaths>

namespace {

// The file QSettings("Vaspe", "Music") keeps on this system, made a regular file of its own
// before QSettings reads it (QSettings follows a link on reading and writing).
QString claimedPath()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/Vaspe/Music.conf");
    SafeFile::claim(path);
    return path;
}

} // namespace

ParlovanceSettings::ParlovanceSettings(QObject* parent)
    : QSettings(claimedPath(), QSettings::NativeFormat, parent)
{
}

ParlovanceSettings::~ParlovanceSettings() = default;
