#include "mafwplaylist.h"

#include <QAtomicInt>
#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QUrl>

MafwPlaylist::MafwPlaylist(const QString& id, QObject* parent)
    : QObject(parent)
    , m_id(id)
    , m_repeat(RepeatOff)
    , m_currentIndex(-1)
{
}

MafwPlaylist::~MafwPlaylist() = default;

QString MafwPlaylist::getNewPlaylistId()
{
    static QAtomicInt counter;
    return QStringLiteral("playlist-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1) + 1);
}

QString MafwPlaylist::id() const
{
    return m_id;
}

int MafwPlaylist::count() const
{
    return 0;
}

QUrl MafwPlaylist::url(int) const
{
    return QUrl();
}

QAbstractItemModel* MafwPlaylist::itemModel() const
{
    return nullptr;
}

void MafwPlaylist::setRepeat(int mode)
{
    m_repeat = mode;
}

int MafwPlaylist::repeat() const
{
    return m_repeat;
}

int MafwPlaylist::currentIndex() const
{
    return m_current.isValid() ? m_current.row() : m_currentIndex;
}

void MafwPlaylist::setCurrentIndex(int index)
{
    m_currentIndex = index;
    QAbstractItemModel* model = itemModel();
    m_current = model && index >= 0 ? QPersistentModelIndex(model->index(index, 0))
                                    : QPersistentModelIndex();
}
