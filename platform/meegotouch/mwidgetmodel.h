#ifndef MWIDGETMODEL_H
#define MWIDGETMODEL_H

#include <QObject>

// Declares a model class; models of the stand-in are plain objects with their own members.
#define M_MODEL(CLASS)

// The data of a widget controller, owned by the controller.
class MWidgetModel : public QObject
{
    Q_OBJECT

public:
    explicit MWidgetModel(QObject* parent = nullptr);
    ~MWidgetModel() override;

signals:
    // Names of the members that changed.
    void modified(const QList<const char*>& members);
};

#endif // MWIDGETMODEL_H
