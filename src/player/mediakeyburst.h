#ifndef MEDIAKEYBURST_H
#define MEDIAKEYBURST_H

#include "playback/transportsteps.h"

// The playback commands of the media keys pressed since the key handler last carried them out,
// in the order they came, reduced to where they land. A keyboard, or a program typing on it,
// may send keys far faster than a song loads; the key handler carries out a whole burst as one
// change, once per turn of the event loop, as the playback service does with its calls. Keys
// pressed by hand come one to a turn, and are carried out as they come.
//
// - The skips and the last play, pause, stop or toggle are the burst's steps (steps()), which
//   TransportSteps reduces and carries out in the order the playback service's calls take too:
//   the skips, then the hold.
// - A wind (fast forward or rewind while its key is held) started and ended within the burst
//   has moved nothing and leaves nothing; one still held at the burst's end is started
//   (wind()) after the steps. The end of a wind that an earlier burst started is kept
//   (endsWind()), and comes before them.
class MediaKeyBurst
{
public:
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
    const TransportSteps& steps() const;
    Wind wind() const;
    bool endsWind() const;

private:
    TransportSteps commands;
    Wind winding = Wind::None;
    bool windRunsBefore;
    bool windEnded = false;
    bool empty = true;
};

#endif // MEDIAKEYBURST_H
