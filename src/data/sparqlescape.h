#ifndef SPARQLESCAPE_H
#define SPARQLESCAPE_H

#include <QString>

// Fills the %1 of the system's SPARQL texts with values that came from outside (a D-Bus
// caller, a file name, a tag, a translation): nothing such a value holds can change the query.
class SparqlEscape
{
public:
    // For a value that stands between the double quotes of a text ("%1"): backslashes, quotes
    // and control characters are escaped.
    static QString string(const QString& value);
    // For a value that stands between < and > (<%1>): the IRI itself when it is one, else an
    // empty text, which the caller must not send.
    static QString iri(const QString& value);
    static bool isValidIri(const QString& value);
};

#endif // SPARQLESCAPE_H
