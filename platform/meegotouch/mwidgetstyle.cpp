#include "mwidgetstyle.h"

namespace {
const int DefaultFontSize = 24;
} // namespace

MWidgetStyle::MWidgetStyle(QObject* parent)
    : MStyle(parent)
{
}

MWidgetStyle::~MWidgetStyle() = default;

qreal MWidgetStyle::number(const char* attributeName, qreal fallback) const
{
    const QVariant v = attribute(QLatin1String(attributeName));
    bool ok = false;
    const qreal n = v.toReal(&ok);
    return ok ? n : fallback;
}

QSizeF MWidgetStyle::size(const char* attributeName) const
{
    const QVariant v = attribute(QLatin1String(attributeName));
    if (v.canConvert<QSizeF>()) {
        const QSizeF s = v.toSizeF();
        if (s.isValid() || s.width() >= 0 || s.height() >= 0)
            return s;
    }
    return QSizeF(-1, -1);
}

QFont MWidgetStyle::font() const
{
    QFont f(attribute(QStringLiteral("fontFamily")).toString().isEmpty()
                ? QStringLiteral("DejaVu Sans")
                : attribute(QStringLiteral("fontFamily")).toString());
    f.setPixelSize(fontSize());
    f.setBold(attribute(QStringLiteral("fontBold")).toBool());
    return f;
}

int MWidgetStyle::fontSize() const
{
    return qMax(1, qRound(number("fontSize", DefaultFontSize)));
}

QColor MWidgetStyle::textColor() const
{
    const QColor c = attribute(QStringLiteral("textColor")).value<QColor>();
    return c.isValid() ? c : QColor(Qt::white);
}

QColor MWidgetStyle::backgroundColor() const
{
    return attribute(QStringLiteral("backgroundColor")).value<QColor>();
}

QColor MWidgetStyle::borderColor() const
{
    return attribute(QStringLiteral("borderColor")).value<QColor>();
}

qreal MWidgetStyle::cornerRadius() const
{
    return number("cornerRadius", 0);
}

QMarginsF MWidgetStyle::margins() const
{
    return QMarginsF(number("marginLeft", 0), number("marginTop", 0), number("marginRight", 0),
                     number("marginBottom", 0));
}

QSizeF MWidgetStyle::minimumSize() const
{
    return size("minimumSize");
}

QSizeF MWidgetStyle::preferredSize() const
{
    return size("preferredSize");
}

QSizeF MWidgetStyle::maximumSize() const
{
    return size("maximumSize");
}

QSizeF MWidgetStyle::iconSize() const
{
    return size("iconSize");
}
