#ifndef ERRORRECOVERY_H
#define ERRORRECOVERY_H

#include "mafwerror.h"
#include "mafwrenderer.h"
#include "playback/replaceditem.h"

#include <QObject>

class ErrorMessage;
class RecoveryHost;

// The playback hub's handling of the play controller's errors, and of play requests that fail.
//
// An error shows its banner (PlaybackErrorPolicy) and may arm a resume for when the banner has
// gone: the song after one that failed, the stream again after the network came back. One
// banner, one resume; a request for something new drops a resume armed before it, and a skip
// takes its place (the song it lands on plays, if the error stopped playback).
//
// A stream or a playlist file asked for replaces what is live: that is held (hold()) until the
// request's item plays. Should the request fail first, what it replaced comes back at its place
// (a playlist file at its entry) and in its state, or in the state the user asked for while the
// request was on its way (askFor()), in one call of the hub (RecoveryHost::putBack()), and
// nothing resumes once the banner has gone. A sheet that showed what came back stays; one opened
// for the request goes with the banner, unless a newer request shows in it by then.
//
// What comes back stays held until it is where it was (it plays again, or it is paused again):
// a request that comes meanwhile, and fails, finds it as the user had it, not on its way back.
// So any number of failures, at whatever spacing, put back the same item. The hold ends when an
// item plays, when what came back is paused as it was, when the hub pauses or stops what is
// live while it comes back (settle()), when what came back fails itself (it cannot come back),
// and when something else is started or the sheet is closed (forget()).
class ErrorRecovery : public QObject
{
    Q_OBJECT

public:
    ErrorRecovery(ErrorMessage* banner, RecoveryHost& host, QObject* parent);

    // The controller reports an error.
    void handle(const MafwError& error);
    // The banner of an error has gone: what it armed.
    void resumeAfterBanner();
    // The renderer is gone for good: the user is told, and the program ends once the banner has
    // gone (exitAfterBanner()), with exit code 1.
    void rendererLost();
    void exitAfterBanner();

    // A request for something new: the resume an earlier error armed is dropped.
    void dropResume();
    // A skip replaces the resume the banner would set off.
    void skipped();
    // A skip has moved the controller: true, once, when an error had stopped playback and the
    // song it landed on should play.
    bool takeResumeOnMove(MafwRenderer::State renderer);

    // A stream asked for replaces what is live, found: it is held, unless a request on its way,
    // or what a failed one put back, is held already.
    void hold(const ReplacedItem& found);
    // The user asks for a state while a request is on its way: should the request fail, what
    // it replaced comes back in that state (a pause is not undone by the failure).
    void askFor(PlaybackEnums::State state);
    // Nothing that a request replaced comes back any more.
    void forget();
    // The renderer reached state.
    void rendererReached(MafwRenderer::State state);
    // The hub paused or stopped what is live: what was on its way back is as it stands now.
    void settle();

private slots:
    void closeSheetOfFailedRequest();

private:
    enum class Held { Nothing, Request, Restore };

    void armResume();

    ErrorMessage* banner;
    RecoveryHost& host;
    MafwError lastError;
    bool resumeAfterError = false;
    Held held = Held::Nothing;
    ReplacedItem replaced;
};

#endif // ERRORRECOVERY_H
