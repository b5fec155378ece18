#ifndef SKIPMOVES_H
#define SKIPMOVES_H

#include <QVector>

// next() and previous() asked one after the other, as PlayState::skip() takes them: in the
// order asked, a run of n nexts as n and of n previouses as -n. The playback service's calls
// and the media keys gather their steps here between two turns of the event loop.
class SkipMoves
{
public:
    void next();
    void previous();

    bool isEmpty() const { return moves.isEmpty(); }
    const QVector<int>& runs() const { return moves; }

private:
    void step(int direction);

    QVector<int> moves;
};

#endif // SKIPMOVES_H
