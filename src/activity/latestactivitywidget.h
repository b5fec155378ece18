#ifndef LATESTACTIVITYWIDGET_H
#define LATESTACTIVITYWIDGET_H

#include "activity.h"
#include "albumart/albumarttype.h"
#include "common/parlovance.h"
#include "latestactivitywidgetstyle.h"

#include "mafwtrackermodel.h"
#include "mstylablewidget.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtLoader;
class FadeAnimation;
class MAbstractLayoutPolicy;
class MAction;
class MGridLayoutPolicy;
class MLabel;
class MLayout;
class MLinearLayoutPolicy;
class MObjectMenu;
class NowPlayingLabel;
class QSignalMapper;
class ZelOverlayLabel;

// The grid of latest activities on the main page: up to nine tiles, each the cover of an album
// or artist or the collage of all songs or a playlist, and in the two now-playing layouts a
// larger now-playing label in the top left corner. A device without music shows one text
// instead. Which layout shows is the controller's main-page state.
//
// A tap on a tile asks for its activity to be played again (the page that plays it records it,
// once it plays), a tap on the now-playing label opens the player, and a long tap on a tile
// offers to queue the activity or to delete its content from the library. The menu acts on the
// activity that was long-tapped, whatever the grid shows meanwhile.
//
// Every change of layout or contents fades the grid out, rearranges and refills it, and fades
// it in again. Covers are asked for anew at each refill; an answer to an earlier refill paints
// nothing.
//
// The grid, the now-playing label with it, follows the list and the playback state while its
// page is on the display, and stops when the display is left.
class LatestActivityWidget : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(LatestActivityWidgetStyle)

public:
    // The animation states of the fade.
    enum AnimationState { FadingOut = 0, Rearranging = 1, FadingIn = 2, Idle = 3 };

    explicit LatestActivityWidget(QGraphicsItem* parent);
    ~LatestActivityWidget() override;

    // What the grid is made of: the tiles in list order, the label, the fade's state, the menu.
    QList<ZelOverlayLabel*> tiles() const;
    NowPlayingLabel* nowPlayingLabel() const;
    MLabel* emptyDeviceLabel() const;
    int animationState() const;
    MObjectMenu* objectMenu() const;

public slots:
    void handleDisplayEntered();
    void handleMainPageAppearing();
    void resolveDeviceEmptyFinishedSlot();

signals:
    void goToPage(Parlovance::ParlovancePages page, QVariant optionalParameter);
    void goToPage(Parlovance::ParlovancePages page);
    void goingToPlayerView();
    void activityLabelsReady();
    void playLatestActivity(Activity activity);
    void queueLatestActivity(Activity activity);
    void updateAnimationDone();
    void deleteFromLibrary(MafwTrackerModel::QueryType type, int trackerId, QString name);

private slots:
    void handleAlbumArtReady(QPixmap art, QVariant label);
    void delayedConstruction();
    void createEmptyDevicePolicy();
    void createNowPlayingPolicies();
    void clearActivityLabel(int index);
    void updateActivityLabels();
    void handleActivityLabelClick(int index);
    void handleActivityLabelLongTap(int index);
    void handleDisplayExit();
    void connectActivityUpdateSignals();
    void disconnectActivityUpdateSignals();
    void switchLayoutPolicy();
    MAbstractLayoutPolicy* selectLayoutPolicy();
    void openPlayerView();
    void initAnimatedUpdate();
    void handleFadeAnimationFinished();
    void resetSkippingNextDisplayEnteredSignalValue();
    void handleQueueActionTrigger();
    void handleDeleteActionTrigger();

private:
    void updateActivityLabel(int index, const Activity& activity);
    // Asks for the cover of an album or artist tile; the answer names the tile and the refill.
    void requestCover(int index, const QString& album, const QString& artist,
                      AlbumArtType::ArtType type);
    void createTiles();
    void followPlayback(bool on);

    QList<Activity> shownActivities;
    qreal spacing = 6;
    MLayout* layout = nullptr;
    MLinearLayoutPolicy* emptyDevicePolicy = nullptr;
    MGridLayoutPolicy* fullGridPolicy = nullptr;
    MGridLayoutPolicy* nowPlayingPolicyA = nullptr;
    MGridLayoutPolicy* nowPlayingPolicyB = nullptr;
    QSignalMapper* clickMapper = nullptr;
    QSignalMapper* longTapMapper = nullptr;
    MLabel* emptyLabel = nullptr;
    NowPlayingLabel* nowPlaying = nullptr;
    QList<ZelOverlayLabel*> tileLabels;
    AlbumArtLoader* artLoader;
    QString collageDirectory;
    int answeredArtCount = 0;
    // Numbers the refills of the tiles; cover requests carry it.
    int refill = 0;
    bool constructed = false;
    bool displayEnteredPending = false;
    bool skipNextDisplayEntered = false;
    FadeAnimation* fade = nullptr;
    int state = Idle;
    int skipInterval = 1000;
    MObjectMenu* menu = nullptr;
    // The activity the menu was opened for, as it was then.
    Activity longTapped;
    bool longTapValid = false;
    MAction* deleteAction = nullptr;
};

#endif // LATESTACTIVITYWIDGET_H
