#include "mafwstorecollator.h"

#include <unicode/ucol.h>

#include <clocale>

MafwStoreCollator::MafwStoreCollator()
{
    // The store asks for the collator of this very name, and ICU falls back to its root
    // collation for names it does not know (such as "C.UTF-8") in both places alike.
    UErrorCode status = U_ZERO_ERROR;
    const char* locale = std::setlocale(LC_COLLATE, nullptr);
    m_collator = ucol_open(locale ? locale : "", &status);
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator = ucol_open("root", &status);
    }
    if (m_collator) {
        status = U_ZERO_ERROR;
        ucol_setAttribute(m_collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    }
}

MafwStoreCollator::~MafwStoreCollator()
{
    if (m_collator)
        ucol_close(m_collator);
}

int MafwStoreCollator::compare(const QString& a, const QString& b) const
{
    if (!m_collator)
        return a.compare(b);
    return ucol_strcoll(m_collator, reinterpret_cast<const UChar*>(a.utf16()), a.size(),
                        reinterpret_cast<const UChar*>(b.utf16()), b.size());
}
