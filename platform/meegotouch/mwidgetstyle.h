#ifndef MWIDGETSTYLE_H
#define MWIDGETSTYLE_H

#include "mstyle.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QSizeF>

// Declares a style class. Style classes derive from MWidgetStyle (directly or not) and are
// default-constructible; their attributes come from the style table.
#define M_STYLE(CLASS)                                                                             \
public:                                                                                            \
    static QString staticStyleType()                                                               \
    {                                                                                              \
        return QStringLiteral(#CLASS);                                                             \
    }                                                                                              \
                                                                                                   \
private:

// Declares one attribute of a style class: a getter reading the table's value of NAME and a
// setter. Register values under the attribute's name, e.g. {"backgroundColor", QColor(...)}.
#define M_STYLE_ATTRIBUTE(TYPE, NAME, UNAME)                                                       \
public:                                                                                            \
    TYPE NAME() const                                                                              \
    {                                                                                              \
        return attribute(QStringLiteral(#NAME)).template value<TYPE>();                            \
    }                                                                                              \
    void set##UNAME(const TYPE& value)                                                             \
    {                                                                                              \
        setAttribute(QStringLiteral(#NAME), QVariant::fromValue(value));                           \
    }                                                                                              \
                                                                                                   \
private:

// Containers select a style by mode; the stand-in has one mode, so they need no code.
#define M_STYLE_CONTAINER(CLASS)

// The common attributes every widget reads. Sizes are in scene units of the 480 x 854 screen;
// a component below 0 means "not set by the style".
class MWidgetStyle : public MStyle
{
    M_STYLE(MWidgetStyle)

public:
    explicit MWidgetStyle(QObject* parent = nullptr);
    ~MWidgetStyle() override;

    QFont font() const; // "fontFamily", "fontSize" (pixels), "fontBold"
    int fontSize() const;
    QColor textColor() const;       // "textColor"
    QColor backgroundColor() const; // "backgroundColor"; invalid: nothing painted
    QColor borderColor() const;     // "borderColor"; invalid: no border
    qreal cornerRadius() const;     // "cornerRadius"
    QMarginsF margins() const;      // "marginLeft", "marginTop", "marginRight", "marginBottom"
    QSizeF minimumSize() const;     // "minimumSize"
    QSizeF preferredSize() const;   // "preferredSize"
    QSizeF maximumSize() const;     // "maximumSize"
    QSizeF iconSize() const;        // "iconSize"

private:
    qreal number(const char* attributeName, qreal fallback) const;
    QSizeF size(const char* attributeName) const;
};

#endif // MWIDGETSTYLE_H
