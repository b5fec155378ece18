#ifndef MABSTRACTITEMMODEL_H
#define MABSTRACTITEMMODEL_H

#include <QAbstractItemModel>

// An item model for lists with section headers. Flat: the root rows are the items. Grouped:
// the root rows are the groups (their display data is the group's title) and each group's
// items are its children. Subclasses answer the four group operations; this class builds
// the indexes from them.
//
// The insert and remove announcements take an "animated" flag that the list may use to
// animate a single change; it is readable with isAnimatedChange() while the announcement's
// signals are delivered.
class MAbstractItemModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit MAbstractItemModel(QObject* parent = 0);
    ~MAbstractItemModel() override;

    bool isGrouped() const;
    void setGrouped(bool grouped);

    virtual int groupCount() const = 0;
    // group -1 (flat mode): the number of items.
    virtual int rowCountInGroup(int group) const = 0;
    virtual QString groupTitle(int group) const = 0;
    // group -1 (flat mode): item row of the flat list.
    virtual QVariant itemData(int row, int group, int role = Qt::DisplayRole) const = 0;

    bool isAnimatedChange() const;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    void beginInsertRows(const QModelIndex& parent, int first, int last, bool animated = false);
    void endInsertRows();
    void beginRemoveRows(const QModelIndex& parent, int first, int last, bool animated = false);
    void endRemoveRows();

    // Called inside the reset that setGrouped() announces, after the mode has changed.
    virtual void groupingChanged();

private:
    bool m_grouped;
    bool m_animated;
};

#endif // MABSTRACTITEMMODEL_H
