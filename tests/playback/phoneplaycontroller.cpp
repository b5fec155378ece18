#include "phoneplaycontroller.h"

#include "mafwerror.h"
#include "mafwplaylist.h"
#include "zelmetadatahandler.h"
#include "zelplaycontrols.h"

PhonePlayController::PhonePlayController(QObject* parent)
    : ZelPlayController(parent)
    , real(ZelPlayControls::instance())
{
    using C = ZelPlayController;
    connect(real, &C::stateChanged, this, &C::stateChanged);
    connect(real, &C::playlistChanged, this, &C::playlistChanged);
    connect(real, &C::playlistContentsChanged, this, &C::playlistContentsChanged);
    connect(real, &C::mediaChanged, this, &C::mediaChanged);
    connect(real, &C::metadataChanged, this, &C::metadataChanged);
    connect(real, &C::positionChanged, this, &C::positionChanged);
    connect(real, &C::bufferingChanged, this, &C::bufferingChanged);
    connect(real, &C::callActivated, this, &C::callActivated);
    connect(real, &C::playbackCompleted, this, &C::playbackCompleted);
    connect(real, &C::error, this, &C::error);
    connect(real, &C::contentTypeChanged, this, &C::contentTypeChanged);
    connect(real, &C::playbackAboutToStart, this, &C::playbackAboutToStart);
    connect(real, &C::aboutToPlayRadioStream, this, &C::aboutToPlayRadioStream);
    connect(real, &C::rendererLost, this, &C::rendererLost);
    connect(real, &C::audioResourcesAvailable, this, &C::audioResourcesAvailable);
}

PhonePlayController::~PhonePlayController() = default;

void PhonePlayController::setCallActive(bool active)
{
    callActive = active;
    if (active)
        real->pause();
    emit callActivated(active);
}

void PhonePlayController::setAudioResourcesAvailable(bool available)
{
    if (!available)
        real->pause();
    emit audioResourcesAvailable(available);
}

void PhonePlayController::raiseError(int code, const QString& message)
{
    if (code != MafwError::SeekRefused)
        real->stop();
    emit error(MafwError(code, message));
}

void PhonePlayController::init()
{
    real->init();
}
void PhonePlayController::setPlaylist(const QString& id, bool replace)
{
    real->setPlaylist(id, replace);
}
MafwPlaylist* PhonePlayController::playlist() const
{
    return real->playlist();
}
void PhonePlayController::setPlaylistIndex(int row)
{
    real->setPlaylistIndex(row);
}
void PhonePlayController::play(uint row)
{
    real->play(row);
}
void PhonePlayController::play(const QUrl& url)
{
    real->play(url);
}
void PhonePlayController::playPlaylist(const QUrl& url, const QString& mimeType)
{
    real->playPlaylist(url, mimeType);
}
bool PhonePlayController::playEntry(int step)
{
    return real->playEntry(step);
}
bool PhonePlayController::hasEntry(int step) const
{
    return real->hasEntry(step);
}
bool PhonePlayController::continueAsRow(int row)
{
    return real->continueAsRow(row);
}
void PhonePlayController::pause()
{
    real->pause();
}
void PhonePlayController::resume()
{
    real->resume();
}
void PhonePlayController::stop()
{
    real->stop();
}
void PhonePlayController::pauseAt(uint seconds)
{
    real->pauseAt(seconds);
}
void PhonePlayController::setPosition(uint seconds)
{
    real->setPosition(seconds);
}
uint PhonePlayController::position() const
{
    return real->position();
}
void PhonePlayController::setPositionUpdateInterval(uint seconds)
{
    real->setPositionUpdateInterval(seconds);
}
void PhonePlayController::setMetadataHandler(ZelMetadataHandler* handler, ContentType type)
{
    real->setMetadataHandler(handler, type);
}
ZelMetadataHandler* PhonePlayController::mutableItem() const
{
    return real->mutableItem();
}
MafwRenderer::State PhonePlayController::state() const
{
    return real->state();
}
ZelPlayController::ContentType PhonePlayController::contentType() const
{
    return real->contentType();
}
bool PhonePlayController::isCallActive() const
{
    return callActive || real->isCallActive();
}
