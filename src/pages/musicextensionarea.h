#ifndef MUSICEXTENSIONAREA_H
#define MUSICEXTENSIONAREA_H

#include "mwidget.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVariant>

class AbstractExtensionWidget;
class MApplicationExtensionArea;
class MApplicationExtensionInterface;
class MLayout;
class MLinearLayoutPolicy;
class MusicApplicationActionContent;

// A strip of a page that shows the widgets of the extensions installed for one extension
// interface, in a column: store widgets on top (the one added last first), the others below
// in the order they came. Each extension widget gets the mediator, through which it learns
// what the page shows. Takes no room while there is no extension.
class MusicExtensionArea : public MWidget
{
    Q_OBJECT

public:
    // The extension interfaces of the pages that show an area: the songs of an album, the
    // albums of an artist, the song details.
    static const char* const AlbumInterface;
    static const char* const ArtistInterface;
    static const char* const PlayerInterface;

    MusicExtensionArea(const QString& interfaceName, QGraphicsItem* parent);
    ~MusicExtensionArea() override;

    MApplicationExtensionArea* extensionArea() const { return area; }

    // Tells the extensions what the page shows now: a content of the type (0 a song, 1 an
    // album, 2 an artist) with the values under the content's field names. Only the latest
    // content is kept.
    void publishContent(int type, const QHash<QString, QVariant>& values);

private slots:
    void addExtension(MApplicationExtensionInterface* extension);
    // Lays the remaining extensions out anew.
    void removeExtension(MApplicationExtensionInterface* extension);

private:
    void newPolicy();
    void place(AbstractExtensionWidget* extension);

    // Not a child item: the extensions it owns are deleted (and with them their widgets,
    // which the layout made children of this widget) before this widget's children go.
    MApplicationExtensionArea* area;
    MLayout* areaLayout;
    MLinearLayoutPolicy* policy = nullptr;
    QPointer<MusicApplicationActionContent> content;
};

#endif // MUSICEXTENSIONAREA_H
