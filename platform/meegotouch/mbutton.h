#ifndef MBUTTON_H
#define MBUTTON_H

#include "mwidgetcontroller.h"

// A push button with a text and a theme icon. View types: the default push button, iconType
// (the icon alone, no background), toggleType, checkboxType and switchType (checkable looks).
// A press emits pressed(); the release emits released() and, when it ends inside the button,
// toggles a checkable button and emits clicked().
class MButton : public MWidgetController
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QString iconID READ iconID WRITE setIconID)
    Q_PROPERTY(bool checkable READ isCheckable WRITE setCheckable)
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked)

public:
    static const QString defaultType;
    static const QString iconType;
    static const QString toggleType;
    static const QString checkboxType;
    static const QString switchType;

    explicit MButton(QGraphicsItem* parent = nullptr);
    explicit MButton(const QString& text, QGraphicsItem* parent = nullptr);
    MButton(const QString& iconID, const QString& text, QGraphicsItem* parent = nullptr);
    ~MButton() override;

    QString text() const;
    void setText(const QString& text);

    QString iconID() const;
    void setIconID(const QString& id);

    bool isCheckable() const;
    void setCheckable(bool checkable);
    bool isChecked() const;
    bool isDown() const;
    void setDown(bool down);

public slots:
    void setChecked(bool checked);
    void toggle();
    void click();

signals:
    void clicked(bool checked = false);
    void pressed();
    void released();
    void toggled(bool checked);

protected:
    QSizeF contentSizeHint(Qt::SizeHint which, const QSizeF& constraint) const override;
    void drawBackground(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void drawContents(QPainter* painter, const QStyleOptionGraphicsItem* option) const override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void ungrabMouseEvent(QEvent* event) override;

private:
    bool isIconView() const;
    bool isCheckView() const;
    QSizeF iconSize() const;

    QString buttonText;
    QString icon;
    bool checkable = false;
    bool checked = false;
    bool down = false;
};

#endif // MBUTTON_H
