#ifndef TWINTURBOSORTFILTERPROXYMODEL_H
#define TWINTURBOSORTFILTERPROXYMODEL_H

#include <QAbstractProxyModel>
#include <QList>
#include <QPersistentModelIndex>
#include <QRegExp>
#include <QSet>
#include <QTimer>
#include <QVector>

// The search proxy of the library lists: keeps the rows whose search columns contain the
// typed text (case-insensitively, a text with spaces as a phrase) and hides the rows whose
// tracker id is excluded, in the source's order or, once sort() is called, by the locale's
// collation (the id column as integers). Qt::UserRole on a search column answers the source's
// display text.
// The search text is given with setFilterExpression(), which filterRegExp() then answers; a
// new expression is announced as a layout change. Rows are filtered when they come, when the
// expression changes and, unless told otherwise, when their data changes.
//
// Unsorted, with no expression and no excluded id, the proxy passes the source's rows through as
// they are, and a row that comes or goes costs it nothing more than passing the signal on: a list
// that grows by thousands of rows at scattered places (a first index of a large library) is
// then followed in time linear in the rows. A general sorting filter proxy keeps a mapping
// that it goes through whole for each run of rows that comes, which made such an index cost
// the window's thread time growing with the square of the library.
class TwinTurboSortFilterProxyModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit TwinTurboSortFilterProxyModel(QObject* parent = 0);
    ~TwinTurboSortFilterProxyModel() override;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Sorts by the column (-1: the source's order); rows that come later take their places.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    void setSourceModel(QAbstractItemModel* model) override;

    void setSearchColumns(const QList<int>& columns);
    void setExcludedIds(const QList<int>& ids, int idColumn);
    void emitItemChanged(const QModelIndex& index);
    // The expression last given to setFilterExpression(), case-insensitive.
    QRegExp filterRegExp() const { return regExp; }
    // Whether a row whose data changes is filtered and sorted again (by default it is).
    void setDynamicSortFilter(bool enable) { dynamic = enable; }

    static QModelIndex findRowByText(QAbstractItemModel* model, const QString& text);

public slots:
    void setFilterExpression(QString regexp);

signals:
    void sourceModelChanged();

private slots:
    void dropSearchTexts();
    void dropRemovedSearchTexts(const QModelIndex& parent, int first, int last);
    void renewSearchTexts(const QModelIndex& topLeft, const QModelIndex& bottomRight);

    void sourceRowsAboutToBeInserted(const QModelIndex& parent, int first, int last);
    void sourceRowsInserted(const QModelIndex& parent, int first, int last);
    void sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex& parent, int first, int last);
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QVector<int>& roles);
    void sourceHeaderDataChanged(Qt::Orientation orientation, int first, int last);
    void sourceLayoutAboutToBeChanged();
    void sourceLayoutChanged();
    void sourceAboutToBeReset();
    void sourceReset();
    void sourceDestroyed();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const;

private:
    // What the filter looks in for one source row: its search columns' texts, one per line,
    // case-folded; the texts themselves (null for a column skipped); all rows' texts at once.
    QString searchTextOf(int sourceRow) const;
    void searchPartsOf(int sourceRow, QString* parts) const;
    void makeSearchTexts() const;

    QAbstractItemModel* source() const;
    // Filters every source row anew (or passes them all through), for a new expression, new
    // excluded ids, a new source or a source that rearranged its rows.
    void filterAll();
    // The persistent indexes of this model, kept by the source rows they show across a change
    // that rearranges the rows, and set again after it.
    void saveLayout();
    void restoreLayout();
    // The first place in `shown` whose source row is at least `sourceRow`.
    int shownFrom(int sourceRow) const;

    QList<int> searchColumns;
    QString expression; // as given to setFilterExpression()
    QString pattern;    // the expression without its leading spaces, case-folded
    QRegExp regExp;
    QSet<int> excludedIds;
    int idColumn;
    // While an expression or excluded ids are in force, or the rows are sorted: the source rows
    // shown, ascending unless sorted. A sorted proxy takes every change of the source's rows
    // as a reset.
    bool filtering = false;
    int sortColumn = -1;
    bool dynamic = true;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QVector<int> shown;
    bool sourceGone = false;
    QModelIndexList layoutProxy;
    QList<QPersistentModelIndex> layoutSource;
    int layoutDepth = 0;
    // The case-folded search texts of every source row, made at the first filtering and kept
    // until the source changes: a keystroke then reads no model data at all.
    mutable QVector<QString> searchTexts;
    mutable bool searchTextsValid = false;
    QTimer prepareTimer;
};

#endif // TWINTURBOSORTFILTERPROXYMODEL_H
