#ifndef ZELMETADATAHANDLER_H
#define ZELMETADATAHANDLER_H

#include "mafwcontent.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

// Receives the play controller's item changes for one kind of content and keeps the texts that
// describe the current item. The controller calls the slots; subclasses fill their fields.
class ZelMetadataHandler : public QObject
{
    Q_OBJECT

public:
    explicit ZelMetadataHandler(QObject* parent = nullptr);
    ~ZelMetadataHandler() override;

public slots:
    // The controller moved to a new item: index is its row in the playlist (-1 for an item
    // outside it) and content describes it.
    virtual void setDataFromIndex(int index, MafwContent content);
    // The renderer reported a new value of one metadata key of the current item.
    virtual void onMetadataChange(QString metadata, QList<QVariant> values);
    virtual void clear();

signals:
    void mediaChanged(const ZelMetadataHandler* handler);
};

Q_DECLARE_METATYPE(const ZelMetadataHandler*)

#endif // ZELMETADATAHANDLER_H
