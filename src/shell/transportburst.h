#ifndef TRANSPORTBURST_H
#define TRANSPORTBURST_H

#include "playback/skipmoves.h"

#include <QString>
#include <QUrl>
#include <QVector>

// The transport calls that the playback service has received and not yet carried out, in the
// order they came, reduced to where they land. Another program may send them far faster than
// a song loads; the service carries out a whole burst as one change.
//
// - A play request replaces what plays: the newest one is kept, and what was asked after an
//   older one, which acted on that older one's item, goes with it. A pause or resume asked
//   before the newest request goes too, as the request plays.
// - next() and previous() asked before any play request are kept in order (moves()): they act
//   on what plays now, and on a queue that a stream then plays in front of. Asked after a
//   play request they act on its item just started (a stream, or a song alone in its queue),
//   which they leave where it is.
// - Of pause() and resume() asked after the newest request (or in a burst without one) the
//   last one holds.
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
    enum class Hold { None, Pause, Resume };

    void play(const PlayRequest& request);
    void next();
    void previous();
    void pause();
    void resume();

    // The calls taken since the burst began.
    int calls() const;
    // The newest play request; kind None when the burst has none.
    const PlayRequest& request() const;
    // The next() and previous() calls asked before the request (or in a burst without one),
    // in order: a run of n nexts as n, of n previouses as -n.
    const QVector<int>& moves() const;
    Hold hold() const;

private:
    PlayRequest newest;
    SkipMoves steps;
    Hold last = Hold::None;
    int taken = 0;
};

#endif // TRANSPORTBURST_H
