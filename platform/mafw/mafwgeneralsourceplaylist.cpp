#include "mafwgeneralsourceplaylist.h"

#include "mafwurlrole.h"

#include <QAbstractItemModel>
#include <QUrl>

MafwGeneralSourcePlaylist::MafwGeneralSourcePlaylist(const QString& id, const QString& name,
                                                     const QString& sourceId, QObject* parent)
    : MafwPlaylist(id, parent)
    , m_name(name)
    , m_sourceId(sourceId)
{
}

MafwGeneralSourcePlaylist::~MafwGeneralSourcePlaylist() = default;

QString MafwGeneralSourcePlaylist::name() const
{
    return m_name;
}

QString MafwGeneralSourcePlaylist::sourceId() const
{
    return m_sourceId;
}

void MafwGeneralSourcePlaylist::setUnderlyingModel(QSharedPointer<QAbstractItemModel> model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model.data(), nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        QAbstractItemModel* m = m_model.data();
        connect(m, &QAbstractItemModel::rowsInserted, this, &MafwPlaylist::contentsChanged);
        connect(m, &QAbstractItemModel::rowsRemoved, this, &MafwPlaylist::contentsChanged);
        connect(m, &QAbstractItemModel::rowsMoved, this, &MafwPlaylist::contentsChanged);
        connect(m, &QAbstractItemModel::modelReset, this, &MafwPlaylist::contentsChanged);
        connect(m, &QAbstractItemModel::layoutChanged, this, &MafwPlaylist::contentsChanged);
    }
    emit contentsChanged();
}

QSharedPointer<QAbstractItemModel> MafwGeneralSourcePlaylist::underlyingModel() const
{
    return m_model;
}

int MafwGeneralSourcePlaylist::count() const
{
    return m_model ? m_model->rowCount() : 0;
}

QAbstractItemModel* MafwGeneralSourcePlaylist::itemModel() const
{
    return m_model.data();
}

QUrl MafwGeneralSourcePlaylist::url(int index) const
{
    if (!m_model || index < 0 || index >= m_model->rowCount())
        return QUrl();

    // The column is looked up on every call: a tracker model gets its columns only with its
    // first rows, and the play queue changes models underneath.
    QVariant value;
    const int column = urlColumn();
    if (column >= 0)
        value = m_model->index(index, column).data();
    if (!value.isValid() || value.toString().isEmpty())
        value = m_model->index(index, 0).data(Mafw::UrlRole);

    if (value.userType() == QMetaType::QUrl)
        return value.toUrl();
    const QString text = value.toString();
    if (text.isEmpty())
        return QUrl();
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    return QUrl(text, QUrl::TolerantMode);
}

int MafwGeneralSourcePlaylist::urlColumn() const
{
    static const QString urlHeader = QStringLiteral("url");
    const int columns = m_model->columnCount();
    for (int c = 0; c < columns; ++c) {
        if (m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == urlHeader)
            return c;
    }
    return -1;
}
