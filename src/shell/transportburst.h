#ifndef TRANSPORTBURST_H
#define TRANSPORTBURST_H

#include "playback/transportsteps.h"

#include <QString>
#include <QUrl>

// The transport calls that the playback service has received and not yet carried out, in the
// order they came, reduced to where they land. Another program may send them far faster than
// a song loads; the service carries out a whole burst as one change.
//
// - A play request replaces what plays: the newest one is kept, and what was asked after an
//   older one, which acted on that older one's item, goes with it. A pause or resume asked
//   before the newest request goes too, as the request plays.
// - next() and previous() asked before any play request are kept in order: they act on what
//   plays now, and on a queue that a stream then plays in front of. Asked after a play request
//   they act on its item just started (a stream, or a song alone in its queue), which they
//   leave where it is.
// - Of pause(), resume() and stop() asked after the newest request (or in a burst without
//   one) the last one holds.
// The skips and the hold are the burst's steps (steps()), which TransportSteps carries out in
// the order the media keys take too: the skips, then the newest request, then the hold.
class TransportBurst
{
public:
    struct PlayRequest
    {
        enum Kind { None, LibrarySong, LibraryFile, Stream };
        Kind kind = None;
        QString uri; // the song's URN, or the library file's URL
        QUrl url;    // the stream's address
    };

    void play(const PlayRequest& request);
    void next();
    void previous();
    void pause();
    void resume();
    // No bus method stops today; the tests put a stop into a burst through the service.
    void stop();

    // The calls taken since the burst began.
    int calls() const;
    // The newest play request; kind None when the burst has none.
    const PlayRequest& request() const;
    // The next() and previous() calls asked before the request (or in a burst without one),
    // and the pause or resume that holds.
    const TransportSteps& steps() const;

private:
    PlayRequest newest;
    TransportSteps commands;
    int taken = 0;
};

#endif // TRANSPORTBURST_H
