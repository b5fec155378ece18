#ifndef TRANSPORTSTEPS_H
#define TRANSPORTSTEPS_H

#include <QVector>

#include <functional>

class PlayState;

// The skips of a burst of transport commands and the play, pause or stop that holds at its
// end, reduced to where they land, and the one order in which they are carried out. The inputs
// that take commands faster than songs load gather them here between two turns of the event
// loop, each in a burst of its own that adds what only it has: the playback service's calls
// (TransportBurst, with its play requests) and the media keys (MediaKeyBurst, with its winds).
//
// - next() and previous() are kept in the order asked (moves()), a run of n nexts as n and of
//   n previouses as -n, as PlayState::skip() takes them: what plays moves as far as they take
//   it, and only where it lands loads, at once.
// - Of play(), pause() and stop() the last one holds (hold()). A toggle() after one of them is
//   the other way (a play after a pause or a stop, a pause after a play); two toggles with none
//   of them before leave what plays as it is, and one toggles what the burst found.
// - carryOut() carries out the skips first and the hold after them, whichever came first: the
//   hold is the state the burst ends in, on the song the skips land on. Carried out before
//   them it would be undone by a skip that starts what it lands on (the next entry of a
//   playlist file plays) or that loads it paused (a previous that restarts a stopped song).
// - A command that does not commute with the skips is never folded into a burst: a seek acts
//   on the song that plays when it comes, a shuffle changes where the skips after it land. The
//   input that takes one carries out the burst gathered before it, then the command, and
//   gathers what comes after it in a new burst. The media keys' winds go so: a wind that an
//   earlier burst started ends before the skips, and one still held at the end starts after
//   the hold, as any other key ends a wind.
class TransportSteps
{
public:
    enum class Hold { None, Toggle, Play, Pause, Stop };

    void next();
    void previous();
    void toggle();
    void play();
    // Pauses, or stops what cannot pause.
    void pause();
    void stop();
    // The skips go: what they would move is replaced.
    void dropMoves();
    // The hold goes: it was asked of what is replaced.
    void dropHold();

    const QVector<int>& moves() const;
    Hold hold() const;

    // Carries the burst out on hub: the skips, then replace (what the input puts in place of
    // what plays: the playback service's newest play request), then the hold, a toggle going
    // by the state the burst found. keepHold: the input keeps the hold (returns true) for what
    // it has on its way, instead of having it act on what plays now. Returns the hold that
    // acted on the hub, a toggle told as the play or pause it came to; None when there was
    // none or it was kept.
    Hold carryOut(PlayState& hub, const std::function<void()>& replace = {},
                  const std::function<bool(Hold)>& keepHold = {}) const;
    // A play, pause or stop acts on what is live.
    static void carryOutHold(PlayState& hub, Hold held);

private:
    void step(int direction);

    QVector<int> runs;
    Hold last = Hold::None;
};

#endif // TRANSPORTSTEPS_H
