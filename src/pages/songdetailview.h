#ifndef SONGDETAILVIEW_H
#define SONGDETAILVIEW_H

#include "pageframework/quintaveilpage.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <QVariant>

class CollectionViewTitleWidget;
class MainWindow;
class MusicExtensionArea;
class PropertiesContainer;
class SongDetailWidget;

// Everything the library knows about one song: a title header, the cover with the tag rows
// and the file properties. The window hands it a song's tracker id on every show; the page
// reads the song from the store and, while it is on screen, keeps the play count and the
// last-played time current and follows the playing song when it was opened from the player.
class SongDetailView : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit SongDetailView(MainWindow* window);
    ~SongDetailView() override;

    void createContent() override;

    // The fields of the song shown (keys as the store query names them), and the parts.
    QHash<QString, QString> fields() const { return songFields; }
    CollectionViewTitleWidget* titleHeader() const { return titleWidget; }
    SongDetailWidget* detailWidget() const { return songDetailWidget; }
    PropertiesContainer* propertiesContainer() const { return properties; }
    MusicExtensionArea* extensionArea() const { return extensions; }

public slots:
    void passParameterToPage(QVariant parameter) override;
    void finishPageCreation(ObjectMenuType type) override;

    void connectUpdateSignals();
    void disconnectUpdateSignals();
    void handleSongChanged();
    void removePlayerViewFromVisitedPages();
    void updateContent(QList<QStringList> rows, bool end, QVariant userData);
    void updateDiscCount(QList<QStringList> rows, bool end, QVariant userData);
    void updateSongAccessed(QList<QStringList> rows, bool end, QVariant userData);
    void queryFailed(int errCode, QString errStr, const QVariant& userData);
    void songAccessedSlot(const QSet<int>& ids);

signals:
    void songDetailsQueryFinished();
    void discNumberQueryFinished(int discNumber);

private:
    void querySongDetails(int id);
    void queryUsage(int id);
    void queryDiscCount(const QString& albumTitle);
    void createWidgets();
    void showFields();
    void publishContent();
    int shownSongId() const;

    MainWindow* window;
    CollectionViewTitleWidget* titleWidget = nullptr;
    SongDetailWidget* songDetailWidget = nullptr;
    PropertiesContainer* properties = nullptr;
    MusicExtensionArea* extensions = nullptr;
    QHash<QString, QString> songFields;
    // The id of the last song asked for: an answer for any other came too late to be shown.
    int requestedId = 0;
};

#endif // SONGDETAILVIEW_H
