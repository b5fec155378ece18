#include "mafwrenderer.h"

#include <QDebug>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>

MafwRenderer::MafwRenderer(const QString& uuid, QObject* parent)
    : QObject(parent)
    , m_uuid(uuid)
{
    qRegisterMetaType<MafwMediaInfo>("MafwMediaInfo");
    qRegisterMetaType<MafwRenderer::State>("MafwRenderer::State");
}

MafwRenderer::~MafwRenderer() = default;

QString MafwRenderer::uuid() const
{
    return m_uuid;
}

bool MafwRenderer::getCurrentMediaInfo(QObject* receiver, const char* member,
                                       const QString& metadataKey)
{
    if (!receiver || !member || !*member) {
        qWarning() << Q_FUNC_INFO << "- no receiver or member given";
        return false;
    }
    // SLOT() and SIGNAL() put a code digit in front of the signature.
    if (*member >= '0' && *member <= '2')
        ++member;
    const QByteArray signature = QMetaObject::normalizedSignature(member);
    const int index = receiver->metaObject()->indexOfMethod(signature.constData());
    if (index < 0) {
        qWarning() << Q_FUNC_INFO << "- the receiver has no member" << signature;
        return false;
    }
    const QMetaMethod method = receiver->metaObject()->method(index);
    if (method.parameterCount() != 1) {
        qWarning() << Q_FUNC_INFO << "- the member does not take one argument" << signature;
        return false;
    }

    QPointer<QObject> guard(receiver);
    QTimer::singleShot(0, this, [this, guard, method, metadataKey]() {
        if (!guard)
            return;
        MafwMediaInfo info;
        if (metadataKey.isEmpty()) {
            info = m_info;
        } else {
            info.setMetaData(metadataKey, m_info.metaData(metadataKey));
        }
        method.invoke(guard.data(), Qt::DirectConnection, Q_ARG(MafwMediaInfo, info));
    });
    return true;
}

MafwMediaInfo MafwRenderer::currentMediaInfo() const
{
    return m_info;
}

void MafwRenderer::setCurrentMediaInfo(const MafwMediaInfo& info)
{
    m_info = info;
}
