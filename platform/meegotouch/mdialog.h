#ifndef MDIALOG_H
#define MDIALOG_H

#include "mnamespace.h"
#include "mscenewindow.h"

#include <QList>
#include <QPointer>

class MButton;
class MLabel;
class QGraphicsLinearLayout;

// A panel in the middle of the screen with a title, a central widget and a row of buttons. A
// standard button ends the dialog with its own value (Yes gives 1024), emitting accepted() for
// the confirming buttons (Ok, Yes, Save, Done, Apply) and rejected() for the others; tapping
// outside the panel rejects it with 0. The dialog then goes away.
class MDialog : public MSceneWindow
{
    Q_OBJECT

public:
    enum DialogCode { Rejected = 0, Accepted = 1 };

    MDialog();
    MDialog(const QString& title, M::StandardButtons buttons);
    ~MDialog() override;

    QString title() const;
    void setTitle(const QString& title);

    // Never null: an empty widget until one is set. The dialog owns it.
    QGraphicsWidget* centralWidget();
    void setCentralWidget(QGraphicsWidget* widget);

    MButton* addButton(M::StandardButton button);
    MButton* addButton(const QString& text);
    MButton* button(M::StandardButton which) const;
    M::StandardButton standardButton(const MButton* button) const;
    MButton* clickedButton() const;

    int result() const;

    // Shows the dialog on the window (the active one when null) and waits for its end. A dialog
    // that goes (or is deleted) without an answer gives Rejected.
    int exec(MWindow* window = nullptr);

    // The panel in the dialog's coordinates.
    QRectF panelRect() const;

public slots:
    void accept();
    void reject();
    virtual void done(int result);

signals:
    void accepted();
    void rejected();
    void finished(int result);

protected:
    MDialog(WindowType type, const QString& title, M::StandardButtons buttons);

    // Puts a widget of the subclass's own between the title and the central widget.
    void insertPanelWidget(QGraphicsWidget* widget);
    void layoutPanel();

    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void resizeEvent(QGraphicsSceneResizeEvent* event) override;

private slots:
    void buttonClicked();

private:
    static QString buttonText(M::StandardButton button);
    static bool confirms(M::StandardButton button);
    int centralIndex() const;

    QGraphicsWidget* panel;
    QGraphicsLinearLayout* panelLayout;
    QGraphicsWidget* buttonBox;
    QGraphicsLinearLayout* buttonLayout;
    MLabel* titleLabel;
    QPointer<QGraphicsWidget> central;
    QList<QPair<MButton*, M::StandardButton>> buttons;
    QPointer<MButton> lastClicked;
    int dialogResult = Rejected;
    bool ending = false;
};

#endif // MDIALOG_H
