#ifndef BUSCONNECTIONLIMITS_H
#define BUSCONNECTIONLIMITS_H

class QDBusConnection;
class QString;

// What a bus connection of the program takes from other programs, and how it lets go of a name.
//
// The bus library stops reading a connection while the messages it has handed on but not yet
// seen freed add up to its limit (63 MiB by default), and starts again when they are freed. Qt
// frees a call on the thread of the object that answered it, and the bus library's "start
// reading again" then reaches Qt on the wrong thread, where Qt ignores it: one call of 63 MiB
// left the connection deaf for good. Refusing such a call by size in the bus library does not
// help either: it takes an oversized message for a broken stream and drops the connection. So
// the limit is set far above the largest message the bus carries (128 MiB), the bus daemon's
// own per-connection limit bounds what waits for us, and what the calls carry is refused by
// the services once Qt has read it.
class BusConnectionLimits
{
public:
    static void apply(const QDBusConnection& connection);
    // Lets go of a bus name without waiting for the bus's answer: a bus that does not answer
    // must not hold the program's end.
    static void releaseName(const QDBusConnection& connection, const QString& name);
};

#endif // BUSCONNECTIONLIMITS_H
