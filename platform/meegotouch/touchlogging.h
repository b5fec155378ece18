#ifndef TOUCHLOGGING_H
#define TOUCHLOGGING_H

#include <QLoggingCategory>

// "parlovance.touch": the touch UI toolkit (widgets, theme, locale, window, services).
Q_DECLARE_LOGGING_CATEGORY(lcTouch)

#endif // TOUCHLOGGING_H
