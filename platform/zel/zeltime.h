#ifndef ZELTIME_H
#define ZELTIME_H

#include <QString>

class ZelTime
{
public:
    // "mm:ss" below an hour, "h:mm:ss" from one hour on (always with hours when showHours).
    // A negative time reads as "00:00".
    static QString timeString(int seconds, bool showHours);
};

#endif // ZELTIME_H
