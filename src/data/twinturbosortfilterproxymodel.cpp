#include "twinturbosortfilterproxymodel.h"

#include "mcollator.h"
#include "mlocale.h"

#include <QRegExp>
#include <QStringView>
#include <QtConcurrent/QtConcurrentRun>

#include <cstring>

namespace {

// The column that the song models keep their tracker id in; its values sort as numbers.
const int IntegerSortColumn = 8;

const QChar Tab(QLatin1Char('\t'));
// Rows whose search texts one thread makes at a time.
const int RowsPerJob = 4096;
// How long the source stays still before its search texts are made.
const int PrepareDelayMs = 300;

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
    : QSortFilterProxyModel(parent)
    , idColumn(0)
{
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
    // The texts are made once the source has been still for a moment, so that the first
    // keystroke finds them ready.
    prepareTimer.setSingleShot(true);
    prepareTimer.setInterval(PrepareDelayMs);
    connect(&prepareTimer, &QTimer::timeout, this, [this] {
        if (!searchTextsValid && sourceModel() && sourceModel()->rowCount() > 0
            && !searchColumns.isEmpty())
            makeSearchTexts();
    });
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
    if (QAbstractItemModel* old = sourceModel()) {
        disconnect(old, nullptr, this, SLOT(dropSearchTexts()));
        disconnect(old, nullptr, this, SLOT(dropRemovedSearchTexts(QModelIndex, int, int)));
        disconnect(old, nullptr, this, SLOT(renewSearchTexts(QModelIndex, QModelIndex)));
    }
    dropSearchTexts();
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
    if (sourceModel())
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
    QAbstractItemModel* source = sourceModel();
    for (int c = 0; c < searchColumns.size(); ++c) {
        const int column = searchColumns.at(c);
        QString text = source->index(sourceRow, column).data(Qt::DisplayRole).toString();
        if (text.contains(Tab)) {
            const QString header = source->headerData(column, Qt::Horizontal, Qt::DisplayRole)
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
    const int rows = sourceModel()->rowCount();
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
    QString folded = regexp.mid(lead);
    foldCase(&folded);
    pattern = folded;
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
    if (l.userType() == QMetaType::QString && r.userType() == QMetaType::QString)
        return MLocale().collator()(l.toString(), r.toString());
    return QSortFilterProxyModel::lessThan(left, right);
}
