#ifndef NOWPLAYINGWIDGET_H
#define NOWPLAYINGWIDGET_H

#include "mwidgetcontroller.h"

class MImageWidget;
class MLabel;
class MStylableWidget;

// The information panel of the player: the song's title with its place in the queue ("3/12")
// on the top row, artist and album beside an info icon below. It reads everything from the
// playback hub in one playing mode. A tap on a library song emits tapped() (the player opens
// the song's details); streams give no press feedback and no signal.
class NowPlayingWidget : public MWidgetController
{
    Q_OBJECT

public:
    NowPlayingWidget(QGraphicsItem* parent, int mode);
    ~NowPlayingWidget() override;

    MLabel* titleText() const { return titleLabel; }
    MLabel* songNumberText() const { return songNumberLabel; }
    MLabel* artistText() const { return artistLabel; }
    MLabel* albumText() const { return albumLabel; }
    MImageWidget* descriptionIcon() const { return infoIcon; }
    MStylableWidget* topRow() const { return topPane; }
    MStylableWidget* bottomRow() const { return bottomPane; }
    bool isTappable() const { return tappable; }

signals:
    void tapped();

public slots:
    // Builds the panel; the owner calls it right after construction.
    virtual void setup();
    void updateContent();
    void updateSongCountLabel();
    void removeGraphicsEffect();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

    // The panel's tree under the given style names.
    void build(const QString& widgetStyle, const QString& topStyle, const QString& bottomStyle);

    int mode;
    MStylableWidget* topPane = nullptr;
    MStylableWidget* bottomPane = nullptr;
    MLabel* titleLabel = nullptr;
    MLabel* songNumberLabel = nullptr;
    MLabel* artistLabel = nullptr;
    MLabel* albumLabel = nullptr;
    MImageWidget* infoIcon = nullptr;
    bool tappable = false;
};

#endif // NOWPLAYINGWIDGET_H
