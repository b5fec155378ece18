#ifndef TRACKERSPARQL_H
#define TRACKERSPARQL_H

#include <QString>

class QDateTime;

// Building SPARQL text safely: every value that comes from a file, a tag or a user goes through
// these before it becomes part of a query.
class TrackerSparql
{
public:
    // The body of a string literal: backslash, both quotes, newline, return, tab, backspace
    // and form feed are escaped; a NUL character is left out.
    static QString escapeString(const QString& text);
    // A complete double-quoted literal.
    static QString literal(const QString& text);
    // True when the text may stand between < and > as an IRI: not empty, and none of the
    // characters that IRIs exclude (space and controls, <>"{}|^`\).
    static bool isSafeIri(const QString& iri);
    // <iri>, or an empty text when the IRI is not safe.
    static QString iri(const QString& iri);
    // The store's text form of a time: ISO 8601 in UTC with seconds ("2026-12-01T08:30:00Z").
    static QString timeText(const QDateTime& time);
    static QDateTime parseTime(const QString& text);
    // A name for a new resource of the store (urn:uuid:...).
    static QString newIri();
    // True for SELECT, ASK, CONSTRUCT and DESCRIBE; false for updates.
    static bool isQuery(const QString& sparql);
};

#endif // TRACKERSPARQL_H
