#ifndef MTHEME_H
#define MTHEME_H

#include "mnamespace.h"

#include <QObject>
#include <QPixmap>
#include <QString>

class MPalette;
class MStyle;
class MWidgetController;

// The theme: icon ids to pixmaps and style look-ups. Icons come from the installed Adwaita
// theme's symbolic SVGs: every theme id of the system maps to a freedesktop icon name, drawn
// white on the dark theme, dimmed for "-dimmed", in the accent colour for "-selected" and
// "-accent". An unknown id gives an empty pixmap and one debug line.
class MTheme : public QObject
{
    Q_OBJECT

public:
    typedef QString ViewType;

    static MTheme* instance();

    // The pixmap of a theme id. Without a size, the id's size class decides: "icon-s-" 32,
    // "icon-m-" 48, "icon-l-" 64, other ids 128 pixels square. GUI thread only.
    static QPixmap pixmap(const QString& id, const QSize& size = QSize());

    // The freedesktop icon name an id maps to (empty when unknown), and whether it is known.
    static bool hasIcon(const QString& id);

    static const MPalette& palette();

    // A style object with the attributes of the class entry and the object-name entry of the
    // style table. Release it with releaseStyle().
    static const MStyle* style(const char* styleClassName, const QString& objectName = QString(),
                               const QString& mode = QString(), const QString& type = QString(),
                               M::Orientation orientation = M::Landscape,
                               const MWidgetController* parent = nullptr);
    static void releaseStyle(const MStyle* style);

signals:
    void themeChangeCompleted();

private:
    explicit MTheme(QObject* parent = nullptr);
};

#endif // MTHEME_H
