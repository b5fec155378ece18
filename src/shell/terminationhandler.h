#ifndef TERMINATIONHANDLER_H
#define TERMINATIONHANDLER_H

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into the ordinary way out: every window is closed and the event
// loop ends, so the program shuts down in its usual order instead of dying on the spot.
class TerminationHandler : public QObject
{
    Q_OBJECT

public:
    explicit TerminationHandler(QObject* parent = nullptr);
    ~TerminationHandler() override;

private slots:
    void handleSignal();

private:
    static void signalHandler(int signalNumber);

    QSocketNotifier* notifier = nullptr;
};

#endif // TERMINATIONHANDLER_H
