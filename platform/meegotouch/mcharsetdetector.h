#ifndef MCHARSETDETECTOR_H
#define MCHARSETDETECTOR_H

#include "mcharsetmatch.h"

#include <QByteArray>
#include <QString>

struct UCharsetDetector;

// Guesses the character set of a byte string (ICU's detector) and converts the bytes with a
// detected match. A declared locale breaks near ties in favour of its language's encodings.
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

    UCharsetDetector* m_detector;
    QByteArray m_text;
    QString m_declaredLocale;
    QString m_error;
};

#endif // MCHARSETDETECTOR_H
