#include "mstyle.h"

MStyle::MStyle(QObject* parent)
    : QObject(parent)
{
}

MStyle::~MStyle() = default;

QVariant MStyle::attribute(const QString& attributeName) const
{
    return values.value(attributeName);
}

bool MStyle::hasAttribute(const QString& attributeName) const
{
    return values.contains(attributeName);
}

void MStyle::setAttribute(const QString& attributeName, const QVariant& value)
{
    values.insert(attributeName, value);
    setProperty(attributeName.toUtf8().constData(), value);
}

void MStyle::setAttributes(const QVariantHash& attributes)
{
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it)
        setAttribute(it.key(), it.value());
}

QVariantHash MStyle::attributes() const
{
    return values;
}

QString MStyle::styleName() const
{
    return name;
}

void MStyle::setStyleName(const QString& styleName)
{
    name = styleName;
}
