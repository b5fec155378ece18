#ifndef ZELTRIMMEDSOURCE_H
#define ZELTRIMMEDSOURCE_H

#include "zeltagtrim.h"

typedef struct _GstElement GstElement;

// A GStreamer source that reads a local file as other bytes in some stretches of it (the
// comments ZelTagTrim makes anew), for a playbin to play: the file as GStreamer would read it,
// but for what stands in those stretches. It reads at random (demuxers that pull, exact seeks and
// durations) as the file source does, and answers the length of what it reads. Only the player
// makes its addresses: playbin builds it for one, and the pipeline hands it the file.
class ZelTrimmedSource
{
public:
    // The pipeline (a playbin not started yet) plays the file open at fd (a copy of the
    // descriptor is kept) read through the stretches. False when the source cannot be made here
    // (the pipeline is then left as it was).
    static bool use(GstElement* pipeline, int fd, const QList<ZelTagTrim::Stretch>& stretches);
};

#endif // ZELTRIMMEDSOURCE_H
