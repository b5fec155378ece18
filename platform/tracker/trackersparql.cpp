#include "trackersparql.h"

#include <QDateTime>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>

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
    // Time-ordered (the layout of a version 7 UUID: milliseconds since the epoch, then a
    // random tail that each later name of this process counts up from), so that the names an
    // index makes sort in the order they are made. The store keeps every name in a sorted
    // index: random names landed on a random page of it each, and a batch of 200 songs wrote
    // most of that index out again, more of it the larger the library.
    static QMutex lock;
    static quint64 lastMilliseconds = 0;
    static quint64 counter = 0; // 12 bits of sequence, then 62 random bits: 74 in all
    static quint64 tail = 0;
    const quint64 now = quint64(QDateTime::currentMSecsSinceEpoch()) & 0xffffffffffffULL;
    QMutexLocker locked(&lock);
    if (now > lastMilliseconds || lastMilliseconds == 0) {
        lastMilliseconds = now;
        counter = QRandomGenerator::system()->bounded(0x800);
        tail = QRandomGenerator::system()->generate64() & 0x3fffffffffffffffULL;
    } else if (++tail > 0x3fffffffffffffffULL) {
        // Past the tail's range within one millisecond (or the clock went back): the
        // sequence goes on, and past its own range the names run on in the next millisecond.
        tail = QRandomGenerator::system()->generate64() & 0x3fffffffffffffffULL;
        if (++counter > 0xfff) {
            counter = 0;
            ++lastMilliseconds;
        }
    }
    const quint64 high = (lastMilliseconds << 16) | 0x7000 | counter;
    const quint64 low = 0x8000000000000000ULL | tail;
    const QString hex = QStringLiteral("%1%2")
                            .arg(high, 16, 16, QLatin1Char('0'))
                            .arg(low, 16, 16, QLatin1Char('0'));
    return QStringLiteral("urn:uuid:") + hex.mid(0, 8) + QLatin1Char('-') + hex.mid(8, 4)
           + QLatin1Char('-') + hex.mid(12, 4) + QLatin1Char('-') + hex.mid(16, 4)
           + QLatin1Char('-') + hex.mid(20, 12);
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
