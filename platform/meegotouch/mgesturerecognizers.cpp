#include "mgesturerecognizers.h"

#include "mpanrecognizer.h"
#include "mswiperecognizer.h"
#include "mtapandholdrecognizer.h"
#include "mtaprecognizer.h"

#include <QApplication>
#include <QWidget>

void MGestureRecognizers::ensureRegistered()
{
    static bool registered = false;
    if (registered || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    registered = true;
    {
        // Makes Qt set up its gesture handling (and its own recognisers) now, so that taking
        // them out below is not undone later.
        QWidget probe;
        probe.grabGesture(Qt::TapGesture);
    }
    for (Qt::GestureType type :
         { Qt::TapGesture, Qt::TapAndHoldGesture, Qt::PanGesture, Qt::SwipeGesture })
        QGestureRecognizer::unregisterRecognizer(type);
    QGestureRecognizer::registerRecognizer(new MTapRecognizer);
    QGestureRecognizer::registerRecognizer(new MTapAndHoldRecognizer);
    QGestureRecognizer::registerRecognizer(new MPanRecognizer);
    QGestureRecognizer::registerRecognizer(new MSwipeRecognizer);
}
