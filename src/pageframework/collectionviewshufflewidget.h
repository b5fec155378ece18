#ifndef COLLECTIONVIEWSHUFFLEWIDGET_H
#define COLLECTIONVIEWSHUFFLEWIDGET_H

#include "mlistitem.h"

#include <QSharedPointer>
#include <QString>

class MLayout;
class MLinearLayoutPolicy;
class QAbstractItemModel;

// The shuffle row above a list. It watches the list's model and hides itself while there is
// nothing to shuffle: fewer rows than the minimum, or only audiobooks and podcasts. Hidden, it
// stays in its layout as an empty spacer so that the list below does not move, unless it is
// told to take no room then (a panel over the songs of one item).
class CollectionViewShuffleWidget : public MListItem
{
    Q_OBJECT

public:
    // mainPageStyle: the drill-down row of the song pages instead of an icon-and-title row.
    CollectionViewShuffleWidget(bool mainPageStyle, QGraphicsItem* parent);
    ~CollectionViewShuffleWidget() override;

    void setVisibleStyleName(const QString& styleName);
    // Hidden, the row leaves no empty band in its layout.
    void setTakesNoRoomWhenHidden(bool noRoom);
    // Watches the model's rows; fewer than minimumRowCount hide the row.
    void setModel(QSharedPointer<QAbstractItemModel> model, int minimumRowCount);

    bool isShown() const;
    MListItem* rowItem() const { return item; }

signals:
    void shuffleClicked();

public slots:
    void setShuffleButtonVisibility(bool visible);

private slots:
    void handleModelRowCountChanged();

private:
    bool shuffleWanted() const;

    MLayout* layout;
    MLinearLayoutPolicy* shownPolicy;
    MLinearLayoutPolicy* hiddenPolicy;
    MListItem* item = nullptr;
    QString shownStyleName;
    QString hiddenStyleName;
    QSharedPointer<QAbstractItemModel> model;
    int minimumRowCount = 0;
    bool noRoomWhenHidden = false;
};

#endif // COLLECTIONVIEWSHUFFLEWIDGET_H
