#include "mafwregistry.h"

#include "mafwrenderer.h"

MafwRegistry* MafwRegistry::instance()
{
    static MafwRegistry* registry = new MafwRegistry;
    return registry;
}

MafwRegistry::MafwRegistry() = default;

MafwRegistry::~MafwRegistry() = default;

void MafwRegistry::addRenderer(MafwRenderer* renderer)
{
    if (renderer && !m_renderers.contains(renderer))
        m_renderers.append(renderer);
}

void MafwRegistry::removeRenderer(MafwRenderer* renderer)
{
    m_renderers.removeAll(renderer);
}

MafwRenderer* MafwRegistry::renderer(const QString& uuid) const
{
    for (const QPointer<MafwRenderer>& r : m_renderers) {
        if (r && r->uuid() == uuid)
            return r.data();
    }
    return nullptr;
}
