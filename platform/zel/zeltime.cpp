#include "zeltime.h"

QString ZelTime::timeString(int seconds, bool showHours)
{
    if (seconds < 0)
        seconds = 0;
    const int hours = seconds / 3600;
    const int minutes = (seconds % 3600) / 60;
    const int secs = seconds % 60;
    const QChar zero(QLatin1Char('0'));
    if (hours > 0 || showHours) {
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, zero)
            .arg(secs, 2, 10, zero);
    }
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, zero).arg(secs, 2, 10, zero);
}
