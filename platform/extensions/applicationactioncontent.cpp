#include "applicationactioncontent.h"

ApplicationActionContent::ApplicationActionContent(QObject* parent)
    : QObject(parent)
    , m_type(0)
{
}

ApplicationActionContent::~ApplicationActionContent() = default;

QHash<QString, QVariant> ApplicationActionContent::values() const
{
    return m_values;
}

QVariant ApplicationActionContent::value(const QString& field) const
{
    return m_values.value(field);
}

void ApplicationActionContent::setValue(const QString& field, const QVariant& value)
{
    m_values.insert(field, value);
}

int ApplicationActionContent::type() const
{
    return m_type;
}

void ApplicationActionContent::setType(int type)
{
    m_type = type;
}
