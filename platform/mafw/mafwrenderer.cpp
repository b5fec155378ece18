#include "mafwrenderer.h"

#include "mafwlogging.h"

#include <QDebug>
#include <QTimer>

namespace {

// How long a request waits for an item that is still loading.
const int PatienceMs = 3000;

} // namespace

MafwRenderer::MafwRenderer(const QString& uuid, QObject* parent)
    : QObject(parent)
    , m_uuid(uuid)
    , m_complete(true)
    , m_patience(new QTimer(this))
{
    qRegisterMetaType<MafwMediaInfo>("MafwMediaInfo");
    qRegisterMetaType<MafwRenderer::State>("MafwRenderer::State");
    m_patience->setSingleShot(true);
    m_patience->setInterval(PatienceMs);
    connect(m_patience, &QTimer::timeout, this, &MafwRenderer::answerWaiting);
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
        qCWarning(lcRenderer) << Q_FUNC_INFO << "- no receiver or member given";
        return false;
    }
    // SLOT() and SIGNAL() put a code digit in front of the signature.
    if (*member >= '0' && *member <= '2')
        ++member;
    const QByteArray signature = QMetaObject::normalizedSignature(member);
    const int index = receiver->metaObject()->indexOfMethod(signature.constData());
    if (index < 0) {
        qCWarning(lcRenderer) << Q_FUNC_INFO << "- the receiver has no member" << signature;
        return false;
    }
    const QMetaMethod method = receiver->metaObject()->method(index);
    if (method.parameterCount() != 1) {
        qCWarning(lcRenderer) << Q_FUNC_INFO << "- the member does not take one argument"
                              << signature;
        return false;
    }

    const Request request { receiver, method, metadataKey };
    if (!m_complete) {
        m_waiting.append(request);
        if (!m_patience->isActive())
            m_patience->start();
        return true;
    }
    QTimer::singleShot(0, this, [this, request]() { answer(request); });
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

void MafwRenderer::setMediaInfoComplete(bool complete)
{
    m_complete = complete;
    if (complete && !m_waiting.isEmpty())
        QTimer::singleShot(0, this, &MafwRenderer::answerWaiting);
}

void MafwRenderer::answerWaiting()
{
    m_patience->stop();
    const QList<Request> waiting = m_waiting;
    m_waiting.clear();
    for (const Request& request : waiting)
        answer(request);
}

void MafwRenderer::answer(const Request& request)
{
    if (!request.receiver)
        return;
    MafwMediaInfo info;
    if (request.key.isEmpty())
        info = m_info;
    else
        info.setMetaData(request.key, m_info.metaData(request.key));
    request.method.invoke(request.receiver.data(), Qt::DirectConnection,
                          Q_ARG(MafwMediaInfo, info));
}
