#ifndef MCHARSETMATCH_H
#define MCHARSETMATCH_H

#include <QString>

// One answer of the character set detector: the encoding's name ("UTF-8",
// "windows-1251", ...), the language it suggests and the detector's confidence (0 to 100).
// A default-constructed match names no encoding.
class MCharsetMatch
{
public:
    MCharsetMatch();
    MCharsetMatch(const QString& name, const QString& language, qint32 confidence);

    QString name() const;
    QString language() const;
    qint32 confidence() const;
    bool isValid() const;

private:
    QString m_name;
    QString m_language;
    qint32 m_confidence;
};

#endif // MCHARSETMATCH_H
