#include "ringtonesetter.h"

#include "common/constants.h"
#include "common/logging.h"
#include "data/mafwtrackermodelfactoryinstance.h"
#include "data/storequeries.h"
#include "mafwtrackerconnection.h"
#include "mafwtrackermodelfactory.h"
#include "mapplication.h"
#include "mbanner.h"
#include "profile.h"

#include <QDebug>
#include <QFile>
#include <QUrl>

#include <cstdlib>

namespace {

const char* const RingingToneKey = "ringing.alert.tone";

} // namespace

RingtoneSetter* RingtoneSetter::instance()
{
    // Lives as long as the process: banners and queries may still answer at the very end.
    static RingtoneSetter* setter = new RingtoneSetter;
    return setter;
}

RingtoneSetter::RingtoneSetter()
    : QObject(nullptr)
    , factoryHolder(MafwTrackerModelFactoryInstance::instance())
{
    qRegisterMetaType<QList<QStringList>>("QList<QStringList>");
    if (factoryHolder->isReady())
        factoryCompletedSlot(true);
    else
        connect(factoryHolder, SIGNAL(completed(bool)), this, SLOT(factoryCompletedSlot(bool)));
}

RingtoneSetter::~RingtoneSetter() = default;

void RingtoneSetter::setAsRingtone(int trackerId)
{
    pendingId = trackerId;
    if (connection)
        runQuery();
}

void RingtoneSetter::factoryCompletedSlot(bool success)
{
    if (!success)
        return;
    if (MafwTrackerModelFactory* factory = factoryHolder->factory())
        connection = factory->trackerConnection();
    if (pendingId != -1)
        runQuery();
}

void RingtoneSetter::runQuery()
{
    if (!connection || pendingId <= 0)
        return;
    connection->asyncQuery(QString::fromLatin1(StoreQueries::FileOfSong)
                               .arg(QString::number(pendingId, 10), 0, QLatin1Char(' ')),
                           1, this,
                           "1filenameQueryReady(QList<QStringList>, bool, const QVariant&)",
                           "1queryFailed(int, QString, const QVariant&)", QVariant(pendingId));
}

void RingtoneSetter::filenameQueryReady(QList<QStringList> rows, bool end, const QVariant& userData)
{
    Q_UNUSED(end)
    QString path;
    if (!rows.isEmpty() && !rows.first().isEmpty())
        path = QUrl::fromEncoded(rows.first().first().toLatin1()).toLocalFile();

    // An answer for a song asked for earlier: the latest request is the one to set.
    if (userData.toInt() != pendingId) {
        runQuery();
        return;
    }
    if (path.isEmpty() || !QFile::exists(path)) {
        qCCritical(lcPages) << Q_FUNC_INFO << "- Failed to set ringtone!";
        return;
    }

    char* profile = profile_get_profile();
    if (profile
        && profile_set_value(profile, RingingToneKey, QFile::encodeName(path).constData()) == 0) {
        auto* banner = new MBanner;
        banner->setStyleName(Constants::InformationBanner);
        banner->setTitle(qtTrId("qtn_musi_ring_tone_saved"));
        banner->appear(MApplication::activeWindow(), MSceneWindow::DestroyWhenDone);
    } else {
        qCCritical(lcPages) << Q_FUNC_INFO << "- Failed to set ringtone!";
    }
    if (profile)
        std::free(profile);
    pendingId = -1;
}

void RingtoneSetter::queryFailed(int code, QString msg, const QVariant& userData)
{
    qCDebug(lcPages) << Q_FUNC_INFO << "- code:" << code << "reason:" << msg
                     << "userData:" << userData;
    if (userData.toInt() == pendingId) {
        qCDebug(lcPages) << Q_FUNC_INFO << "- Filename query failed!";
        return;
    }
    runQuery();
}
