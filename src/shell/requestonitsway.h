#ifndef REQUESTONITSWAY_H
#define REQUESTONITSWAY_H

#include "playback/transportsteps.h"

#include <QSharedPointer>
#include <QStringList>

class QAbstractItemModel;

// The newest play request of the playback service on its way to the hub, and what waits for
// it: a plain value that the service changes only through the steps below.
//
// - Every play request the service takes gets a new serial (take()): a store's answer or a song
//   model that came for an older serial is dropped. The list of the newest play call is kept
//   (keepList()), with whether it came as a temporary file: when the library is not read yet,
//   a library song's request waits for it (Stage::WaitingForLibrary), and once it is read that
//   list is played again.
// - Carried out (start()), the request replaces what was on its way, and a pause that waited
//   for that goes with it. A library song is on its way while the store is asked for it and
//   its one-song model fills (Stage::LookingUp); a file of the music folder while the hub asks
//   the store for it (Stage::FindingFile: one the store does not hold yet is lost, and plays
//   once the indexer adds it, as asked alone); a stream or playlist file handed to the hub is
//   on its way until it plays (Stage::StreamStarting).
// - A play, pause or stop asked while a request is on its way waits for it (hold()), the last
//   one asked holding, of whatever kind. The request then arrives (arrived(), which tells what
//   waits for it) or is lost (lost(), which tells it too: it acts on what is live instead),
//   and nothing is on its way any more.
// - Apart from the stages: whether the stream handed to the hub last has played since. Until
//   it has, it is not what plays, and one that fails on its way never becomes it: what it
//   replaced is live again (replacedCameBack()).
// - A question for the media asked while a library song is looked up waits for it
//   (holdMediaQuestion()): it is answered once the song arrives or is lost, or by a newer
//   request that is not looked up.
// - A pause or resume handed to the hub reaches its renderer a moment later: the state it
//   leads to is told as reached (handOver()) until the hub reports again (a state, a song, a
//   start) or a newer request is carried out.
class RequestOnItsWay
{
public:
    enum class Stage { None, WaitingForLibrary, LookingUp, FindingFile, StreamStarting };

    // A play call's list that passed the first checks, and whether it came as a temporary file.
    void keepList(const QStringList& list, bool temporary);
    // The list of the newest play call, played again once the library is read.
    QStringList listToReplay() const { return list; }
    bool replaysAsTemporary() const { return temporary; }
    // A play request is taken: its serial.
    quint64 take() { return ++taken; }
    quint64 serial() const { return taken; }

    // The newest request is carried out and goes through the given stage.
    void start(Stage stage);
    Stage stage() const { return now; }
    // A pause can wait only for a request on its way: a song looked up, a file of the library
    // asked for, a stream not playing yet.
    bool isOnItsWay() const { return isAskingTheLibrary() || now == Stage::StreamStarting; }
    // The request waits for the store's answer: it is not known yet whether it will play.
    bool isAskingTheLibrary() const
    {
        return now == Stage::LookingUp || now == Stage::FindingFile;
    }
    void hold(TransportSteps::Hold kind);
    TransportSteps::Hold held() const { return waiting; }
    // The request plays: the play, pause or stop that waited for it (None when none did).
    TransportSteps::Hold arrived();
    // The request never will: what waited for it.
    TransportSteps::Hold lost();
    // A stream asked for failed, and what it replaced is live again: a stream that is live
    // again is one that has played, and unless a newer request is on its way (a song looked
    // up), nothing is.
    void replacedCameBack();

    // The library song's model, for the newest request; only a model of the newest request
    // may start.
    void setModel(const QSharedPointer<QAbstractItemModel>& songModel);
    QSharedPointer<QAbstractItemModel> model() const { return songModel; }
    bool modelIsNewest() const { return songModel && modelSerial == taken; }

    // The stream handed to the hub last has played (or paused): true when this is news.
    bool streamPlays();
    bool streamHasPlayed() const { return streamPlayed; }

    void holdMediaQuestion() { mediaAsked = true; }
    // Whether a question for the media waited; it does not any more.
    bool takeMediaQuestion();

    // The bus state a pause or resume just handed to the hub leads to; -1 for none.
    void handOver(int state) { handedOver = state; }
    void hubReported() { handedOver = -1; }
    int stateHandedOver() const { return handedOver; }

private:
    quint64 taken = 0;
    QStringList list;
    bool temporary = false;
    Stage now = Stage::None;
    TransportSteps::Hold waiting = TransportSteps::Hold::None;
    QSharedPointer<QAbstractItemModel> songModel;
    quint64 modelSerial = 0;
    bool streamPlayed = true;
    bool mediaAsked = false;
    int handedOver = -1;
};

#endif // REQUESTONITSWAY_H
