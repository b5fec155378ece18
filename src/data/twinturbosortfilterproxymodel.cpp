#include "twinturbosortfilterproxymodel.h"

#include "mcollator.h"
#include "mlocale.h"

#include <QRegExp>

namespace {

// The column that the song models keep their tracker id in; its values sort as numbers.
const int IntegerSortColumn = 8;

const QChar Tab(QLatin1Char('\t'));

} // namespace

TwinTurboSortFilterProxyModel::TwinTurboSortFilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , idColumn(0)
{
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
}

TwinTurboSortFilterProxyModel::~TwinTurboSortFilterProxyModel() = default;

QVariant TwinTurboSortFilterProxyModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::UserRole || !sourceModel())
        return QSortFilterProxyModel::data(index, role);
    if (!searchColumns.contains(index.column()))
        return QVariant();
    return mapToSource(index).data(Qt::DisplayRole);
}

bool TwinTurboSortFilterProxyModel::setData(const QModelIndex& index, const QVariant& value,
                                            int role)
{
    if (!QSortFilterProxyModel::setData(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

void TwinTurboSortFilterProxyModel::setSourceModel(QAbstractItemModel* model)
{
    // The kept search texts go before the base hears of any change, so that it never filters
    // a row by the text of another one: these connections are made before the base's own.
    if (QAbstractItemModel* old = sourceModel())
        disconnect(old, nullptr, this, SLOT(dropSearchTexts()));
    dropSearchTexts();
    if (model) {
        connect(model, SIGNAL(rowsAboutToBeInserted(QModelIndex, int, int)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(rowsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(dataChanged(QModelIndex, QModelIndex)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(modelAboutToBeReset()), this, SLOT(dropSearchTexts()));
        connect(model, SIGNAL(layoutAboutToBeChanged()), this, SLOT(dropSearchTexts()));
    }
    QSortFilterProxyModel::setSourceModel(model);
    emit sourceModelChanged();
}

void TwinTurboSortFilterProxyModel::setSearchColumns(const QList<int>& columns)
{
    searchColumns = columns;
    dropSearchTexts();
}

void TwinTurboSortFilterProxyModel::dropSearchTexts()
{
    searchTextsValid = false;
    searchTexts.clear();
}

QString TwinTurboSortFilterProxyModel::searchTextOf(int sourceRow) const
{
    QAbstractItemModel* source = sourceModel();
    QString joined; // stays null when no column is searched
    for (int column : searchColumns) {
        QString text = source->index(sourceRow, column).data(Qt::DisplayRole).toString();
        if (text.contains(Tab)) {
            const QString header = source->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                       .toString();
            if (header == QLatin1String("artistName")) {
                QStringList names = text.split(Tab);
                names.removeDuplicates();
                text = names.size() == 1 ? names.first() : qtTrId("qtn_musi_various_artist");
            } else if (header != QLatin1String("albumName")) {
                continue;
            }
        }
        // A line break keeps a match from running from one column into the next: no typed
        // filter holds one.
        joined += text;
        joined += QLatin1Char('\n');
    }
    return joined;
}

void TwinTurboSortFilterProxyModel::setExcludedIds(const QList<int>& ids, int column)
{
    beginResetModel();
    excludedIds = QSet<int>(ids.cbegin(), ids.cend());
    idColumn = column;
    endResetModel();
}

void TwinTurboSortFilterProxyModel::emitItemChanged(const QModelIndex& index)
{
    if (index.isValid())
        emit dataChanged(index, index);
}

QModelIndex TwinTurboSortFilterProxyModel::findRowByText(QAbstractItemModel* model,
                                                         const QString& text)
{
    if (!model)
        return QModelIndex();
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data(Qt::DisplayRole).toString() == text)
            return index;
    }
    return QModelIndex();
}

void TwinTurboSortFilterProxyModel::setFilterExpression(QString regexp)
{
    emit layoutAboutToBeChanged();
    // Re-filtering in place costs the base a pass over its whole mapping for every run of rows
    // that comes or goes: most of a second per keystroke in a large library. Its mapping is
    // dropped and built anew under the new expression instead; the layout change announced
    // around this stands for the base's own signals.
    const bool blocked = blockSignals(true);
    invalidate();
    // Asking the base for its expression copies a regular expression, and a plain
    // case-insensitive search builds its tables anew: once per row and column that would cost
    // more than the search itself.
    int lead = 0;
    while (lead < regexp.size() && regexp.at(lead) == QLatin1Char(' '))
        ++lead;
    expression = regexp;
    pattern = QStringMatcher(regexp.mid(lead), Qt::CaseInsensitive);
    setFilterRegExp(regexp);
    blockSignals(blocked);
    emit layoutChanged();
}

bool TwinTurboSortFilterProxyModel::filterAcceptsRow(int sourceRow,
                                                     const QModelIndex& sourceParent) const
{
    QAbstractItemModel* source = sourceModel();
    const bool atRoot = source && !sourceParent.isValid();
    if (!excludedIds.isEmpty() && atRoot) {
        const int id = source->index(sourceRow, idColumn).data(Qt::DisplayRole).toInt();
        if (excludedIds.contains(id))
            return false;
    }

    if (expression.isEmpty())
        return true;
    if (!atRoot)
        return false;

    if (!searchTextsValid) {
        const int rows = source->rowCount();
        searchTexts.resize(rows);
        for (int row = 0; row < rows; ++row)
            searchTexts[row] = searchTextOf(row);
        searchTextsValid = true;
    }
    // A pattern without spaces is looked for in every word of the text, a pattern with spaces
    // in the whole text: both come down to the text containing the pattern.
    const QString text = sourceRow < searchTexts.size() ? searchTexts.at(sourceRow)
                                                        : searchTextOf(sourceRow);
    return !text.isNull() && pattern.indexIn(text) >= 0;
}

bool TwinTurboSortFilterProxyModel::lessThan(const QModelIndex& left,
                                             const QModelIndex& right) const
{
    const QVariant l = left.data(Qt::DisplayRole);
    const QVariant r = right.data(Qt::DisplayRole);
    if (left.column() == IntegerSortColumn)
        return l.toInt() < r.toInt();
    if (l.userType() == QMetaType::QString && r.userType() == QMetaType::QString)
        return MLocale().collator()(l.toString(), r.toString());
    return QSortFilterProxyModel::lessThan(left, right);
}
