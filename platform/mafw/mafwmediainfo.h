#ifndef MAFWMEDIAINFO_H
#define MAFWMEDIAINFO_H

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

// What the renderer knows about the item it plays, as lists of values per key ("title",
// "artist", "album", "genre", "organization", "composer", "track", "duration", "is-seekable",
// "renderer-art-uri", "uri"). A key the stream never named is absent.
class MafwMediaInfo
{
public:
    MafwMediaInfo();

    QList<QVariant> metaData(const QString& key) const;
    QMap<QString, QList<QVariant>> metaData() const;

    void setMetaData(const QString& key, const QList<QVariant>& values);

private:
    QMap<QString, QList<QVariant>> m_metaData;
};

Q_DECLARE_METATYPE(MafwMediaInfo)

#endif // MAFWMEDIAINFO_H
