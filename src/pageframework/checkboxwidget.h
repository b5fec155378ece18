#ifndef CHECKBOXWIDGET_H
#define CHECKBOXWIDGET_H

#include "mlistitem.h"

#include <QString>

class MButton;
class MLabel;

// A list row with a title and a check box; a tap anywhere on the row toggles the box. After
// each toggle the box takes no taps for 100 ms and then shows the state it last reported, so
// quick taps cannot leave it showing one state while toggled() said another.
class CheckboxWidget : public MListItem
{
    Q_OBJECT

public:
    CheckboxWidget(QString title, QGraphicsItem* parent);
    ~CheckboxWidget() override;

    void setChecked(bool checked);

signals:
    void toggled(bool state);

private slots:
    void disableCheckBox(bool state);
    void enableCheckBox();

private:
    MButton* checkBox;
    MLabel* label;
    bool pendingState = false;
};

#endif // CHECKBOXWIDGET_H
