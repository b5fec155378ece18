#include "mcharsetmatch.h"

MCharsetMatch::MCharsetMatch()
    : m_confidence(0)
{
}

MCharsetMatch::MCharsetMatch(const QString& name, const QString& language, qint32 confidence)
    : m_name(name)
    , m_language(language)
    , m_confidence(confidence)
{
}

QString MCharsetMatch::name() const
{
    return m_name;
}

QString MCharsetMatch::language() const
{
    return m_language;
}

qint32 MCharsetMatch::confidence() const
{
    return m_confidence;
}

bool MCharsetMatch::isValid() const
{
    return !m_name.isEmpty();
}
