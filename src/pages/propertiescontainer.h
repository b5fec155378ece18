#ifndef PROPERTIESCONTAINER_H
#define PROPERTIESCONTAINER_H

#include "mcontainer.h"

#include <QHash>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

class MLabel;
class QGraphicsLinearLayout;
class QGraphicsWidget;

// The file properties of one song on the details page: one row per property, a title and the
// formatted value. Rows without a value are taken out of the column; the rows always stand in
// one fixed order. Play count and protection are always shown.
class PropertiesContainer : public MContainer
{
    Q_OBJECT

public:
    explicit PropertiesContainer(QGraphicsItem* parent);
    ~PropertiesContainer() override;

    // Shows a whole song from the page's field hash.
    void update(const QHash<QString, QString>& fields);
    // Refreshes only the play count and last-played rows.
    void updateUsage(const QHash<QString, QString>& fields);

    // The label of a property's row (null for an unknown key), and the labels shown, in order.
    MLabel* rowLabel(const QString& key) const;
    QList<MLabel*> shownRows() const;

    QString formatValue(const QString& key, const QString& value) const;
    QString formatSize(double bytes) const;

private:
    void createRows();
    void refreshRows();
    void setRow(bool visible, const QString& key, const QString& value);
    MLabel* createPropertyLabel(const QString& text, bool elide, const QString& styleName,
                                QGraphicsItem* parent) const;
    bool inRowsLayout(MLabel* label) const;

    const QStringList keys;
    const QString yesText;
    const QString noText;
    QHash<QString, QString> fields;
    QHash<QString, QString> titles;
    const int sizeUnit = 1024;
    const QString labelStyleName;
    QGraphicsWidget* rowsHolder;
    QGraphicsLinearLayout* rowsLayout;
    QMap<QString, QPair<QString, MLabel*>> rows;
};

#endif // PROPERTIESCONTAINER_H
