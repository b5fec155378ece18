#ifndef SHUFFLEPROXYMODEL_H
#define SHUFFLEPROXYMODEL_H

#include <QAbstractProxyModel>
#include <QVector>

// The last link of the play-queue chain: the queue in source order, or shuffled. The shuffled
// order is a table of source rows; switching shuffle on moves the current song to the top,
// songs added later are mixed only among the songs not yet reached (the rows after the
// current one), and removed songs leave the table wherever the shuffle had put them.
// Its rows are the queue positions that the playback hub plays.
class ShuffleProxyModel : public QAbstractProxyModel
{
    Q_OBJECT

public:
    explicit ShuffleProxyModel(QObject* parent = 0);
    ~ShuffleProxyModel() override;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    // The source's display text of the mapped item for the display, edit and custom roles;
    // Mafw::UrlRole and Qt's presentation roles are the source's own.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void setSourceModel(QAbstractItemModel* sourceModel) override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

    // Returns the current song's row in the new order: 0 when switching on (currentRow is a
    // source row then), its source row when switching off (currentRow is a proxy row then).
    int setShuffle(bool on, int currentRow);
    bool isShuffled() const;
    // The proxy row of the current song: the rows up to it have been reached.
    void setCurrentIndex(int row);

protected:
    // Seeds every shuffle: the millisecond (0-999) of the current time.
    virtual unsigned int shuffleSeed() const;

private slots:
    void handleRowsInserted(const QModelIndex& parent, int first, int last);
    void handleRowsRemoved(const QModelIndex& parent, int first, int last);
    void handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void handleSourceAboutToBeReset();
    void handleSourceReset();

private:
    void rebuildOrder();
    void fillTable();
    void shuffle(int first, int last, bool whole);
    // Puts the rows of the table from position from on in a random order.
    void mixFrom(int from);
    void mixRowsAfterCurrent();
    // Moves every persistent index from its row in the order before to its song's row now.
    void carryPersistentIndexes(const QVector<int>& before);
    int sourceRowCount() const;

    bool shuffled;
    QVector<int> order;
    int current;
};

#endif // SHUFFLEPROXYMODEL_H
