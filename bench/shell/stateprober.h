#pragma once

#include <QThread>

#include <functional>

class Flood;

// A program asking the playback service for its state while a flood goes on: every intervalMs
// on a connection of its own ("prober"), each time waiting for the answer (timeoutMs at the
// most: unanswered). Once the flood is over it asks once more and stops. Each answer, or its
// absence, is told to seen() on the prober's thread.
class StateProber : public QThread
{
public:
    struct Answer
    {
        qint64 askedAtMs; // on the flooder's clock
        qint64 waitedMs;
        qint64 callsSent; // calls or events the flood had sent when asked
        bool afterTheFlood;
        bool answered;
        int state; // the answer, when answered
    };

    StateProber(Flood& flooder, int intervalMs, int timeoutMs,
                std::function<void(const Answer&)> seen = {});

    double longestDuringMs = 0;
    double answerAfterEndMs = -1; // timeoutMs when the question after the flood went unanswered
    int unanswered = 0;

protected:
    void run() override;

private:
    Flood& flooder;
    int intervalMs;
    int timeoutMs;
    std::function<void(const Answer&)> seen;
};
