#ifndef MCHARSETDETECTOR_H
#define MCHARSETDETECTOR_H

#include "mcharsetmatch.h"

#include <QByteArray>
#include <QHash>
#include <QString>

struct UCharsetDetector;

// Guesses the character set of a byte string and converts the bytes with a detected match.
// ASCII and valid UTF-8 are UTF-8; other text is read in each legacy set that tags come in
// and the set whose reading makes the most plausible words wins (ICU's own guess breaks ties),
// so a match always names a set that converts the text. A declared locale breaks near ties in
// favour of its language's sets. When no set reads the text as words, detect() fails.
// hasError() stays true after a failed detection or conversion until the next setText().
class MCharsetDetector
{
public:
    MCharsetDetector();
    explicit MCharsetDetector(const QByteArray& ba);
    ~MCharsetDetector();

    void setText(const QByteArray& ba);
    void setDeclaredLocale(const QString& locale);
    MCharsetMatch detect();
    QString text(const MCharsetMatch& charsetMatch);

    bool hasError() const;
    QString errorString() const;

private:
    Q_DISABLE_COPY(MCharsetDetector)
    void setError(const QString& message);
    // ICU's confidence in each set it guesses for the text, by lower-case name.
    QHash<QString, int> icuConfidences();

    UCharsetDetector* m_detector;
    QByteArray m_text;
    QString m_declaredLocale;
    QString m_error;
};

#endif // MCHARSETDETECTOR_H
