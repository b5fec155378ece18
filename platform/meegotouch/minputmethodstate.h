#ifndef MINPUTMETHODSTATE_H
#define MINPUTMETHODSTATE_H

#include <QHash>
#include <QObject>
#include <QVariant>

// The state shared with the virtual keyboard: registered attribute extensions (custom toolbars)
// and the values set on them. There is no virtual keyboard on a desktop, so the values are only
// kept; extendedAttribute() reads them back.
class MInputMethodState : public QObject
{
    Q_OBJECT

public:
    static MInputMethodState* instance();

    // A new id for the extension described by the file (ids start at 1).
    int registerAttributeExtension(const QString& fileName);
    void unregisterAttributeExtension(int id);

    void setExtendedAttribute(int id, const QString& target, const QString& targetItem,
                              const QString& attribute, const QVariant& value);
    QVariant extendedAttribute(int id, const QString& target, const QString& targetItem,
                               const QString& attribute) const;

signals:
    void extendedAttributeChanged(int id, const QString& target, const QString& targetItem,
                                  const QString& attribute, const QVariant& value);

private:
    explicit MInputMethodState(QObject* parent = nullptr);
    static QString key(const QString& target, const QString& targetItem, const QString& attribute);

    int nextId = 1;
    QHash<int, QString> extensions;
    QHash<int, QHash<QString, QVariant>> values;
};

#endif // MINPUTMETHODSTATE_H
