#include "parlovancesettings.h"

ParlovanceSettings::ParlovanceSettings(QObject* parent)
    : QSettings(QStringLiteral("Vaspe"), QStringLiteral("Music"), parent)
{
}

ParlovanceSettings::~ParlovanceSettings() = default;
