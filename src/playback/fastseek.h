#ifndef FASTSEEK_H
#define FASTSEEK_H

#include <QElapsedTimer>
#include <QObject>

class QTimer;
struct PlayItem;

// Rewinding and fast forwarding while a transport button is held: the live item's position
// moves one second a tick, and the controller is sent there once per step. At either end of
// the song the seek stops and says so.
class FastSeek : public QObject
{
    Q_OBJECT

public:
    FastSeek(PlayItem& live, QObject* parent);

    // A seek that runs already only changes its direction.
    void start(bool backwards, int stepMs);
    void stop();
    bool isActive() const;
    bool boundReached() const;
    void clearBoundReached();

    // One tick: the position moves one second.
    void step();

signals:
    void positionChanged(uint position);
    // The controller should play from here.
    void seekTo(uint position);
    // The seek stopped at the start (backwards) or the end of the song.
    void reachedBound(bool backwards);

private:
    PlayItem& live;
    QTimer* timer;
    QElapsedTimer sinceSeek;
    int stepMs = 1000;
    bool backwards = false;
    bool m_boundReached = false;
};

#endif // FASTSEEK_H
