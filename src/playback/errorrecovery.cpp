#include "errorrecovery.h"

#include "common/logging.h"
#include "playback/playbackerrorpolicy.h"
#include "playback/recoveryhost.h"
#include "shell/errormessage.h"

#include <QCoreApplication>

ErrorRecovery::ErrorRecovery(ErrorMessage* banner, RecoveryHost& host, QObject* parent)
    : QObject(parent)
    , banner(banner)
    , host(host)
{
}

void ErrorRecovery::handle(const MafwError& error)
{
    lastError = error;
    resumeAfterError = true;
    if (error.code() == MafwError::NoError) {
        if (host.rendererState() == MafwRenderer::Invalid)
            host.followRenderer(MafwRenderer::Stopped);
        armResume();
        return;
    }
    qCDebug(lcPlayback) << "void PlayState::errorSlot(const MafwError&)"
                        << "-" << error.code() << ":" << error.message();
    if (PlaybackErrorPolicy::isSilent(error.code()))
        return;
    const int code = PlaybackErrorPolicy::banner(error.code(), host.liveContent());
    resumeAfterError = PlaybackErrorPolicy::resumesAfter(error.code(), host.liveContent(),
                                                         host.isCallActive(), host.isAudioFree());
    if (error.code() == MafwError::NetworkDown)
        host.ignoreNextCompletion();
    if (code >= 0)
        banner->show(code);
    host.followRenderer(host.controllerState());
    const bool stopped = host.rendererState() == MafwRenderer::Stopped;
    if (held == Held::Request && stopped && host.liveMode() == PlaybackEnums::RadioMode) {
        // The request failed before its item played.
        resumeAfterError = false;
        const ReplacedItem found = replaced;
        held = found.state == PlaybackEnums::Stopped ? Held::Nothing : Held::Restore;
        host.putBack(found);
        if (found.mode == PlaybackEnums::MusicMode)
            connect(banner, &ErrorMessage::disappeared, this,
                    &ErrorRecovery::closeSheetOfFailedRequest, Qt::UniqueConnection);
        return;
    }
    // What came back failed itself: it cannot come back.
    if (held == Held::Restore && stopped)
        held = Held::Nothing;
    if (resumeAfterError)
        armResume();
}

void ErrorRecovery::armResume()
{
    connect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::resumeAfterBanner,
            Qt::UniqueConnection);
}

void ErrorRecovery::resumeAfterBanner()
{
    // One banner, one resume: the next error arms its own.
    disconnect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::resumeAfterBanner);
    if (host.liveMode() == PlaybackEnums::MusicMode) {
        host.skipFailedSong();
        resumeAfterError = false;
        return;
    }
    if (host.resumeRadio(lastError.code()))
        resumeAfterError = false;
}

void ErrorRecovery::rendererLost()
{
    qCDebug(lcPlayback) << "void PlayState::rendererLostSlot()"
                        << "- Renderer is lost!";
    connect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::exitAfterBanner,
            Qt::UniqueConnection);
    banner->show(ErrorMessage::AppNotResponding);
}

void ErrorRecovery::exitAfterBanner()
{
    disconnect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::exitAfterBanner);
    QCoreApplication::exit(1);
}

void ErrorRecovery::closeSheetOfFailedRequest()
{
    disconnect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::closeSheetOfFailedRequest);
    // A stream asked for since shows in the sheet.
    if (host.liveMode() == PlaybackEnums::RadioMode)
        return;
    host.closeSheet();
}

void ErrorRecovery::dropResume()
{
    disconnect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::resumeAfterBanner);
    resumeAfterError = false;
}

void ErrorRecovery::skipped()
{
    disconnect(banner, &ErrorMessage::disappeared, this, &ErrorRecovery::resumeAfterBanner);
}

bool ErrorRecovery::takeResumeOnMove(MafwRenderer::State renderer)
{
    if (!resumeAfterError || renderer != MafwRenderer::Stopped)
        return false;
    resumeAfterError = false;
    return true;
}

void ErrorRecovery::hold(const ReplacedItem& found)
{
    // A request that replaces one on its way, or what a failed one put back, replaces what the
    // user had before the first of them.
    if (held == Held::Nothing)
        replaced = found;
    held = Held::Request;
}

void ErrorRecovery::askFor(PlaybackEnums::State state)
{
    // What came back, or an item that plays, is where the user has it: the state asked acts
    // on it at once.
    if (held == Held::Request)
        replaced.askFor(state);
}

void ErrorRecovery::forget()
{
    held = Held::Nothing;
}

void ErrorRecovery::rendererReached(MafwRenderer::State state)
{
    // An item that plays is what the user has, whichever it is; what came back paused is where
    // it was once it is paused.
    if (state == MafwRenderer::Playing
        || (state == MafwRenderer::Paused && held == Held::Restore
            && replaced.state == PlaybackEnums::Paused))
        held = Held::Nothing;
}

void ErrorRecovery::settle()
{
    if (held == Held::Restore)
        held = Held::Nothing;
}
