#ifndef LISTMODEL_H
#define LISTMODEL_H

#include "mabstractitemmodel.h"
#include "mcollator.h"
#include "mlocale.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>

class MGConfItem;

// Adapts a flat source model to the grouped list: grouped, the rows gather under the index
// letter of their key column's text in the collation locale (or under the exact key text);
// flat, they pass through one to one. Groups are kept in collation order and the rows of a
// group in source order; source changes are applied item by item, so a list can animate a
// single change. The value of source column c is read with the role Qt::UserRole + c.
class ListModel : public MAbstractItemModel
{
    Q_OBJECT

public:
    ListModel(bool grouped, QObject* parent);
    ~ListModel() override;

    void setSourceModel(QSharedPointer<QAbstractItemModel> model);
    // The first column is the group key; in exact-title mode a second one may name a date
    // column whose first valid value is kept with each group.
    void setKeyColumns(const QList<int>& columns, bool exactTitles);

    int mapToSourceRow(const QModelIndex& index) const;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const;
    // Announces a change of the items from topLeft to bottomRight (in list order) when both
    // are items of this model.
    void emitRowChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    int groupCount() const override;
    int rowCountInGroup(int group) const override;
    QString groupTitle(int group) const override;
    QVariant itemData(int row, int group, int role) const override;

protected:
    void groupingChanged() override;

private slots:
    void handleRowsInserted(const QModelIndex& parent, int start, int end);
    void handleRowsRemoved(const QModelIndex& parent, int start, int end);
    void handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void handleModelReset();
    void handleLayoutChanged();
    void handleSourceLayoutAboutToBeChanged();
    void handleSourceLayoutChanged();
    void handleRegionChanged();
    void trackBase();
    void baseRowsAboutToBeInserted(const QModelIndex& parent, int first, int last);
    void baseRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void baseDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void forgetBaseTitles();

private:
    struct HeaderItem;

    QString titleOf(int sourceRow) const;
    // titleOf(), remembered by the row of the base model.
    QString titleFor(int sourceRow) const;
    HeaderItem* newGroup(const QString& title, int sourceRow) const;
    bool groupBefore(const HeaderItem* a, const HeaderItem* b) const;
    void insertSourceRows(int start, int end);
    void rebuild();
    void clearGroups();
    int sourceRowCount() const;
    bool changeFitsSource(int change);
    void groupAndPositionOf(const QModelIndex& index, int* group, int* position) const;

    QSharedPointer<QAbstractItemModel> source;
    QList<int> keyColumns;
    bool exactTitles;
    QList<HeaderItem*> groups;
    QHash<QString, HeaderItem*> groupsByTitle;
    MGConfItem* collateSetting;
    MLocale locale;
    MCollator collator;      // primary strength: the index letters
    MCollator groupCollator; // the locale's default strength: the order of the groups
    QStringList exemplars;
    int rows; // the source's row count as far as announced
    // The index letter of every row of the base model (the source, or the model below it when
    // the source is a proxy such as the search proxy), as an index into baseTitles; -1 when
    // not known yet. A filter keystroke regroups the rows that stay without asking the
    // collation or even the row's text again.
    QPointer<QAbstractItemModel> base;
    mutable QVector<int> baseTitleOf;
    mutable QStringList baseTitles;
    mutable QHash<QString, int> baseTitleIds;
    bool sourceChanging; // between the source's layoutAboutToBeChanged() and layoutChanged()
};

#endif // LISTMODEL_H
