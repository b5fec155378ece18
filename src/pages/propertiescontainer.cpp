#include "propertiescontainer.h"

#include "common/constants.h"
#include "mlabel.h"
#include "mlocale.h"
#include "mstylablewidget.h"
#include "zeltime.h"

#include <QDateTime>
#include <QGraphicsLinearLayout>
#include <QGraphicsWidget>

namespace {

const char* const KeyTitleIds[][2] = {
    { "mediatype", "qtn_musi_mediatype_md" },   { "size", "qtn_musi_size_md" },
    { "length", "qtn_musi_lenght_md" },         { "bitrate", "qtn_musi_bitrate_md" },
    { "samplerate", "qtn_musi_samplerate_md" }, { "playcount", "qtn_musi_playcount_md" },
    { "created", "qtn_musi_datecreated_md" },   { "lastplayed", "qtn_musi_lastplayed_md" },
    { "channels", "qtn_musi_channels_md" },     { "copyright", "qtn_musi_copyright_md" },
    { "publisher", "qtn_musi_publisher_md" },   { "drm", "qtn_musi_drmprotected_md" },
};

QStringList propertyKeys()
{
    QStringList list;
    for (const auto& entry : KeyTitleIds)
        list << QLatin1String(entry[0]);
    return list;
}

bool rightToLeftLanguage()
{
    const QString language = MLocale().language();
    return language == QLatin1String("ar") || language == QLatin1String("fa")
           || language == QLatin1String("he");
}

} // namespace

PropertiesContainer::PropertiesContainer(QGraphicsItem* parent)
    : MContainer(parent)
    , keys(propertyKeys())
    , yesText(qtTrId("qtn_comm_command_yes"))
    , noText(qtTrId("qtn_comm_command_no"))
    , labelStyleName(QStringLiteral("PropertyLabel"))
    , rowsHolder(new QGraphicsWidget(this))
    , rowsLayout(new QGraphicsLinearLayout(Qt::Vertical, rowsHolder))
{
    setStyleName(QStringLiteral("CommonContainerInverted"));
    setTitle(qtTrId("qtn_musi_properties"));
    setHeaderVisible(true);
    for (const auto& entry : KeyTitleIds)
        titles.insert(QLatin1String(entry[0]), qtTrId(entry[1]));
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(0);

    createRows();

    auto* central = new QGraphicsWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Vertical, central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The title's own bottom margin parts it from the first row, as every heading of the pages
    // keeps from what it heads; a spacer above the rows would double that room.
    auto* bottomSpacer = new MStylableWidget;
    bottomSpacer->setStyleName(QStringLiteral("CommonXLargeSpacer"));
    layout->addItem(rowsHolder);
    layout->addItem(bottomSpacer);
    // Extra height the page gives the container stays below the rows.
    layout->addStretch(1);
    setCentralWidget(central);
}

PropertiesContainer::~PropertiesContainer()
{
    for (const QString& key : keys)
        setRow(false, key, QString());
    for (const auto& row : qAsConst(rows))
        delete row.second;
    rows.clear();
}

void PropertiesContainer::createRows()
{
    for (const QString& key : keys) {
        const QString title = Constants::firstLengthVariant(titles.value(key));
        if (title.isEmpty())
            continue;
        MLabel* label = createPropertyLabel(QString(), true, labelStyleName, nullptr);
        label->hide();
        rows.insert(key, qMakePair(title, label));
    }
}

MLabel* PropertiesContainer::createPropertyLabel(const QString& text, bool elide,
                                                 const QString& styleName,
                                                 QGraphicsItem* parent) const
{
    auto* label = new MLabel(text, parent);
    label->setTextElide(elide);
    label->setStyleName(styleName);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    label->setAlignment((rightToLeftLanguage() ? Qt::AlignRight : Qt::AlignLeft)
                        | Qt::AlignVCenter);
    return label;
}

bool PropertiesContainer::inRowsLayout(MLabel* label) const
{
    for (int i = 0; i < rowsLayout->count(); ++i) {
        if (rowsLayout->itemAt(i) == label)
            return true;
    }
    return false;
}

void PropertiesContainer::setRow(bool visible, const QString& key, const QString& value)
{
    const auto row = rows.constFind(key);
    if (row == rows.constEnd())
        return;
    MLabel* label = row->second;
    label->setText(row->first + QLatin1Char(' ') + value);
    label->setVisible(visible);
    if (!visible) {
        if (inRowsLayout(label))
            rowsLayout->removeItem(label);
    } else if (!inRowsLayout(label)) {
        // The place among the rows shown now is the number of shown rows of earlier keys, so
        // the column keeps the key order whichever rows are missing around it.
        int position = 0;
        const int keyIndex = keys.indexOf(key);
        for (int i = 0; i < keyIndex; ++i) {
            const auto earlier = rows.constFind(keys.at(i));
            if (earlier != rows.constEnd() && inRowsLayout(earlier->second))
                ++position;
        }
        rowsLayout->insertItem(position, label);
    }
    rowsLayout->invalidate();
}

void PropertiesContainer::update(const QHash<QString, QString>& songFields)
{
    fields = songFields;
    for (const QString& key : keys) {
        if (!songFields.contains(key))
            setRow(false, key, QString());
    }
    refreshRows();
}

void PropertiesContainer::refreshRows()
{
    for (const QString& key : keys) {
        QString value = fields[key];
        if (!value.isEmpty() || key == QLatin1String("drm") || key == QLatin1String("playcount"))
            value = formatValue(key, value);
        setRow(!value.isEmpty(), key, value);
    }
}

void PropertiesContainer::updateUsage(const QHash<QString, QString>& songFields)
{
    for (const char* key : { "playcount", "lastplayed" }) {
        const QString name = QLatin1String(key);
        const QString text = formatValue(name, songFields.value(name));
        setRow(!text.isEmpty(), name, text);
    }
}

QString PropertiesContainer::formatValue(const QString& key, const QString& value) const
{
    const MLocale locale;
    if (key == QLatin1String("bitrate")) {
        const int bitrate = int(value.toDouble());
        return qtTrId("qtn_musi_properties_kbps").arg(bitrate / 1000, 0, 10);
    }
    if (key == QLatin1String("samplerate"))
        return qtTrId("qtn_musi_properties_khz").arg(value.toDouble() / 1000.0, 0, 'f', 1);
    if (key == QLatin1String("created") || key == QLatin1String("lastplayed")) {
        const QDateTime time = QDateTime::fromString(value, Qt::ISODate);
        if (!time.isValid())
            return QString();
        return locale.formatDateTime(time, MLocale::DateShort, MLocale::TimeShort,
                                     MLocale::DefaultCalendar);
    }
    if (key == QLatin1String("channels") || key == QLatin1String("playcount"))
        return locale.formatNumber(value.toInt());
    if (key == QLatin1String("size"))
        return formatSize(value.toDouble());
    if (key == QLatin1String("length"))
        return ZelTime::timeString(value.toInt(), false);
    if (key == QLatin1String("drm"))
        return value == QLatin1String("true") ? yesText : noText;
    return value;
}

QString PropertiesContainer::formatSize(double bytes) const
{
    const double unit = sizeUnit;
    if (int(bytes / (unit * unit * unit)) >= 1)
        return qtTrId("qtn_comm_gigabytes").arg(bytes / (unit * unit * unit), 0, 'f', 1);
    if (int(bytes / (unit * unit)) >= 1)
        return qtTrId("qtn_comm_megabytes").arg(bytes / (unit * unit), 0, 'f', 1);
    if (int(bytes / unit) >= 1)
        return qtTrId("qtn_comm_kilobytes").arg(bytes / unit, 0, 'f', 1);
    return qtTrId("qtn_common_bytes", int(bytes));
}

MLabel* PropertiesContainer::rowLabel(const QString& key) const
{
    const auto row = rows.constFind(key);
    return row == rows.constEnd() ? nullptr : row->second;
}

QList<MLabel*> PropertiesContainer::shownRows() const
{
    QList<MLabel*> shown;
    for (int i = 0; i < rowsLayout->count(); ++i) {
        if (auto* label = dynamic_cast<MLabel*>(rowsLayout->itemAt(i)))
            shown << label;
    }
    return shown;
}
