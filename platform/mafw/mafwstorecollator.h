#ifndef MAFWSTORECOLLATOR_H
#define MAFWSTORECOLLATOR_H

#include <QString>

struct UCollator;

// Orders texts exactly as the store's ORDER BY orders them: the collation of the process's
// LC_COLLATE locale, as the store opens it. Lists read in the store's order keep that order
// when a song is added later; a collator of other settings would put it elsewhere. GUI thread
// only, as the store's own collator is per connection.
class MafwStoreCollator
{
public:
    MafwStoreCollator();
    ~MafwStoreCollator();
    MafwStoreCollator(const MafwStoreCollator&) = delete;
    MafwStoreCollator& operator=(const MafwStoreCollator&) = delete;

    // Negative, 0 or positive as a orders before, with or after b.
    int compare(const QString& a, const QString& b) const;

private:
    UCollator* m_collator = nullptr;
};

#endif // MAFWSTORECOLLATOR_H
