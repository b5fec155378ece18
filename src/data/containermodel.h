#ifndef CONTAINERMODEL_H
#define CONTAINERMODEL_H

#include <QAbstractItemModel>
#include <QList>
#include <QSharedPointer>

// The play queue's flat list: several song models shown one after another. The rows of
// sub-model k follow those of sub-models 0..k-1. The container keeps its sub-models alive,
// forwards their row and data changes with its own row numbers, empties itself when its last
// row goes away, and lets go of the sub-models of a cleared queue on the next event-loop turn.
// It shows the ten columns that every song model shares; every item role (also
// Mafw::UrlRole) is answered by the sub-model.
class ContainerModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    ContainerModel();
    explicit ContainerModel(const QSharedPointer<QAbstractItemModel>& model);
    ~ContainerModel() override;

    // Ignored (silently) when the model is null, has fewer than ten columns, or its headers
    // of columns 0..9 differ from those of the first sub-model.
    void append(const QSharedPointer<QAbstractItemModel>& model);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The row of the container where the sub-model's rows begin; -1 when it is not a sub-model.
    int rowOffset(QAbstractItemModel* model) const;
    QModelIndex mapFromSubModel(const QModelIndex& subIndex) const;

public slots:
    void clear();

private slots:
    void handleDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void handleRowsAboutToBeInserted(const QModelIndex& parent, int start, int end);
    void handleRowsAboutToBeRemoved(const QModelIndex& parent, int start, int end);
    void handleRowsInserted(const QModelIndex& parent, int start, int end);
    void handleRowsRemoved(const QModelIndex& parent, int start, int end);
    void handleSubModelAboutToBeReset();
    void handleSubModelReset();
    void releaseModels();

private:
    QModelIndex mapToSubModel(int row, int column) const;
    int occurrences(const QAbstractItemModel* model) const;
    bool beginSubModelChange(const QModelIndex& parent, int* offset);
    bool endSubModelChange(const QModelIndex& parent);

    QList<QSharedPointer<QAbstractItemModel> > models;
    QList<QSharedPointer<QAbstractItemModel> > releaseList;
    bool hasColumns;
    // A change of a sub-model that is queued more than once is announced as a reset.
    bool resetting;
};

#endif // CONTAINERMODEL_H
