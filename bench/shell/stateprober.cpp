#include "stateprober.h"

#include "flood.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <utility>

StateProber::StateProber(Flood& flooder, int intervalMs, int timeoutMs,
                         std::function<void(const Answer&)> seen)
    : flooder(flooder)
    , intervalMs(intervalMs)
    , timeoutMs(timeoutMs)
    , seen(std::move(seen))
{
}

void StateProber::run()
{
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                               QStringLiteral("prober"));
    const QDBusMessage question = QDBusMessage::createMethodCall(
        QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService"), QStringLiteral("/"),
        QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface"),
        QStringLiteral("playbackState"));
    for (;;) {
        const qint64 ended = flooder.endedAtMs;
        const qint64 askedAt = flooder.clock.elapsed();
        const qint64 callsSent = flooder.sent;
        const QDBusMessage reply = connection.call(question, QDBus::Block, timeoutMs);
        const qint64 answeredAt = flooder.clock.elapsed();
        const bool answered = reply.type() == QDBusMessage::ReplyMessage;
        if (seen)
            seen({ askedAt, answeredAt - askedAt, callsSent, ended >= 0, answered,
                   answered ? reply.arguments().value(0).toInt() : -1 });
        if (!answered)
            ++unanswered;
        if (ended >= 0) {
            answerAfterEndMs = answered ? double(answeredAt - ended) : double(timeoutMs);
            return;
        }
        longestDuringMs = qMax(longestDuringMs, double(answeredAt - askedAt));
        QThread::msleep(intervalMs);
    }
}
