#ifndef TWINTURBOSORTFILTERPROXYMODEL_H
#define TWINTURBOSORTFILTERPROXYMODEL_H

#include <QList>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QTimer>
#include <QVector>

// The search proxy of the library lists: keeps the rows whose search columns contain the
// typed text (case-insensitively, a text with spaces as a phrase), hides the rows whose
// tracker id is excluded, and sorts by the locale's collation (the id column as integers).
// Qt::UserRole on a search column answers the source's display text.
// The search text is given with setFilterExpression(), which also sets the base's filter
// expression (what filterRegExp() answers); a new expression is announced as a layout change.
class TwinTurboSortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit TwinTurboSortFilterProxyModel(QObject* parent = 0);
    ~TwinTurboSortFilterProxyModel() override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void setSourceModel(QAbstractItemModel* model) override;

    void setSearchColumns(const QList<int>& columns);
    void setExcludedIds(const QList<int>& ids, int idColumn);
    void emitItemChanged(const QModelIndex& index);

    static QModelIndex findRowByText(QAbstractItemModel* model, const QString& text);

public slots:
    void setFilterExpression(QString regexp);

signals:
    void sourceModelChanged();

private slots:
    void dropSearchTexts();
    void dropRemovedSearchTexts(const QModelIndex& parent, int first, int last);
    void renewSearchTexts(const QModelIndex& topLeft, const QModelIndex& bottomRight);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    // What the filter looks in for one source row: its search columns' texts, one per line,
    // case-folded; the texts themselves (null for a column skipped); all rows' texts at once.
    QString searchTextOf(int sourceRow) const;
    void searchPartsOf(int sourceRow, QString* parts) const;
    void makeSearchTexts() const;

    QList<int> searchColumns;
    QString expression; // as given to setFilterExpression()
    QString pattern;    // the expression without its leading spaces, case-folded
    QSet<int> excludedIds;
    int idColumn;
    // The case-folded search texts of every source row, made at the first filtering and kept
    // until the source changes: a keystroke then reads no model data at all.
    mutable QVector<QString> searchTexts;
    mutable bool searchTextsValid = false;
    QTimer prepareTimer;
};

#endif // TWINTURBOSORTFILTERPROXYMODEL_H
