#include "playerdriver.h"

#include "testenvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QScreen>

#include <csignal>
#include <sys/prctl.h>

namespace {

const QString ApplicationService = QStringLiteral("com.vaspe.parlovance");
const QString PlaybackService = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceService");
const QString PlaybackInterface = QStringLiteral("com.vaspe.lurno.meegotouch.ParlovanceInterface");
const int StartTimeoutMs = 60000;
const int CallTimeoutMs = 20000;
// A finger held this long is a long tap; a tap lifts well before.
const char* const HoldSeconds = "1.2";
const char* const TapSeconds = "0.08";

bool registered(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

QString coordinate(int value)
{
    return QString::number(value);
}

} // namespace

void PlayerDriver::TiedProcess::setupChildProcess()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}

PlayerDriver::PlayerDriver(const QString& program)
    : program(program)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    QDBusConnection::sessionBus().connect(PlaybackService, QStringLiteral("/"), PlaybackInterface,
                                          QStringLiteral("mediaChanged"), this,
                                          SLOT(mediaChanged(QStringList)));
}

PlayerDriver::~PlayerDriver()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
}

bool PlayerDriver::launch(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The test itself may run on the offscreen platform; the program shows on the display.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("PARLOVANCE_TESTABILITY"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QDir::homePath());
    output.clear();
    lastMedia.clear();
    process.start(program, arguments);
    return process.waitForStarted(StartTimeoutMs);
}

bool PlayerDriver::start(const QStringList& arguments)
{
    if (!launch(arguments))
        return false;
    QDeadlineTimer deadline(StartTimeoutMs);
    while (isRunning() && !registered(PlaybackService) && !deadline.hasExpired())
        QTest::qWait(50);
    return isRunning() && registered(ApplicationService) && registered(PlaybackService);
}

bool PlayerDriver::stop()
{
    if (!isRunning())
        return false;
    process.terminate();
    if (!process.waitForFinished(StartTimeoutMs))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PlayerDriver::isRunning() const
{
    return process.state() == QProcess::Running;
}

QString PlayerDriver::log()
{
    output += QString::fromLocal8Bit(process.readAll());
    return output;
}

QList<PlayerDriver::ShownText> PlayerDriver::shownTexts() const
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        ApplicationService, QStringLiteral("/testability"), QStringLiteral("com.vaspe.Testability"),
        QStringLiteral("visibleTexts"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block,
                                                                  CallTimeoutMs);
    QList<ShownText> texts;
    const QJsonArray array = QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8())
                                 .array();
    for (const QJsonValue& value : array) {
        const QJsonObject text = value.toObject();
        texts.append({ text.value(QStringLiteral("text")).toString(),
                       QRect(text.value(QStringLiteral("x")).toInt(),
                             text.value(QStringLiteral("y")).toInt(),
                             text.value(QStringLiteral("width")).toInt(),
                             text.value(QStringLiteral("height")).toInt()) });
    }
    return texts;
}

QRect PlayerDriver::find(const QString& text) const
{
    for (const ShownText& shown : shownTexts()) {
        if (shown.text == text)
            return shown.rect;
    }
    return QRect();
}

QImage PlayerDriver::screenshot() const
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

void PlayerDriver::xdotool(const QStringList& arguments) const
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

void PlayerDriver::tap(const QPoint& point) const
{
    xdotool({ QStringLiteral("mousemove"), coordinate(point.x()), coordinate(point.y()),
              QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"),
              QLatin1String(TapSeconds), QStringLiteral("mouseup"), QStringLiteral("1") });
}

void PlayerDriver::hold(const QPoint& point) const
{
    xdotool({ QStringLiteral("mousemove"), coordinate(point.x()), coordinate(point.y()),
              QStringLiteral("mousedown"), QStringLiteral("1"), QStringLiteral("sleep"),
              QLatin1String(HoldSeconds), QStringLiteral("mouseup"), QStringLiteral("1") });
}

void PlayerDriver::press(const QPoint& point) const
{
    xdotool({ QStringLiteral("mousemove"), coordinate(point.x()), coordinate(point.y()),
              QStringLiteral("mousedown"), QStringLiteral("1") });
}

void PlayerDriver::release() const
{
    xdotool({ QStringLiteral("mouseup"), QStringLiteral("1") });
}

void PlayerDriver::drag(const QPoint& from, const QPoint& to) const
{
    QStringList arguments { QStringLiteral("mousemove"), coordinate(from.x()), coordinate(from.y()),
                            QStringLiteral("mousedown"), QStringLiteral("1") };
    const int steps = 10;
    for (int s = 1; s <= steps; ++s) {
        const QPoint at = from + (to - from) * s / steps;
        arguments << QStringLiteral("sleep") << QStringLiteral("0.03")
                  << QStringLiteral("mousemove") << coordinate(at.x()) << coordinate(at.y());
    }
    arguments << QStringLiteral("mouseup") << QStringLiteral("1");
    xdotool(arguments);
}

void PlayerDriver::type(const QString& text) const
{
    xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"), text });
}

void PlayerDriver::key(const QString& keysym) const
{
    xdotool({ QStringLiteral("key"), keysym });
}

QDBusMessage PlayerDriver::call(const QString& method, const QVariantList& arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(PlaybackService, QStringLiteral("/"),
                                                          PlaybackInterface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, CallTimeoutMs);
}

int PlayerDriver::playbackState() const
{
    const QDBusMessage reply = call(QStringLiteral("playbackState"));
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toInt() : -2;
}

void PlayerDriver::mediaChanged(const QStringList& media)
{
    lastMedia = media;
}
