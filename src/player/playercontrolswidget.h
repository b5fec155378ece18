#ifndef PLAYERCONTROLSWIDGET_H
#define PLAYERCONTROLSWIDGET_H

#include "mstylablewidget.h"
#include "playercontrolswidgetstyle.h"
#include "playback/playstate.h"

class MainWindow;
class MButton;
class MGridLayoutPolicy;
class MLabel;
class MLayout;
class MProgressIndicator;
class MSeekBar;
class QGraphicsLinearLayout;
class QTimer;

// The transport bar of the player: previous, play/pause and next over a seek pane that shows a
// seek bar with the elapsed and total time, or a running progress bar while a stream connects
// or buffers. It steers one playing mode of the playback hub. A short press on previous or next
// is handed to the owner as a signal; a press held for a second seeks fast until released.
// After a loss of audio resources that is no call, the controls come back by themselves.
class PlayerControlsWidget : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(PlayerControlsWidgetStyle)

public:
    // What the seek pane shows.
    enum Bar { SeekBar = 0, DisabledSeekBar = 1, ConnectingBar = 2, BufferingBar = 3 };

    PlayerControlsWidget(MainWindow* window, QGraphicsItem* parent, int mode);
    ~PlayerControlsWidget() override;

    // Builds the widget once; the owner calls it right after construction.
    virtual void createLayout();

    // For the player's page and tests.
    MButton* previousControl() const { return previousButton; }
    MButton* playControl() const { return playButton; }
    MButton* nextControl() const { return nextButton; }
    MSeekBar* seekControl() const { return seekBar; }
    MLabel* elapsedText() const { return elapsedLabel; }
    MLabel* durationText() const { return durationLabel; }
    MProgressIndicator* progressControl() const { return progressBar; }
    MLabel* progressText() const { return progressLabel; }
    int shownBar() const { return currentBar; }

signals:
    void nextPressed();
    void previousPressed();

public slots:
    void connectUpdateSignals();
    void togglePlay();
    void handleNowPlayingPageAppearing();
    void gotoNext();
    void gotoPrevious();

protected slots:
    void pause();
    void handleStateChange(PlayState::State newState);
    void handleContentType(PlayState::ContentType newContentType);
    void startForwarding();
    void startRewinding();
    void handleNextPress();
    void handleNextRelease();
    void handlePreviousPress();
    void handlePreviousRelease();
    void handleSeekbarPress();
    void handleSeekbarRelease();
    void handleSeekbarValueChanges(int value);
    void updateBufferingStatus(bool status);
    void updatePosition(uint newPosition);
    void updateDuration(int newDuration);
    void onDisplayEntered();
    void handleDisplayEntered();
    void handleDisplayExited();
    void disconnectUpdateSignals();
    void handleCallStateChanged(bool isActive);
    void handleDurationChanged(int duration);
    void setupControls();
    void enableControls(bool enable);
    void handleEnableControlsTimeout();

protected:
    // The tree of createLayout() with the two panes' style names.
    void buildLayout(const QString& seekPaneStyle, const QString& buttonPaneStyle);

    PlayState::PlayingMode playingMode() const { return PlayState::PlayingMode(mode); }

    PlayState* playState;
    int mode;

private:
    void updatePlayButton(bool enabled);
    void setSeekAndSkipEnabled(bool enabled);
    void showBar();
    void applyBar(int bar);
    MGridLayoutPolicy* policyFor(QGraphicsWidget* container, MGridLayoutPolicy*& policy);
    void releaseSkip(bool next);

    MButton* previousButton = nullptr;
    MButton* playButton = nullptr;
    MButton* nextButton = nullptr;
    MStylableWidget* seekPane = nullptr;
    MLayout* seekLayout = nullptr;
    MGridLayoutPolicy* seekPolicy = nullptr;
    MGridLayoutPolicy* progressPolicy = nullptr;
    MStylableWidget* seekContainer = nullptr;
    MStylableWidget* progressContainer = nullptr;
    MSeekBar* seekBar = nullptr;
    MLabel* elapsedLabel = nullptr;
    MLabel* durationLabel = nullptr;
    MProgressIndicator* progressBar = nullptr;
    MLabel* progressLabel = nullptr;
    QGraphicsLinearLayout* mainLayout = nullptr;
    QTimer* longPressTimer = nullptr;
    QTimer* enableTimer = nullptr;
    bool seeking = false;
    QString connectingText;
    QString bufferingText;
    bool layoutCreated = false;
    int currentBar = DisabledSeekBar;
};

#endif // PLAYERCONTROLSWIDGET_H
