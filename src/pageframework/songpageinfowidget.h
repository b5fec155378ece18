#ifndef SONGPAGEINFOWIDGET_H
#define SONGPAGEINFOWIDGET_H

#include "mafwtrackermodel.h"
#include "mwidgetcontroller.h"

#include <QSharedPointer>

class CollageImageWidget;
class MLabel;
class MLinearLayoutPolicy;
class MStylableWidget;
class QGraphicsLinearLayout;

// The panel above a song page's list: a picture on the left and, beside it, a column of
// short facts about the list. It keeps the number of songs and their total length current as
// the page's model changes (empty while the model has no rows, never a zero) and passes a tap
// on the picture on as albumArtClicked(). What the picture shows and which other facts stand
// in the column is the subclass's matter.
class SongPageInfoWidget : public MWidgetController
{
    Q_OBJECT

public:
    explicit SongPageInfoWidget(QSharedPointer<MafwTrackerModel> model,
                                QGraphicsItem* parent = nullptr);
    ~SongPageInfoWidget() override;

    // Follows another model; a null one reads as no rows.
    virtual void setModel(QSharedPointer<MafwTrackerModel> model);

    MLabel* songCountLabel() const { return songCount; }
    MLabel* lengthLabel() const { return length; }
    CollageImageWidget* picture() const { return image; }

signals:
    void albumArtClicked();

protected slots:
    void updateLengthLabel();
    void updateSongCountLabel();

protected:
    // The songs' total length, as the rows show lengths.
    QString lengthText() const;
    int rowCount() const;

    QSharedPointer<MafwTrackerModel> model;
    MStylableWidget* container;
    MLabel* songCount;
    MLabel* length;
    MLabel* year;
    MLabel* genre;
    CollageImageWidget* image;
    QGraphicsLinearLayout* labelColumn;

private:
    void createLayout();
};

#endif // SONGPAGEINFOWIDGET_H
