#ifndef NOWPLAYINGPAGE_H
#define NOWPLAYINGPAGE_H

#include "pageframework/quintaveilpage.h"

#include <QPixmap>
#include <QString>
#include <QVariant>

class AlbumArtGenerator;
class AlbumArtLoader;
class AlbumArtWidget;
class MAction;
class MBasicListItem;
class MWidgetAction;
class MainWindow;
class NavigationBarWidget;
class NowPlayingWidget;
class PlayState;
class PlayerControlsWidget;
class PlayerInfoArea;
class QTimer;

// The player: the cover (swipe for the next or previous song, tap for the play queue), the
// song's information (tap for its details), the transport controls and a navigation bar with
// back or music, favourite, shuffle, repeat and a view menu (play the whole album, set as
// ringtone). It shows the music queue of the playback hub and leaves when the queue ends.
class NowPlayingPage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit NowPlayingPage(MainWindow* window);
    ~NowPlayingPage() override;

    // For tests.
    AlbumArtWidget* albumArt() const { return albumArtWidget; }
    NowPlayingWidget* information() const { return nowPlayingWidget; }
    PlayerControlsWidget* controls() const { return playerControls; }
    NavigationBarWidget* navigation() const { return navigationBar; }
    PlayerInfoArea* infoArea() const { return playerInfoArea; }
    MWidgetAction* playAlbumMenuAction() const { return playAlbumAction; }
    MAction* ringtoneMenuAction() const { return ringtoneAction; }

public slots:
    void passParameterToPage(QVariant parameter) override;
    void finishPageCreation(ObjectMenuType type) override;

protected:
    void createContent() override;

private slots:
    void favoriteActionTriggered();
    void favoriteStateSlot(QString uri, bool isFavorite);
    void shuffleActionTriggered(bool state);
    void repeatActionTriggered(bool state);
    void playAlbum();
    void setAsRingtoneSlot();
    void changeAlbumArt(QPixmap pixmap, QVariant data);
    void changeAlbumArt(QPixmap pixmap);
    void updateAlbumArt();
    void goToSongDetailsView();
    void goToMainView();
    void goToPreviousPage();
    void disconnectUpdateSignals();
    void updateView();
    void connectSignals();
    void connectUpdateSignals();
    void handleSongChange(QString title, QString album, QString artist, int songIndex,
                          bool previous);
    void handleAppearing();
    void handleDisplayEntered();
    void addActions();
    void handleSwipeGestures(int swipeAction);
    void next();
    void previous();
    void handleTapGestures();
    void handleSongCountChange(int newSongCount);
    void playbackCompletedSlot();

private:
    void connectNavigationBar();
    void updateShuffleButton();
    void updateRepeatButton();
    void updatePlayAlbumAction();
    bool isCurrentPage() const;
    bool knowsCurrentSong() const;

    PlayState* playState;
    MainWindow* mainWindow;
    AlbumArtWidget* albumArtWidget = nullptr;
    PlayerControlsWidget* playerControls = nullptr;
    NowPlayingWidget* nowPlayingWidget = nullptr;
    PlayerInfoArea* playerInfoArea = nullptr;
    AlbumArtLoader* albumArtLoader = nullptr;
    AlbumArtGenerator* albumArtGenerator = nullptr;
    MWidgetAction* playAlbumAction = nullptr;
    MBasicListItem* playAlbumItem = nullptr;
    MAction* ringtoneAction = nullptr;
    NavigationBarWidget* navigationBar = nullptr;
    QString playAlbumText;
    QTimer* actionsTimer = nullptr;
    QString currentTitle;
    QString currentAlbum;
    QString currentArtist;
    int currentSongIndex = -1;
    qint64 albumArtKey = 0;
    bool albumArtShown = false;
    bool forceArtUpdate = false;
    bool skipTransition = false;
    bool parameterPending = false;
    QVariant pendingParameter;
};

#endif // NOWPLAYINGPAGE_H
