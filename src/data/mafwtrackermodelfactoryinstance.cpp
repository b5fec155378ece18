#include "mafwtrackermodelfactoryinstance.h"

#include "mafwtrackermodelfactory.h"

MafwTrackerModelFactoryInstance* MafwTrackerModelFactoryInstance::s_instance = nullptr;

MafwTrackerModelFactoryInstance* MafwTrackerModelFactoryInstance::instance()
{
    if (!s_instance)
        s_instance = new MafwTrackerModelFactoryInstance;
    return s_instance;
}

void MafwTrackerModelFactoryInstance::destroy()
{
    delete s_instance;
    s_instance = nullptr;
}

MafwTrackerModelFactoryInstance::MafwTrackerModelFactoryInstance()
    : QObject(nullptr)
    , m_ready(false)
    , m_factory(nullptr)
    , m_unknownAlbumText(qtTrId("qtn_musi_unknown_album"))
    , m_unknownArtistText(qtTrId("qtn_musi_unknown_artist"))
{
    // The instance must be reachable before init() runs: a waiter may ask from a slot.
    s_instance = this;
    m_factory = new MafwTrackerModelFactory(m_unknownAlbumText, m_unknownArtistText, 2000);
    // The lists wait for the library's first rows, not for the indexer's first scan.
    connect(m_factory, SIGNAL(libraryReadable()), this, SLOT(libraryReadable()),
            Qt::DirectConnection);
    connect(m_factory, SIGNAL(initCompleted(bool)), this, SLOT(initCompleted(bool)),
            Qt::DirectConnection);
    connect(m_factory, SIGNAL(unknownArtistCountChanged(bool)), this,
            SIGNAL(unknownArtistCountChanged(bool)), Qt::DirectConnection);
    connect(m_factory, SIGNAL(unknownAlbumsCountChanged(bool)), this,
            SIGNAL(unknownAlbumsCountChanged(bool)), Qt::DirectConnection);
    m_factory->init();
}

MafwTrackerModelFactoryInstance::~MafwTrackerModelFactoryInstance()
{
    delete m_factory;
    m_factory = nullptr;
    if (s_instance == this)
        s_instance = nullptr;
}

MafwTrackerModelFactory* MafwTrackerModelFactoryInstance::factory() const
{
    return m_factory;
}

bool MafwTrackerModelFactoryInstance::isReady() const
{
    return m_ready;
}

bool MafwTrackerModelFactoryInstance::isIndexingStatusKnown() const
{
    return m_statusKnown;
}

void MafwTrackerModelFactoryInstance::libraryReadable()
{
    if (m_ready)
        return;
    m_ready = true;
    emit completed(true);
}

void MafwTrackerModelFactoryInstance::initCompleted(bool success)
{
    if (!success) {
        m_ready = false;
        emit completed(false);
        return;
    }
    if (!m_ready)
        libraryReadable();
    m_statusKnown = true;
    emit indexingStatusKnown();
}
