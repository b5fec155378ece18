#include "mtestability.h"

#include "mapplication.h"
#include "mtextrecorder.h"
#include "mwindow.h"
#include "touchlogging.h"

#include <QDBusConnection>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

MTestability::MTestability(QObject* parent)
    : QObject(parent)
{
}

void MTestability::exportOn(QDBusConnection& connection, QObject* parent)
{
    if (qEnvironmentVariableIntValue("PARLOVANCE_TESTABILITY") != 1)
        return;
    if (!connection.registerObject(QStringLiteral("/testability"), new MTestability(parent),
                                   QDBusConnection::ExportAllSlots))
        qCWarning(lcTouch) << Q_FUNC_INFO << "- cannot export the testability object";
}

QString MTestability::visibleTexts() const
{
    QJsonArray texts;
    for (MWindow* window : MApplication::windows()) {
        if (!window->isVisible() || window->isMinimized())
            continue;
        QWidget* viewport = window->viewport();
        MTextRecorder recorder(viewport);
        QPainter painter(&recorder);
        window->render(&painter, QRectF(), viewport->rect());
        painter.end();
        const QPoint origin = viewport->mapToGlobal(QPoint(0, 0));
        for (const MTextRecorder::Text& text : recorder.texts()) {
            const QRect rect = text.rect.toAlignedRect().translated(origin);
            texts.append(QJsonObject { { QStringLiteral("text"), text.text },
                                       { QStringLiteral("x"), rect.x() },
                                       { QStringLiteral("y"), rect.y() },
                                       { QStringLiteral("width"), rect.width() },
                                       { QStringLiteral("height"), rect.height() } });
        }
    }
    return QString::fromUtf8(QJsonDocument(texts).toJson(QJsonDocument::Compact));
}
