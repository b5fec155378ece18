#ifndef ZELLOGGING_H
#define ZELLOGGING_H

#include <QLoggingCategory>

// "parlovance.playback.controller": the play controller over GStreamer and its playlist
// parser.
Q_DECLARE_LOGGING_CATEGORY(lcPlayControl)

#endif // ZELLOGGING_H
