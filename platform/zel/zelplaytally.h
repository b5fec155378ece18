#ifndef ZELPLAYTALLY_H
#define ZELPLAYTALLY_H

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// When the item that is loaded has been heard long enough to count as played: once it has
// sounded for half its length or for HeardMs, whichever is shorter. Only the time it sounds
// counts: a pause, a stop or the load of the next item holds the tally, and a seek moves
// nothing in it, so a song passed in a moment, or skipped through by seeking, is never
// counted, whatever moved past it. heard() comes once per item.
class ZelPlayTally : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 HeardMs = 30000;

    explicit ZelPlayTally(QObject* parent = nullptr);

    // Another item is loaded: nothing of it has been heard.
    void restart();
    // The item sounds from now on (true) or no longer (false).
    void setSounding(bool sounding);
    // The item's length, once known; < 0 while unknown (HeardMs holds then).
    void setLengthMs(qint64 ms);
    // It has been heard long enough, told or not.
    bool isHeard() const;
    // Takes the time heard up to now into account at once, rather than when the timer comes
    // round (the item has just ended).
    void check();

signals:
    void heard();

private:
    qint64 neededMs() const;
    qint64 heardMs() const;
    void plan();

    QTimer* timer;
    QElapsedTimer since;
    qint64 heardBefore = 0;
    qint64 lengthMs = -1;
    bool sounding = false;
    bool told = false;
};

#endif // ZELPLAYTALLY_H
