#include "mgconfitem.h"

#include "touchlogging.h"
#include "safefile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

#include <clocale>

namespace {

const char* const CollateKey = "/meegotouch/i18n/lc_collate";

// The values are read from the file once and then served from memory, so that hot paths
// (a collator per comparison) do not touch the disk. Only this process writes the file.
struct Store
{
    QMutex mutex;
    bool loaded = false;
    QHash<QString, QVariant> values;
    QHash<QString, QList<QPointer<MGConfItem> > > items;
};

Store& store()
{
    static Store s;
    return s;
}

QString normalisedKey(const QString& key)
{
    QString k = key.trimmed();
    if (!k.startsWith(QLatin1Char('/')))
        k.prepend(QLatin1Char('/'));
    return k;
}

QString settingsKey(const QString& key)
{
    return key.mid(1); // QSettings drops a leading slash anyway; keep the file readable
}

void loadLocked(Store& s)
{
    if (s.loaded)
        return;
    s.loaded = true;
    SafeFile::claim(MGConfItem::storePath());
    QSettings file(MGConfItem::storePath(), QSettings::IniFormat);
    const QStringList keys = file.allKeys();
    for (const QString& k : keys)
        s.values.insert(QLatin1Char('/') + k, file.value(k));
}

// The collation when nothing is set: the locale the C library collates by, as the application
// set it up (LC_ALL, LC_COLLATE, then LANG; "C" for one that is not installed). The library store
// orders its lists by that very locale, while the message language may be another: lists
// grouped or sorted by the message language would disagree with the store's order.
QString environmentCollation()
{
    const char* collate = std::setlocale(LC_COLLATE, nullptr);
    QString name = collate ? QString::fromLatin1(collate) : QString();
    name = name.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    // ICU's root collation, which is English's.
    if (name.isEmpty() || name == QLatin1String("C") || name == QLatin1String("POSIX"))
        return QStringLiteral("en_GB");
    return name;
}

QVariant builtInDefault(const QString& key)
{
    if (key == QLatin1String(CollateKey))
        return environmentCollation();
    return QVariant();
}

} // namespace

MGConfItem::MGConfItem(const QString& key, QObject* parent)
    : QObject(parent)
    , m_key(normalisedKey(key))
{
    Store& s = store();
    QMutexLocker lock(&s.mutex);
    s.items[m_key].append(QPointer<MGConfItem>(this));
}

MGConfItem::~MGConfItem()
{
    Store& s = store();
    QMutexLocker lock(&s.mutex);
    QList<QPointer<MGConfItem> >& list = s.items[m_key];
    for (int i = list.size() - 1; i >= 0; --i) {
        if (list.at(i).isNull() || list.at(i).data() == this)
            list.removeAt(i);
    }
    if (list.isEmpty())
        s.items.remove(m_key);
}

QString MGConfItem::key() const
{
    return m_key;
}

QVariant MGConfItem::value() const
{
    {
        Store& s = store();
        QMutexLocker lock(&s.mutex);
        loadLocked(s);
        const auto it = s.values.constFind(m_key);
        if (it != s.values.constEnd())
            return it.value();
    }
    return builtInDefault(m_key);
}

QVariant MGConfItem::value(const QVariant& def) const
{
    const QVariant v = value();
    return v.isValid() ? v : def;
}

void MGConfItem::set(const QVariant& val)
{
    QList<QPointer<MGConfItem> > listeners;
    {
        Store& s = store();
        QMutexLocker lock(&s.mutex);
        loadLocked(s);
        const QVariant old = s.values.value(m_key);
        if (old == val && old.isValid() == val.isValid())
            return;

        QFileInfo info(storePath());
        QDir().mkpath(info.absolutePath());
        SafeFile::claim(storePath());
        QSettings file(storePath(), QSettings::IniFormat);
        if (val.isValid()) {
            s.values.insert(m_key, val);
            file.setValue(settingsKey(m_key), val);
        } else {
            s.values.remove(m_key);
            file.remove(settingsKey(m_key));
        }
        file.sync();
        if (file.status() != QSettings::NoError)
            qCWarning(lcTouch, "%s - cannot write %s", Q_FUNC_INFO, qPrintable(storePath()));
        listeners = s.items.value(m_key);
    }
    // Emitted outside the lock: a listener may read the value or make new items.
    for (const QPointer<MGConfItem>& item : listeners) {
        if (item)
            emit item->valueChanged();
    }
}

void MGConfItem::unset()
{
    set(QVariant());
}

QString MGConfItem::storePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/parlovance/configuration.ini");
}
