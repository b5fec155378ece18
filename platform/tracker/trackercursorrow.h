#ifndef TRACKERCURSORROW_H
#define TRACKERCURSORROW_H

#include <QDateTime>
#include <QString>

typedef struct _TrackerSparqlCursor TrackerSparqlCursor;

// The row a cursor stands on while a query's rows are read one by one: its values as the store
// gives them, read without building a list of strings first. An unbound value reads as a null
// text, 0, false or an invalid time.
class TrackerCursorRow
{
public:
    explicit TrackerCursorRow(TrackerSparqlCursor* cursor);

    int columns() const;
    bool isBound(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    bool boolean(int column) const;
    // An xsd:dateTime value, in UTC.
    QDateTime time(int column) const;

    // The store's time text ("2026-12-01T08:30:00Z", with or without fractions of a second or
    // an offset) as a time in UTC; invalid for any other text.
    static QDateTime parseTime(const char* text);

private:
    // The value's text as the store gives it; null when unbound.
    const char* value(int column) const;

    TrackerSparqlCursor* m_cursor;
    mutable int m_columns = -1;
};

#endif // TRACKERCURSORROW_H
