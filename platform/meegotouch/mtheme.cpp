#include "mtheme.h"

#include "touchlogging.h"
#include "mpalette.h"
#include "mscalableimage.h"
#include "mstyle.h"
#include "mstyletable.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSet>
#include <QStandardPaths>
#include <QSvgRenderer>

namespace {

enum Tint { TintNormal, TintDimmed, TintAccent };

struct IconTheme
{
    bool indexed = false;
    QHash<QString, QString> files;   // freedesktop name -> SVG path
    QHash<QString, QPixmap> pixmaps; // id + requested size -> pixmap
    QSet<QString> reportedUnknown;
};

IconTheme& iconTheme()
{
    static IconTheme theme;
    return theme;
}

// Theme id (without size prefix and state suffixes) -> freedesktop icon name.
const QHash<QString, QString>& baseNames()
{
    static const QHash<QString, QString> names {
        { "music-video-dolby", "audio-speakers-symbolic" },
        { "common-favorite-mark", "starred-symbolic" },
        { "common-favorite-unmark", "non-starred-symbolic" },
        { "toolbar-favorite-mark", "starred-symbolic" },
        { "toolbar-favorite-unmark", "non-starred-symbolic" },
        { "toolbar-mediacontrol-next", "media-skip-forward-symbolic" },
        { "toolbar-mediacontrol-previous", "media-skip-backward-symbolic" },
        { "toolbar-mediacontrol-play", "media-playback-start-symbolic" },
        { "toolbar-mediacontrol-pause", "media-playback-pause-symbolic" },
        { "toolbar-mediacontrol-stop", "media-playback-stop-symbolic" },
        { "music-video-play", "media-playback-start-symbolic" },
        { "music-video-pause", "media-playback-pause-symbolic" },
        { "music-video-stop", "media-playback-stop-symbolic" },
        { "common-share", "send-to-symbolic" },
        { "common-drilldown-arrow", "go-next-symbolic" },
        { "music-video-all-songs", "view-list-bullet-symbolic" },
        { "music-video-now-playing", "audio-x-generic-symbolic" },
        { "music-video-shuffle", "media-playlist-shuffle-symbolic" },
        { "music-video-repeat", "media-playlist-repeat-symbolic" },
        { "music-video-ulk", "insert-link-symbolic" },
        { "music-video-search", "system-search-symbolic" },
        { "music-video-description", "dialog-information-symbolic" },
        { "music", "folder-music-symbolic" },
        { "music-albumart", "media-optical-cd-audio-symbolic" },
        { "music-artist", "avatar-default-symbolic" },
        { "content-audiostream", "network-transmit-receive-symbolic" },
        { "content-genre", "emblem-music-symbolic" },
        { "content-audio", "audio-x-generic-symbolic" },
        { "toolbar-content-audio", "audio-x-generic-symbolic" },
        { "content-playlist", "view-list-ordered-symbolic" },
        { "content-song", "emblem-music-symbolic" },
        { "toolbar-search", "system-search-symbolic" },
        { "common-search", "system-search-symbolic" },
        { "input-clear", "edit-clear-symbolic" },
        { "toolbar-add", "list-add-symbolic" },
        { "toolbar-back", "go-previous-symbolic" },
        { "toolbar-repeat", "media-playlist-repeat-symbolic" },
        { "toolbar-shuffle", "media-playlist-shuffle-symbolic" },
        { "toolbar-view-menu", "view-more-symbolic" },
        { "content-recently-played", "document-open-recent-symbolic" },
        { "content-recently-added", "list-add-symbolic" },
        { "content-recently-downloaded", "folder-download-symbolic" },
        { "content-most-played", "view-sort-descending-symbolic" },
        { "content-favourites", "emblem-favorite-symbolic" },
        { "content-never-played", "action-unavailable-symbolic" },
        { "content-top-rated", "starred-symbolic" },
        { "framework-grid", "view-grid-symbolic" },
        { "framework-list", "view-list-symbolic" },
    };
    return names;
}

struct ParsedId
{
    QString base;
    Tint tint = TintNormal;
    int defaultSize = 48;
};

ParsedId parse(const QString& id)
{
    ParsedId p;
    QString rest = id;
    if (rest.startsWith(QLatin1String("icon-s-"))) {
        p.defaultSize = 32;
        rest = rest.mid(7);
    } else if (rest.startsWith(QLatin1String("icon-m-"))) {
        p.defaultSize = 48;
        rest = rest.mid(7);
    } else if (rest.startsWith(QLatin1String("icon-l-"))) {
        p.defaultSize = 64;
        rest = rest.mid(7);
    } else if (rest.startsWith(QLatin1String("meegotouch-"))) {
        p.defaultSize = 128;
        rest = rest.mid(11);
    }
    // State suffixes, in any order: "-white" (drawn light anyway on this dark theme),
    // "-inverse" (the light variant), "-dimmed", "-selected", "-accent", "-on"/"-off".
    bool stripped = true;
    while (stripped) {
        stripped = false;
        for (const char* suffix :
             { "-white", "-inverse", "-dimmed", "-selected", "-accent", "-on", "-off" }) {
            const QLatin1String s(suffix);
            if (rest.endsWith(s) && !baseNames().contains(rest)) {
                rest.chop(s.size());
                if (s == QLatin1String("-dimmed"))
                    p.tint = TintDimmed;
                else if (s == QLatin1String("-selected") || s == QLatin1String("-accent")
                         || s == QLatin1String("-on"))
                    p.tint = (p.tint == TintDimmed) ? TintDimmed : TintAccent;
                stripped = true;
            }
        }
    }
    p.base = rest;
    return p;
}

void indexTheme(IconTheme& theme)
{
    if (theme.indexed)
        return;
    theme.indexed = true;
    QStringList roots = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                  QStringLiteral("icons/Adwaita/scalable"),
                                                  QStandardPaths::LocateDirectory);
    roots << QStringLiteral("/usr/share/icons/Adwaita/scalable");
    for (const QString& root : qAsConst(roots)) {
        QDirIterator it(root, { QStringLiteral("*.svg") }, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QFileInfo(path).completeBaseName();
            if (!theme.files.contains(name))
                theme.files.insert(name, path);
        }
    }
}

QString resolveName(const QString& id)
{
    IconTheme& theme = iconTheme();
    indexTheme(theme);
    if (theme.files.contains(id))
        return id; // already a freedesktop name
    const ParsedId p = parse(id);
    const QString name = baseNames().value(p.base);
    return theme.files.contains(name) ? name : QString();
}

// The theme's page background: black, lifting a little towards the top. Made once, GUI thread.
const MScalableImage* pageBackground()
{
    static MScalableImage* background = nullptr;
    if (!background) {
        QImage image(480, 854, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 0, image.height());
        gradient.setColorAt(0, QColor(0x14, 0x14, 0x14));
        gradient.setColorAt(0.4, QColor(0, 0, 0));
        painter.fillRect(image.rect(), gradient);
        painter.end();
        const QPixmap pixmap = QPixmap::fromImage(image);
        background = new MScalableImage(&pixmap, 0, 0, 0, 0, QStringLiteral("page-background"));
    }
    return background;
}

QColor tintColor(Tint tint)
{
    const MPalette palette;
    switch (tint) {
    case TintDimmed:
        return palette.disabledColor();
    case TintAccent:
        return palette.firstAccentColor();
    case TintNormal:
        break;
    }
    return palette.defaultColor();
}

} // namespace

MTheme::MTheme(QObject* parent)
    : QObject(parent)
{
}

MTheme* MTheme::instance()
{
    static MTheme* theme = nullptr;
    if (!theme)
        theme = new MTheme(QCoreApplication::instance());
    return theme;
}

bool MTheme::hasIcon(const QString& id)
{
    return !resolveName(id).isEmpty();
}

QPixmap MTheme::pixmap(const QString& id, const QSize& requestedSize)
{
    if (id.isEmpty())
        return QPixmap();
    IconTheme& theme = iconTheme();
    // Buttons ask again on every repaint: the cache answers before the id is taken apart.
    const QString key = id + QLatin1Char('@') + QString::number(requestedSize.width())
                        + QLatin1Char('x') + QString::number(requestedSize.height());
    const auto cached = theme.pixmaps.constFind(key);
    if (cached != theme.pixmaps.constEnd())
        return *cached;
    const QString name = resolveName(id);
    if (name.isEmpty()) {
        if (!theme.reportedUnknown.contains(id)) {
            theme.reportedUnknown.insert(id);
            qCDebug(lcTouch) << Q_FUNC_INFO << "- unknown icon id" << id;
        }
        return QPixmap();
    }
    const ParsedId p = parse(id);
    QSize size = requestedSize;
    if (!size.isValid() || size.isEmpty())
        size = QSize(p.defaultSize, p.defaultSize);

    QSvgRenderer renderer(theme.files.value(name));
    if (!renderer.isValid()) {
        qCDebug(lcTouch) << Q_FUNC_INFO << "- unreadable icon file for" << id;
        return QPixmap();
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QSizeF drawn = renderer.defaultSize();
        drawn.scale(size, Qt::KeepAspectRatio);
        const QRectF target((size.width() - drawn.width()) / 2.0,
                            (size.height() - drawn.height()) / 2.0, drawn.width(), drawn.height());
        renderer.render(&painter, target);
        // Symbolic icons are one dark colour: repaint their shape in the wanted colour.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(image.rect(), tintColor(p.tint));
    }
    const QPixmap result = QPixmap::fromImage(image);
    theme.pixmaps.insert(key, result);
    return result;
}

const MPalette& MTheme::palette()
{
    static const MPalette p;
    return p;
}

const MStyle* MTheme::style(const char* styleClassName, const QString& objectName,
                            const QString& mode, const QString& type, M::Orientation orientation,
                            const MWidgetController* parent)
{
    Q_UNUSED(mode)
    Q_UNUSED(type)
    Q_UNUSED(orientation)
    Q_UNUSED(parent)
    auto* s = new MStyle;
    QString className = QLatin1String(styleClassName ? styleClassName : "");
    // Style classes are named after their widget ("MLabelStyle" styles "MLabel").
    QStringList chain { QStringLiteral("MWidgetController") };
    if (className.endsWith(QLatin1String("Style")))
        chain << className.left(className.size() - 5);
    chain << className;
    s->setAttributes(MStyleTable::resolve(chain, objectName));
    s->setStyleName(objectName);
    if (className == QLatin1String("MApplicationPageStyle") && !s->hasAttribute("backgroundImage")
        && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        s->setAttribute(QStringLiteral("backgroundImage"),
                        QVariant::fromValue<const MScalableImage*>(pageBackground()));
    return s;
}

void MTheme::releaseStyle(const MStyle* style)
{
    delete style;
}
