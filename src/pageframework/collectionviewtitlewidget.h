#ifndef COLLECTIONVIEWTITLEWIDGET_H
#define COLLECTIONVIEWTITLEWIDGET_H

#include "mwidgetcontroller.h"

class MLabel;
class MSeparator;

// The title header of a library page: up to two lines of title and, optionally, a divider
// below them.
class CollectionViewTitleWidget : public MWidgetController
{
    Q_OBJECT

public:
    CollectionViewTitleWidget(bool withSeparator, QGraphicsItem* parent);
    ~CollectionViewTitleWidget() override;

    QString text() const;
    void setText(const QString& text);

    // The title on as many lines as it takes, nothing elided: for the one page where a title
    // too long for a list row must still be read whole.
    void showWholeText();

    MLabel* label() const { return titleLabel; }
    MSeparator* separator() const { return divider; }

private:
    MLabel* titleLabel;
    MSeparator* divider = nullptr;
};

#endif // COLLECTIONVIEWTITLEWIDGET_H
