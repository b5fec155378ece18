#ifndef MTESTABILITY_H
#define MTESTABILITY_H

#include <QObject>

class QDBusConnection;

// What a test driving the program from outside reads back: the texts its windows show, with
// their places on the screen. Off unless PARLOVANCE_TESTABILITY=1 is in the environment; then
// it is exported at "/testability" on the application service's bus connection.
class MTestability : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vaspe.Testability")

public:
    explicit MTestability(QObject* parent = nullptr);

    // Exports a new instance on the connection when the environment asks for it.
    static void exportOn(QDBusConnection& connection, QObject* parent);

public slots:
    // A JSON array, one object per text of every shown window, in painting order:
    // {"text", "x", "y", "width", "height"} in screen pixels.
    QString visibleTexts() const;
};

#endif // MTESTABILITY_H
