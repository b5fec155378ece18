#include "trackersparql.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUuid>

QString TrackerSparql::escapeString(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\'':
            out += QLatin1String("\\'");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\b':
            out += QLatin1String("\\b");
            break;
        case '\f':
            out += QLatin1String("\\f");
            break;
        case 0:
            // The store takes its text as a C string, which a NUL would cut short.
            break;
        default:
            // Other control characters go in as they are: the grammar allows them in a
            // literal, and the store does not read a \u escape there.
            out += c;
        }
    }
    return out;
}

QString TrackerSparql::literal(const QString& text)
{
    return QLatin1Char('"') + escapeString(text) + QLatin1Char('"');
}

bool TrackerSparql::isSafeIri(const QString& iri)
{
    if (iri.isEmpty())
        return false;
    for (const QChar c : iri) {
        const ushort u = c.unicode();
        if (u <= 0x20 || u == 0x7f)
            return false;
        switch (u) {
        case '<':
        case '>':
        case '"':
        case '{':
        case '}':
        case '|':
        case '^':
        case '`':
        case '\\':
            return false;
        default:
            break;
        }
    }
    return true;
}

QString TrackerSparql::iri(const QString& iri)
{
    if (!isSafeIri(iri))
        return QString();
    return QLatin1Char('<') + iri + QLatin1Char('>');
}

QString TrackerSparql::timeText(const QDateTime& time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('Z');
}

QDateTime TrackerSparql::parseTime(const QString& text)
{
    if (text.isEmpty())
        return QDateTime();
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid())
        time = QDateTime::fromString(text, Qt::ISODate);
    return time;
}

QString TrackerSparql::newIri()
{
    return QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool TrackerSparql::isQuery(const QString& sparql)
{
    static const QRegularExpression keyword(
        QStringLiteral(
            "\\b(SELECT|ASK|CONSTRUCT|DESCRIBE|INSERT|DELETE|WITH|LOAD|CLEAR|DROP|CREATE)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = keyword.match(sparql);
    if (!match.hasMatch())
        return true;
    const QString word = match.captured(1).toUpper();
    return word == QLatin1String("SELECT") || word == QLatin1String("ASK")
           || word == QLatin1String("CONSTRUCT") || word == QLatin1String("DESCRIBE");
}
