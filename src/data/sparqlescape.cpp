#include "sparqlescape.h"

#include "trackersparql.h"

QString SparqlEscape::string(const QString& value)
{
    return TrackerSparql::escapeString(value);
}

QString SparqlEscape::iri(const QString& value)
{
    return TrackerSparql::isSafeIri(value) ? value : QString();
}

bool SparqlEscape::isValidIri(const QString& value)
{
    return TrackerSparql::isSafeIri(value);
}
