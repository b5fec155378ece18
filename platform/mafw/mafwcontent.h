#ifndef MAFWCONTENT_H
#define MAFWCONTENT_H

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

// Describes the item a metadata handler is given when the play controller moves to it. The only
// key in use is "uri": the address of a network stream (local files and queue rows carry none).
class MafwContent
{
public:
    MafwContent();

    QVariant metaData(const QString& key) const;
    void setMetaData(const QString& key, const QVariant& value);

private:
    QMap<QString, QVariant> m_metaData;
};

Q_DECLARE_METATYPE(MafwContent)

#endif // MAFWCONTENT_H
