#include "modelinstance.h"

#include "mafwtrackermodelfactory.h"
#include "mafwtrackermodelfactoryinstance.h"

ModelInstance* ModelInstance::s_instance = nullptr;

ModelInstance* ModelInstance::instance()
{
    if (!s_instance)
        s_instance = new ModelInstance;
    return s_instance;
}

void ModelInstance::destroy()
{
    delete s_instance;
    s_instance = nullptr;
}

ModelInstance::ModelInstance()
    : QObject(nullptr)
    , m_factoryInstance(MafwTrackerModelFactoryInstance::instance())
{
    qRegisterMetaType<MafwTrackerModel::QueryType>("MafwTrackerModel::QueryType");
}

ModelInstance::~ModelInstance()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QSharedPointer<MafwTrackerModel> ModelInstance::getModel(MafwTrackerModel::QueryType type)
{
    if (!m_models.contains(type)) {
        if (!m_factoryInstance || !m_factoryInstance->isReady()) {
            m_models.insert(type, QSharedPointer<MafwTrackerModel>());
            if (m_factoryInstance)
                connect(m_factoryInstance, SIGNAL(completed(bool)), this,
                        SLOT(modelFactoryInitCompleted(bool)), Qt::UniqueConnection);
        } else if (MafwTrackerModel* model = m_factoryInstance->factory()->getModel(type, 50, 0)) {
            m_models.insert(type, QSharedPointer<MafwTrackerModel>(model));
            emit modelCreated(type);
        }
    }
    return m_models.value(type);
}

void ModelInstance::modelFactoryInitCompleted(bool success)
{
    if (!success)
        return;
    QList<MafwTrackerModel::QueryType> waiting;
    for (auto it = m_models.cbegin(); it != m_models.cend(); ++it) {
        if (it.value().isNull())
            waiting.append(it.key());
    }
    for (MafwTrackerModel::QueryType type : qAsConst(waiting)) {
        m_models.remove(type);
        getModel(type);
    }
}

void ModelInstance::recreateModels()
{
    const QList<MafwTrackerModel::QueryType> types = m_models.keys();
    for (MafwTrackerModel::QueryType type : types) {
        m_models.remove(type);
        getModel(type);
    }
}

void ModelInstance::emitPlayAllSongs(bool shuffle)
{
    emit playAllSongs(shuffle);
}
