#pragma once

#include <QElapsedTimer>
#include <QThread>

#include <atomic>

// Another program flooding the player, on a thread of its own, as a prober of the player's
// answers reads it: what it has sent so far and when it ended, on a clock that whoever starts
// the flood starts, so that the prober reads the same time.
class Flood : public QThread
{
public:
    std::atomic<qint64> endedAtMs { -1 };
    std::atomic<qint64> sent { 0 };
    QElapsedTimer clock;
};
