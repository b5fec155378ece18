// GLib headers come before Qt's: GIO names a member "signals", which Qt defines as a macro.
#include <libtracker-sparql/tracker-sparql.h>

#include "trackercursorrow.h"

#include "trackersparql.h"

#include <cstdlib>
#include <cstring>

namespace {

// Digits at text[from, from + count), or -1 when any of them is not a digit.
int digits(const char* text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

TrackerCursorRow::TrackerCursorRow(TrackerSparqlCursor* cursor)
    : m_cursor(cursor)
{
}

int TrackerCursorRow::columns() const
{
    if (m_columns < 0)
        m_columns = tracker_sparql_cursor_get_n_columns(m_cursor);
    return m_columns;
}

const char* TrackerCursorRow::value(int column) const
{
    // One call of the store per value: each takes a lock of the store's own.
    return column < columns() ? tracker_sparql_cursor_get_string(m_cursor, column, nullptr)
                              : nullptr;
}

bool TrackerCursorRow::isBound(int column) const
{
    return value(column) != nullptr;
}

QString TrackerCursorRow::text(int column) const
{
    const char* text = value(column);
    if (!text)
        return QString();
    if (!*text)
        return QLatin1String("");
    return QString::fromUtf8(text);
}

qint64 TrackerCursorRow::integer(int column) const
{
    const char* text = value(column);
    return text ? std::strtoll(text, nullptr, 10) : 0;
}

bool TrackerCursorRow::boolean(int column) const
{
    const char* text = value(column);
    return text && (std::strcmp(text, "true") == 0 || std::strcmp(text, "1") == 0);
}

QDateTime TrackerCursorRow::time(int column) const
{
    return parseTime(value(column));
}

QDateTime TrackerCursorRow::parseTime(const char* text)
{
    if (!text || !*text)
        return QDateTime();
    // The common form is read by hand: a library's worth of times goes through here, and the
    // general parser costs microseconds a value.
    const size_t length = std::strlen(text);
    if (length >= 20 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':'
        && text[16] == ':') {
        const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
        const int hour = digits(text, 11, 2), minute = digits(text, 14, 2),
                  second = digits(text, 17, 2);
        size_t at = 19;
        int msecs = 0;
        if (text[at] == '.') {
            int scale = 100;
            for (++at; at < length && text[at] >= '0' && text[at] <= '9'; ++at) {
                msecs += (text[at] - '0') * scale;
                scale /= 10;
            }
        }
        int offsetSeconds = 0;
        bool zone = false;
        if (at + 1 == length && text[at] == 'Z') {
            zone = true;
        } else if (at + 6 == length && (text[at] == '+' || text[at] == '-')
                   && text[at + 3] == ':') {
            const int h = digits(text, int(at) + 1, 2), m = digits(text, int(at) + 4, 2);
            if (h >= 0 && m >= 0) {
                zone = true;
                offsetSeconds = (text[at] == '-' ? -1 : 1) * (h * 3600 + m * 60);
            }
        }
        const QDate date(year, month, day);
        const QTime clock(hour, minute, second, msecs);
        if (zone && date.isValid() && clock.isValid())
            return QDateTime(date, clock, Qt::UTC).addSecs(-offsetSeconds);
    }
    const QDateTime parsed = TrackerSparql::parseTime(QString::fromUtf8(text));
    return parsed.isValid() ? parsed.toUTC() : parsed;
}
