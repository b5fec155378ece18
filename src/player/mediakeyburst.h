#ifndef MEDIAKEYBURST_H
#define MEDIAKEYBURST_H

#include "playback/skipmoves.h"

#include <QVector>

// The playback commands of the media keys pressed since the key handler last carried them out,
// in the order they came, reduced to where they land. A keyboard, or a program typing on it,
// may send keys far faster than a song loads; the key handler carries out a whole burst as one
// change, once per turn of the event loop, as the playback service does with its calls. Keys
// pressed by hand come one to a turn, and are carried out as they come.
//
// - next() and previous() are kept in order (moves()), a run of n nexts as n and of n
//   previouses as -n: what plays moves as far as they take it, and only where it lands loads.
// - Of play(), pause() and stop() the last one holds (hold()). A toggle() after one of them is
//   the other way (a play after a pause or a stop, a pause after a play); two toggles with
//   none of them before leave what plays as it is, and one is a toggle of what the burst
//   found.
// - A wind (fast forward or rewind while its key is held) started and ended within the burst
//   has moved nothing and leaves nothing; one still held at the burst's end is started
//   (wind()). The end of a wind that an earlier burst started is kept (endsWind()).
class MediaKeyBurst
{
public:
    enum class Hold { None, Toggle, Play, Pause, Stop };
    enum class Wind { None, Forward, Backward };

    // windRuns: an earlier burst started a wind that has not ended.
    explicit MediaKeyBurst(bool windRuns = false);

    void next();
    void previous();
    void toggle();
    void play();
    // Pauses, or stops what cannot pause.
    void pause();
    void stop();
    void startWind(bool backwards);
    void endWind();

    // No command since the burst began.
    bool isEmpty() const;
    const QVector<int>& moves() const;
    Hold hold() const;
    Wind wind() const;
    bool endsWind() const;

private:
    SkipMoves steps;
    Hold last = Hold::None;
    Wind winding = Wind::None;
    bool windRunsBefore;
    bool windEnded = false;
    bool empty = true;
};

#endif // MEDIAKEYBURST_H
