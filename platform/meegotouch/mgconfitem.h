#ifndef MGCONFITEM_H
#define MGCONFITEM_H

#include <QObject>
#include <QString>
#include <QVariant>

// One key of the configuration tree ("/meegotouch/i18n/lc_collate", ...). The values live in
// a key file under the user's configuration folder; every item of the same key in this
// process hears a change made through any of them.
class MGConfItem : public QObject
{
    Q_OBJECT

public:
    explicit MGConfItem(const QString& key, QObject* parent = 0);
    ~MGConfItem() override;

    QString key() const;

    // The stored value, or the built-in default of the key, or an invalid value.
    QVariant value() const;
    QVariant value(const QVariant& def) const;

    // Stores the value (an invalid value removes it) and tells every item of this key.
    void set(const QVariant& val);
    void unset();

    // The file the values are kept in.
    static QString storePath();

signals:
    void valueChanged();

private:
    QString m_key;
};

#endif // MGCONFITEM_H
