#include "twinturbosortfilterproxymodel.h"

#include "mcollator.h"
#include "mlocale.h"

#include <QDateTime>
#include <QRegExp>
#include <QStringView>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cstring>

namespace {

// The column that the song models keep their tracker id in; its values sort as numbers.
const int IntegerSortColumn = 8;

const QChar Tab(QLatin1Char('\t'));
// Rows whose search texts one thread makes at a time.
const int RowsPerJob = 4096;
// How long the source stays still before its search texts are made: longer than the pauses
// between the batches of a list that grows while the library is indexed (at most two seconds
// in a large library), so that the texts of every row are not made again after each batch.
const int PrepareDelayMs = 2500;

// QString::toCaseFolded() in place, with the common ASCII letters done at once.
void foldCase(QString* text)
{
    QChar* c = text->data();
    const int n = text->size();
    for (int i = 0; i < n; ++i) {
        const ushort u = c[i].unicode();
        if (u < 0x80) {
            if (u >= 'A' && u <= 'Z')
                c[i] = QChar(ushort(u + 32));
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && c[i + 1].isLowSurrogate()) {
            const uint folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c[i], c[i + 1]));
            c[i] = QChar(QChar::highSurrogate(folded));
            c[i + 1] = QChar(QChar::lowSurrogate(folded));
            ++i;
        } else {
            c[i] = c[i].toCaseFolded();
        }
    }
}

// Whether the text holds the pattern, code unit for code unit. Most typed patterns are a
// letter or two, for which a general string search is slow: each place of the first letter is
// found by a vectorised scan and the rest compared there.
bool contains(const QString& text, const QString& pattern)
{
    const int m = pattern.size();
    if (m == 0)
        return true;
    const QStringView view(text);
    const QChar* rest = pattern.constData() + 1;
    for (qsizetype at = view.indexOf(pattern.at(0)); at >= 0 && at <= text.size() - m;
         at = view.indexOf(pattern.at(0), at + 1)) {
        if (std::memcmp(text.constData() + at + 1, rest, size_t(m - 1) * sizeof(QChar)) == 0)
            return true;
    }
    return false;
}

// The texts of a row's search columns joined by line breaks (no typed filter holds one, so a
// match cannot run from one column into the next) and case-folded; null for no text at all.
QString joinedAndFolded(const QString* parts, int count)
{
    int length = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (!parts[i].isNull()) {
            length += parts[i].size() + 1;
            any = true;
        }
    }
    if (!any)
        return QString();
    QString joined;
    joined.reserve(length);
    for (int i = 0; i < count; ++i) {
        if (!parts[i].isNull()) {
            joined += parts[i];
            joined += QLatin1Char('\n');
        }
    }
    foldCase(&joined);
    return joined;
}

} // namespace

TwinTurboSortFilterProxyModel::TwinTurboSortFilterProxyModel(QObject* parent)
    : QAbstractProxyModel(parent)
    , regExp(QString(), Qt::CaseInsensitive)
    , idColumn(0)
{
    // The texts are made once the source has been still for a moment, so that the first
    // keystroke finds them ready.
    prepareTimer.setSingleShot(true);
    prepareTimer.setInterval(PrepareDelayMs);
    connect(&prepareTimer, &QTimer::timeout, this, [this] {
        if (!searchTextsValid && source() && source()->rowCount() > 0 && !searchColumns.isEmpty())
            makeSearchTexts();
    });
}

TwinTurboSortFilterProxyModel::~TwinTurboSortFilterProxyModel() = default;

QAbstractItemModel* TwinTurboSortFilterProxyModel::source() const
{
    return sourceGone ? nullptr : sourceModel();
}

QModelIndex TwinTurboSortFilterProxyModel::index(int row, int column,
                                                 const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex TwinTurboSortFilterProxyModel::parent(const QModelIndex&) const
{
    return QModelIndex();
}

int TwinTurboSortFilterProxyModel::rowCount(const QModelIndex& parent) const
{
    QAbstractItemModel* model = source();
    if (parent.isValid() || !model)
        return 0;
    return filtering ? shown.size() : model->rowCount();
}

int TwinTurboSortFilterProxyModel::columnCount(const QModelIndex& parent) const
{
    QAbstractItemModel* model = source();
    return parent.isValid() || !model ? 0 : model->columnCount();
}

bool TwinTurboSortFilterProxyModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && rowCount() > 0 && columnCount() > 0;
}

QModelIndex TwinTurboSortFilterProxyModel::sibling(int row, int column,
                                                   const QModelIndex& index) const
{
    return index.isValid() ? this->index(row, column) : QModelIndex();
}

QModelIndex TwinTurboSortFilterProxyModel::mapToSource(const QModelIndex& proxyIndex) const
{
    QAbstractItemModel* model = source();
    if (!model || !proxyIndex.isValid() || proxyIndex.model() != this)
        return QModelIndex();
    const int row = proxyIndex.row();
    if (!filtering)
        return model->index(row, proxyIndex.column());
    return row < shown.size() ? model->index(shown.at(row), proxyIndex.column()) : QModelIndex();
}

QModelIndex TwinTurboSortFilterProxyModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    QAbstractItemModel* model = source();
    if (!model || !sourceIndex.isValid() || sourceIndex.model() != model
        || sourceIndex.parent().isValid())
        return QModelIndex();
    if (!filtering)
        return index(sourceIndex.row(), sourceIndex.column());
    if (sortColumn >= 0) {
        const int at = shown.indexOf(sourceIndex.row());
        return at < 0 ? QModelIndex() : index(at, sourceIndex.column());
    }
    const int at = shownFrom(sourceIndex.row());
    if (at >= shown.size() || shown.at(at) != sourceIndex.row())
        return QModelIndex();
    return index(at, sourceIndex.column());
}

QVariant TwinTurboSortFilterProxyModel::headerData(int section, Qt::Orientation orientation,
                                                   int role) const
{
    QAbstractItemModel* model = source();
    if (!model)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return model->headerData(section, orientation, role);
    const QModelIndex row = mapToSource(index(section, 0));
    return row.isValid() ? model->headerData(row.row(), orientation, role)
                         : QAbstractItemModel::headerData(section, orientation, role);
}

int TwinTurboSortFilterProxyModel::shownFrom(int sourceRow) const
{
    return int(std::lower_bound(shown.cbegin(), shown.cend(), sourceRow) - shown.cbegin());
}

QVariant TwinTurboSortFilterProxyModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::UserRole || !source())
        return QAbstractProxyModel::data(index, role);
    if (!searchColumns.contains(index.column()))
        return QVariant();
    return mapToSource(index).data(Qt::DisplayRole);
}

bool TwinTurboSortFilterProxyModel::setData(const QModelIndex& index, const QVariant& value,
                                            int role)
{
    if (!QAbstractProxyModel::setData(index, value, role))
        return false;
    emit dataChanged(index, index);
    return true;
}

void TwinTurboSortFilterProxyModel::setSourceModel(QAbstractItemModel* model)
{
    beginResetModel();
    if (QAbstractItemModel* old = source())
        disconnect(old, nullptr, this, nullptr);
    sourceGone = false;
    dropSearchTexts();
    // The kept search texts go before the rows are passed on, so that a row is never filtered
    // by the text of another one: these connections are made first.
    if (model) {
        connect(model, SIGNAL(rowsAboutToBeInserted(QModelIndex, int, int)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(rowsAboutToBeRemoved(QModelIndex, int, int)), this,
                SLOT(dropRemovedSearchTexts(QModelIndex, int, int)));
        connect(model, SIGNAL(rowsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int)), this,
                SLOT(dropSearchTexts()));
        connect(model, SIGNAL(dataChanged(QModelIndex, QModelIndex)), this,
                SLOT(renewSearchTexts(QModelIndex, QModelIndex)));
        connect(model, SIGNAL(modelAboutToBeReset()), this, SLOT(dropSearchTexts()));
        connect(model, SIGNAL(layoutAboutToBeChanged()), this, SLOT(dropSearchTexts()));

        connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this,
                &TwinTurboSortFilterProxyModel::sourceRowsAboutToBeInserted);
        connect(model, &QAbstractItemModel::rowsInserted, this,
                &TwinTurboSortFilterProxyModel::sourceRowsInserted);
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                &TwinTurboSortFilterProxyModel::sourceRowsAboutToBeRemoved);
        connect(model, &QAbstractItemModel::rowsRemoved, this,
                &TwinTurboSortFilterProxyModel::sourceRowsRemoved);
        connect(model, &QAbstractItemModel::dataChanged, this,
                &TwinTurboSortFilterProxyModel::sourceDataChanged);
        connect(model, &QAbstractItemModel::headerDataChanged, this,
                &TwinTurboSortFilterProxyModel::sourceHeaderDataChanged);
        // Moved rows and changed columns are rare in a list: the rows are taken anew.
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this,
                &TwinTurboSortFilterProxyModel::sourceLayoutAboutToBeChanged);
        connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this,
                &TwinTurboSortFilterProxyModel::sourceLayoutAboutToBeChanged);
        connect(model, &QAbstractItemModel::layoutChanged, this,
                &TwinTurboSortFilterProxyModel::sourceLayoutChanged);
        connect(model, &QAbstractItemModel::rowsMoved, this,
                &TwinTurboSortFilterProxyModel::sourceLayoutChanged);
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
                &TwinTurboSortFilterProxyModel::sourceAboutToBeReset);
        connect(model, &QAbstractItemModel::modelReset, this,
                &TwinTurboSortFilterProxyModel::sourceReset);
        connect(model, &QAbstractItemModel::columnsAboutToBeInserted, this,
                &TwinTurboSortFilterProxyModel::sourceAboutToBeReset);
        connect(model, &QAbstractItemModel::columnsAboutToBeRemoved, this,
                &TwinTurboSortFilterProxyModel::sourceAboutToBeReset);
        connect(model, &QAbstractItemModel::columnsAboutToBeMoved, this,
                &TwinTurboSortFilterProxyModel::sourceAboutToBeReset);
        connect(model, &QAbstractItemModel::columnsInserted, this,
                &TwinTurboSortFilterProxyModel::sourceReset);
        connect(model, &QAbstractItemModel::columnsRemoved, this,
                &TwinTurboSortFilterProxyModel::sourceReset);
        connect(model, &QAbstractItemModel::columnsMoved, this,
                &TwinTurboSortFilterProxyModel::sourceReset);
    }
    QAbstractProxyModel::setSourceModel(model);
    // After the base's own connection: the base lets go of the source first.
    if (model)
        connect(model, &QObject::destroyed, this, &TwinTurboSortFilterProxyModel::sourceDestroyed);
    filterAll();
    endResetModel();
    emit sourceModelChanged();
}

void TwinTurboSortFilterProxyModel::filterAll()
{
    shown.clear();
    QAbstractItemModel* model = source();
    filtering = !expression.isEmpty() || !excludedIds.isEmpty() || sortColumn >= 0;
    if (!filtering || !model)
        return;
    const int rows = model->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (filterAcceptsRow(row, QModelIndex()))
            shown.append(row);
    }
    if (sortColumn < 0 || sortColumn >= model->columnCount())
        return;
    const int column = sortColumn;
    const bool ascending = sortOrder == Qt::AscendingOrder;
    std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
        const QModelIndex left = model->index(a, column);
        const QModelIndex right = model->index(b, column);
        return ascending ? lessThan(left, right) : lessThan(right, left);
    });
}

void TwinTurboSortFilterProxyModel::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged();
    saveLayout();
    sortColumn = column;
    sortOrder = order;
    filterAll();
    restoreLayout();
    emit layoutChanged();
}

void TwinTurboSortFilterProxyModel::sourceRowsAboutToBeInserted(const QModelIndex& parent,
                                                                int first, int last)
{
    if (parent.isValid() || layoutDepth > 0)
        return;
    if (sortColumn >= 0)
        beginResetModel();
    else if (!filtering)
        beginInsertRows(QModelIndex(), first, last);
}

void TwinTurboSortFilterProxyModel::sourceRowsInserted(const QModelIndex& parent, int first,
                                                       int last)
{
    if (parent.isValid() || layoutDepth > 0)
        return;
    if (sortColumn >= 0) {
        filterAll();
        endResetModel();
        return;
    }
    if (!filtering) {
        endInsertRows();
        return;
    }
    const int count = last - first + 1;
    const int at = shownFrom(first);
    for (int i = at; i < shown.size(); ++i)
        shown[i] += count;
    QVector<int> accepted;
    for (int row = first; row <= last; ++row) {
        if (filterAcceptsRow(row, QModelIndex()))
            accepted.append(row);
    }
    if (accepted.isEmpty())
        return;
    beginInsertRows(QModelIndex(), at, at + accepted.size() - 1);
    shown.insert(at, accepted.size(), 0);
    std::copy(accepted.cbegin(), accepted.cend(), shown.begin() + at);
    endInsertRows();
}

void TwinTurboSortFilterProxyModel::sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first,
                                                               int last)
{
    if (parent.isValid() || layoutDepth > 0)
        return;
    if (sortColumn >= 0) {
        beginResetModel();
        return;
    }
    if (!filtering) {
        beginRemoveRows(QModelIndex(), first, last);
        return;
    }
    // The shown rows among the ones going leave now, while the source still has them.
    const int from = shownFrom(first);
    const int to = shownFrom(last + 1);
    if (from < to) {
        beginRemoveRows(QModelIndex(), from, to - 1);
        shown.remove(from, to - from);
        endRemoveRows();
    }
}

void TwinTurboSortFilterProxyModel::sourceRowsRemoved(const QModelIndex& parent, int first,
                                                      int last)
{
    if (parent.isValid() || layoutDepth > 0)
        return;
    if (sortColumn >= 0) {
        filterAll();
        endResetModel();
        return;
    }
    if (!filtering) {
        endRemoveRows();
        return;
    }
    const int count = last - first + 1;
    for (int i = shownFrom(first); i < shown.size(); ++i)
        shown[i] -= count;
}

void TwinTurboSortFilterProxyModel::sourceDataChanged(const QModelIndex& topLeft,
                                                      const QModelIndex& bottomRight,
                                                      const QVector<int>& roles)
{
    if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.parent().isValid()
        || layoutDepth > 0)
        return;
    int from = topLeft.row();
    int to = bottomRight.row();
    if (sortColumn >= 0 && dynamic) {
        emit layoutAboutToBeChanged();
        saveLayout();
        filterAll();
        restoreLayout();
        emit layoutChanged();
    }
    if (filtering && sortColumn < 0 && dynamic) {
        // A changed row may now match, or no longer: it comes or goes where it stands.
        for (int row = from; row <= to; ++row) {
            const bool accepted = filterAcceptsRow(row, QModelIndex());
            const int at = shownFrom(row);
            const bool held = at < shown.size() && shown.at(at) == row;
            if (held && !accepted) {
                beginRemoveRows(QModelIndex(), at, at);
                shown.remove(at);
                endRemoveRows();
            } else if (!held && accepted) {
                beginInsertRows(QModelIndex(), at, at);
                shown.insert(at, row);
                endInsertRows();
            }
        }
    }
    if (sortColumn >= 0) {
        for (int row = from; row <= to; ++row) {
            const QModelIndex left = mapFromSource(topLeft.sibling(row, topLeft.column()));
            if (left.isValid())
                emit dataChanged(left, index(left.row(), bottomRight.column()), roles);
        }
        return;
    }
    if (filtering) {
        from = shownFrom(from);
        to = shownFrom(to + 1) - 1;
    }
    if (from <= to)
        emit dataChanged(index(from, topLeft.column()), index(to, bottomRight.column()), roles);
}

void TwinTurboSortFilterProxyModel::sourceHeaderDataChanged(Qt::Orientation orientation, int first,
                                                            int last)
{
    if (orientation == Qt::Horizontal)
        emit headerDataChanged(orientation, first, last);
    else if (rowCount() > 0)
        emit headerDataChanged(orientation, 0, rowCount() - 1);
}

void TwinTurboSortFilterProxyModel::saveLayout()
{
    layoutProxy = persistentIndexList();
    layoutSource.clear();
    for (const QModelIndex& index : qAsConst(layoutProxy))
        layoutSource.append(QPersistentModelIndex(mapToSource(index)));
}

void TwinTurboSortFilterProxyModel::restoreLayout()
{
    QModelIndexList now;
    now.reserve(layoutSource.size());
    for (const QPersistentModelIndex& index : qAsConst(layoutSource))
        now.append(mapFromSource(index));
    changePersistentIndexList(layoutProxy, now);
    layoutProxy.clear();
    layoutSource.clear();
}

void TwinTurboSortFilterProxyModel::sourceLayoutAboutToBeChanged()
{
    if (layoutDepth++ > 0)
        return;
    emit layoutAboutToBeChanged();
    saveLayout();
}

void TwinTurboSortFilterProxyModel::sourceLayoutChanged()
{
    if (layoutDepth == 0 || --layoutDepth > 0)
        return;
    filterAll();
    restoreLayout();
    emit layoutChanged();
}

void TwinTurboSortFilterProxyModel::sourceAboutToBeReset()
{
    if (layoutDepth++ > 0)
        return;
    beginResetModel();
}

void TwinTurboSortFilterProxyModel::sourceReset()
{
    if (layoutDepth == 0 || --layoutDepth > 0)
        return;
    filterAll();
    endResetModel();
}

void TwinTurboSortFilterProxyModel::sourceDestroyed()
{
    // The source is past its own destructor here: nothing of it is asked again, and the base
    // has already let go of it.
    beginResetModel();
    sourceGone = true;
    shown.clear();
    searchTexts.clear();
    searchTextsValid = false;
    layoutDepth = 0;
    endResetModel();
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
    if (source())
        prepareTimer.start();
}

void TwinTurboSortFilterProxyModel::dropRemovedSearchTexts(const QModelIndex& parent, int first,
                                                           int last)
{
    if (!searchTextsValid || parent.isValid() || first < 0 || last >= searchTexts.size()) {
        dropSearchTexts();
        return;
    }
    searchTexts.remove(first, last - first + 1);
}

void TwinTurboSortFilterProxyModel::renewSearchTexts(const QModelIndex& topLeft,
                                                     const QModelIndex& bottomRight)
{
    // A changed song (a play count, a mark) keeps the texts of the others.
    const int first = topLeft.row(), last = bottomRight.row();
    if (!searchTextsValid || topLeft.parent().isValid() || first < 0 || last >= searchTexts.size()
        || last - first > 64) {
        dropSearchTexts();
        return;
    }
    for (int row = first; row <= last; ++row)
        searchTexts[row] = searchTextOf(row);
}

void TwinTurboSortFilterProxyModel::searchPartsOf(int sourceRow, QString* parts) const
{
    QAbstractItemModel* model = source();
    for (int c = 0; c < searchColumns.size(); ++c) {
        const int column = searchColumns.at(c);
        QString text = model->index(sourceRow, column).data(Qt::DisplayRole).toString();
        if (text.contains(Tab)) {
            const QString header = model->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                       .toString();
            if (header == QLatin1String("artistName")) {
                QStringList names = text.split(Tab);
                names.removeDuplicates();
                text = names.size() == 1 ? names.first() : qtTrId("qtn_musi_various_artist");
            } else if (header != QLatin1String("albumName")) {
                text = QString(); // the column is skipped
            }
        } else if (text.isNull()) {
            text = QLatin1String("");
        }
        parts[c] = text;
    }
}

QString TwinTurboSortFilterProxyModel::searchTextOf(int sourceRow) const
{
    QVector<QString> parts(searchColumns.size());
    searchPartsOf(sourceRow, parts.data());
    return joinedAndFolded(parts.constData(), parts.size());
}

void TwinTurboSortFilterProxyModel::makeSearchTexts() const
{
    // The model is read here, on its own thread; the texts are joined and folded on several
    // (the costly part, a few microseconds a row).
    const int rows = source()->rowCount();
    const int columns = searchColumns.size();
    QVector<QString> parts(rows * columns);
    for (int row = 0; row < rows; ++row)
        searchPartsOf(row, parts.data() + row * columns);
    searchTexts = QVector<QString>(rows);
    QString* texts = searchTexts.data();
    const QString* all = parts.constData();
    QVector<QFuture<void>> jobs;
    for (int first = 0; first < rows; first += RowsPerJob) {
        const int end = qMin(rows, first + RowsPerJob);
        jobs.append(QtConcurrent::run([texts, all, columns, first, end] {
            for (int row = first; row < end; ++row)
                texts[row] = joinedAndFolded(all + row * columns, columns);
        }));
    }
    for (QFuture<void>& job : jobs)
        job.waitForFinished();
    searchTextsValid = true;
}

void TwinTurboSortFilterProxyModel::setExcludedIds(const QList<int>& ids, int column)
{
    beginResetModel();
    excludedIds = QSet<int>(ids.cbegin(), ids.cend());
    idColumn = column;
    filterAll();
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
    saveLayout();
    int lead = 0;
    while (lead < regexp.size() && regexp.at(lead) == QLatin1Char(' '))
        ++lead;
    expression = regexp;
    QString folded = regexp.mid(lead);
    foldCase(&folded);
    pattern = folded;
    regExp = QRegExp(regexp, Qt::CaseInsensitive);
    filterAll();
    restoreLayout();
    emit layoutChanged();
}

bool TwinTurboSortFilterProxyModel::filterAcceptsRow(int sourceRow,
                                                     const QModelIndex& sourceParent) const
{
    QAbstractItemModel* model = source();
    const bool atRoot = model && !sourceParent.isValid();
    if (!excludedIds.isEmpty() && atRoot) {
        const int id = model->index(sourceRow, idColumn).data(Qt::DisplayRole).toInt();
        if (excludedIds.contains(id))
            return false;
    }

    if (expression.isEmpty())
        return true;
    if (!atRoot)
        return false;

    if (!searchTextsValid)
        makeSearchTexts();
    // A pattern without spaces is looked for in every word of the text, a pattern with spaces
    // in the whole text: both come down to the text containing the pattern.
    if (sourceRow < searchTexts.size()) {
        const QString& text = searchTexts.at(sourceRow);
        return !text.isNull() && contains(text, pattern);
    }
    const QString text = searchTextOf(sourceRow);
    return !text.isNull() && contains(text, pattern);
}

bool TwinTurboSortFilterProxyModel::lessThan(const QModelIndex& left,
                                             const QModelIndex& right) const
{
    const QVariant l = left.data(Qt::DisplayRole);
    const QVariant r = right.data(Qt::DisplayRole);
    if (left.column() == IntegerSortColumn)
        return l.toInt() < r.toInt();
    const int type = l.userType();
    if (type == QMetaType::QString && r.userType() == QMetaType::QString)
        return MLocale().collator()(l.toString(), r.toString());
    if (!l.isValid() || !r.isValid())
        return !l.isValid() && r.isValid();
    switch (type) {
    case QMetaType::QDateTime:
        return l.toDateTime() < r.toDateTime();
    case QMetaType::QDate:
        return l.toDate() < r.toDate();
    case QMetaType::QTime:
        return l.toTime() < r.toTime();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return l.toDouble() < r.toDouble();
    default:
        return l.toString().localeAwareCompare(r.toString()) < 0;
    }
}
