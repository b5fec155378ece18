#ifndef MODELINDEXWRAPPER_H
#define MODELINDEXWRAPPER_H

#include <QModelIndex>
#include <QObject>

// Carries one model index through an argument that takes a QObject.
class ModelIndexWrapper : public QObject
{
    // The meta-object lets a receiver tell a wrapper from any other object.
    Q_OBJECT

public:
    ModelIndexWrapper(const QModelIndex& index, QObject* parent);
    ~ModelIndexWrapper() override;

    QModelIndex index() const { return wrapped; }
    void setIndex(const QModelIndex& index) { wrapped = index; }

private:
    QModelIndex wrapped;
};

#endif // MODELINDEXWRAPPER_H
