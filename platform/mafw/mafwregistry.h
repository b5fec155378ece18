#ifndef MAFWREGISTRY_H
#define MAFWREGISTRY_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class MafwRenderer;

// The process's register of renderers, looked up by their uuid ("mafw_gst_renderer" for the
// play controller's). A renderer that is destroyed drops out by itself.
class MafwRegistry : public QObject
{
public:
    static MafwRegistry* instance();

    void addRenderer(MafwRenderer* renderer);
    void removeRenderer(MafwRenderer* renderer);

    // The renderer with that uuid, or null.
    MafwRenderer* renderer(const QString& uuid) const;

private:
    MafwRegistry();
    ~MafwRegistry() override;

    QList<QPointer<MafwRenderer>> m_renderers;
};

#endif // MAFWREGISTRY_H
