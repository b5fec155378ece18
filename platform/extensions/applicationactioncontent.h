#ifndef APPLICATIONACTIONCONTENT_H
#define APPLICATIONACTIONCONTENT_H

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

// What an application tells the extension framework about an action of the user: a set of
// named values and a kind of content.
class ApplicationActionContent : public QObject
{
public:
    explicit ApplicationActionContent(QObject* parent = nullptr);
    ~ApplicationActionContent() override;

    QHash<QString, QVariant> values() const;
    QVariant value(const QString& field) const;
    void setValue(const QString& field, const QVariant& value);

    int type() const;
    void setType(int type);

private:
    QHash<QString, QVariant> m_values;
    int m_type;
};

#endif // APPLICATIONACTIONCONTENT_H
