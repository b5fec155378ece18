#ifndef FASTSEEK_H
#define FASTSEEK_H

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// Rewinding and fast forwarding while a transport button is held: from the position it starts
// at, the seek moves one second a tick and tells each new position; the controller is sent
// there once per step. At either end of the song the seek stops and says so.
class FastSeek : public QObject
{
    Q_OBJECT

public:
    explicit FastSeek(QObject* parent);

    // Starts at position (seconds) of a song of duration seconds. A seek that runs already
    // only changes its direction and goes on from where it is.
    void start(bool backwards, int stepMs, uint position, int duration);
    void stop();
    bool isActive() const;
    bool boundReached() const;
    void clearBoundReached();

    // One tick: the position moves one second.
    void step();

signals:
    // The position the seek has got to; the hub's live item takes it.
    void positionChanged(uint position);
    // The controller should play from here.
    void seekTo(uint position);
    // The seek stopped at the start (backwards) or the end of the song.
    void reachedBound(bool backwards);

private:
    QTimer* timer;
    QElapsedTimer sinceSeek;
    uint position = 0;
    int duration = 0;
    int stepMs = 1000;
    bool backwards = false;
    bool m_boundReached = false;
};

#endif // FASTSEEK_H
