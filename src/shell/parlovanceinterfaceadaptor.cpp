#include "parlovanceinterfaceadaptor.h"

#include "parlovanceservice.h"

#include <QMetaObject>

ParlovanceInterfaceAdaptor::ParlovanceInterfaceAdaptor(ParlovanceService* parent)
    : QDBusAbstractAdaptor(parent)
{
    setObjectName(QStringLiteral("ParlovanceInterfaceAdaptor"));
    setAutoRelaySignals(true);
}

ParlovanceInterfaceAdaptor::~ParlovanceInterfaceAdaptor() = default;

void ParlovanceInterfaceAdaptor::currentMedia()
{
    QMetaObject::invokeMethod(parent(), "currentMedia");
}

void ParlovanceInterfaceAdaptor::next()
{
    QMetaObject::invokeMethod(parent(), "next");
}

void ParlovanceInterfaceAdaptor::openUlkMusicLink(QStringList link)
{
    // Accepted so that callers get their reply; the player opens no such links.
    Q_UNUSED(link)
}

void ParlovanceInterfaceAdaptor::pausePlayback()
{
    QMetaObject::invokeMethod(parent(), "pausePlayback");
}

void ParlovanceInterfaceAdaptor::play(QStringList uriList)
{
    QMetaObject::invokeMethod(parent(), "play", Q_ARG(QStringList, uriList));
}

void ParlovanceInterfaceAdaptor::playPlaylist(QStringList uriList)
{
    QMetaObject::invokeMethod(parent(), "playPlaylist", Q_ARG(QStringList, uriList));
}

void ParlovanceInterfaceAdaptor::playTempFile(QStringList uriList)
{
    QMetaObject::invokeMethod(parent(), "playTempFile", Q_ARG(QStringList, uriList));
}

int ParlovanceInterfaceAdaptor::playbackState()
{
    int state = 0;
    QMetaObject::invokeMethod(parent(), "playbackState", Q_RETURN_ARG(int, state));
    return state;
}

void ParlovanceInterfaceAdaptor::previous()
{
    QMetaObject::invokeMethod(parent(), "previous");
}

void ParlovanceInterfaceAdaptor::resumePlayback()
{
    QMetaObject::invokeMethod(parent(), "resumePlayback");
}
