#ifndef ALBUMARTISTPAIRS_H
#define ALBUMARTISTPAIRS_H

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// (album, artist) of each cover in a collage; kept with an activity so its collage can be told
// apart from another's.
typedef QList<QPair<QString, QString>> AlbumArtistPairs;

Q_DECLARE_METATYPE(AlbumArtistPairs)

#endif // ALBUMARTISTPAIRS_H
