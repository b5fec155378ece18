#ifndef MAFWGENERALSOURCEPLAYLIST_H
#define MAFWGENERALSOURCEPLAYLIST_H

#include "mafwplaylist.h"

#include <QSharedPointer>

class QAbstractItemModel;

// A playlist whose items are the rows of an item model (the play queue). A row plays through
// the cell of the column headed "url" when the model has one, else through the row's
// Mafw::UrlRole value in column 0.
class MafwGeneralSourcePlaylist : public MafwPlaylist
{
public:
    MafwGeneralSourcePlaylist(const QString& id, const QString& name, const QString& sourceId,
                              QObject* parent = nullptr);
    ~MafwGeneralSourcePlaylist() override;

    QString name() const;
    QString sourceId() const;

    void setUnderlyingModel(QSharedPointer<QAbstractItemModel> model);
    QSharedPointer<QAbstractItemModel> underlyingModel() const;

    int count() const override;
    QUrl url(int index) const override;
    QAbstractItemModel* itemModel() const override;

private:
    int urlColumn() const;

    QString m_name;
    QString m_sourceId;
    QSharedPointer<QAbstractItemModel> m_model;
};

#endif // MAFWGENERALSOURCEPLAYLIST_H
