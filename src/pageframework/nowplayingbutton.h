#ifndef NOWPLAYINGBUTTON_H
#define NOWPLAYINGBUTTON_H

#include "mwidgetaction.h"

class MButton;

// The toolbar action of the library pages that opens the player: a button with the title of
// the music queue's current song and an icon of the playback state. It tells its page, by
// visibilityChanged(), whether it should show: while the queue has songs and playback has
// not completed.
class NowPlayingButton : public MWidgetAction
{
    Q_OBJECT

public:
    explicit NowPlayingButton(QObject* parent);
    ~NowPlayingButton() override;

    bool isButtonVisible() const { return buttonVisible; }
    MButton* playerButton() const { return button; }

signals:
    void visibilityChanged();

private slots:
    void handlePlaybackStateChange();
    void handlePlaybackCompleted();
    void setButtonText();
    void handleSongCountChange(int count);

private:
    void setButtonVisible(bool visible);

    bool buttonVisible = false;
    MButton* button;
};

#endif // NOWPLAYINGBUTTON_H
