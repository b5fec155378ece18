#ifndef MCOLLATOR_H
#define MCOLLATOR_H

#include "mlocale.h"

#include <QSharedPointer>
#include <QString>

struct MCollatorData;

// Compares texts by a locale's collation (ICU). operator() tells whether a orders before b,
// so a collator can be handed to the standard sort algorithms.
class MCollator
{
public:
    MCollator(); // the default locale's collation
    explicit MCollator(const MLocale& locale);
    MCollator(const MCollator& other);
    MCollator& operator=(const MCollator& other);
    ~MCollator();

    void setStrength(MLocale::CollatorStrength strength);
    MLocale::CollatorStrength strength() const;

    bool operator()(const QString& a, const QString& b) const;

    // Compares by the default locale's collation: -1 (a first), 0 or 1.
    static MLocale::Comparison compare(const QString& a, const QString& b);

private:
    friend class MLocale;
    MLocale::Comparison compareWith(const QString& a, const QString& b) const;

    QSharedPointer<MCollatorData> d;
};

#endif // MCOLLATOR_H
