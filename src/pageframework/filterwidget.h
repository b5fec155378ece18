#ifndef FILTERWIDGET_H
#define FILTERWIDGET_H

#include "filterwidgetstyle.h"
#include "mstylablewidget.h"

class MButton;
class MImageWidget;
class MTextEdit;
class QGraphicsLinearLayout;

// The live-filter search field shown above a list: a one-line text field (at most 50
// characters) with a magnifier while it is empty and a clear button while it holds text. The
// virtual keyboard's action key is labelled "done" and closes the keyboard. Every change of
// the text is announced with textChanged(); the page turns that into its filter.
class FilterWidget : public MStylableWidget
{
    Q_OBJECT
    M_STYLABLE_WIDGET(FilterWidgetStyle)

public:
    explicit FilterWidget(QGraphicsItem* parent);
    ~FilterWidget() override;

    MTextEdit* textEdit() const { return searchField; }
    QString text() const;
    void setText(const QString& text);
    // Takes the focus from the search field.
    void clearFocus();
    // An empty text gives the standard search prompt.
    void setPromptText(const QString& prompt);
    void clearPrompt();

    // The magnifier and the clear button, for those that check which one shows.
    MImageWidget* magnifier() const { return magnifierImage; }
    MButton* clearButton() const { return clear; }

signals:
    void textChanged();
    void clearClicked();
    void focusLost(Qt::FocusReason reason);
    void focusGained(Qt::FocusReason reason);

private slots:
    void handleTextChanged();
    void clearTextField();
    void closeTheVKB();

private:
    QGraphicsLinearLayout* mainLayout;
    MImageWidget* magnifierImage;
    MTextEdit* searchField;
    MButton* clear;
    MStylableWidget* fieldContainer;
    QGraphicsLinearLayout* fieldLayout;
    int maxLength;
};

#endif // FILTERWIDGET_H
