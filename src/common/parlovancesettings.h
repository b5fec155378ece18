#ifndef PARLOVANCESETTINGS_H
#define PARLOVANCESETTINGS_H

#include <QSettings>

// The player's per-user settings file. Every part of the program opens it through this class,
// so they all address the same file.
class ParlovanceSettings : public QSettings
{
    Q_OBJECT

public:
    explicit ParlovanceSettings(QObject* parent = nullptr);
    ~ParlovanceSettings() override;
};

#endif // PARLOVANCESETTINGS_H
