#ifndef TESTCATALOGS_H
#define TESTCATALOGS_H

// The engineering-English catalogs, as the program installs them, in the default locale or the
// one named. Header only: the tests that include it link the touch UI toolkit.

#include "mlocale.h"

#include <QString>

inline void installTestCatalogs(const QString& localeName = QString())
{
    MLocale locale = localeName.isEmpty() ? MLocale() : MLocale(localeName);
    locale.installTrCatalog(QStringLiteral("music"));
    locale.installTrCatalog(QStringLiteral("parlovance"));
    locale.installTrCatalog(QStringLiteral("common"));
    MLocale::setDefault(locale);
}

#endif // TESTCATALOGS_H
