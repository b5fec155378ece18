#ifndef MSTYLE_H
#define MSTYLE_H

#include <QObject>
#include <QVariant>

// A set of style attributes resolved from the style table (see MStyleTable). Every attribute is
// also readable as a dynamic property of the object, so style(...)->property("name") works.
class MStyle : public QObject
{
public:
    explicit MStyle(QObject* parent = nullptr);
    ~MStyle() override;

    QVariant attribute(const QString& name) const;
    bool hasAttribute(const QString& name) const;
    void setAttribute(const QString& name, const QVariant& value);
    void setAttributes(const QVariantHash& attributes);
    QVariantHash attributes() const;

    // The style name the attributes were resolved for (empty: the type's defaults only).
    QString styleName() const;
    void setStyleName(const QString& name);

private:
    QVariantHash values;
    QString name;
};

#endif // MSTYLE_H
