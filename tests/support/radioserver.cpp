#include "radioserver.h"

#include "audiogenerator.h"

#include <QFile>
#include <QHostAddress>
#include <QSharedPointer>
#include <QTcpSocket>
#include <QTimer>

RadioServer::RadioServer(QObject* parent)
    : QTcpServer(parent)
{
}

bool RadioServer::start()
{
    return listen(QHostAddress::LocalHost, 0);
}

void RadioServer::addResource(const QByteArray& path, const Resource& resource)
{
    m_resources.insert(path, resource);
}

bool RadioServer::addRadio(const QByteArray& streamPath, const QByteArray& playlistPath)
{
    QFile source(AudioGenerator::untaggedTemplate(QStringLiteral("mp3"), 20000));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    Resource stream;
    stream.contentType = "audio/mpeg";
    stream.body = source.readAll();
    stream.headers << qMakePair(QByteArray("icy-name"), QByteArray("Test Radio"));
    stream.icyMetaInterval = 4096;
    stream.icyTitle = "Some Artist - Some Song";
    addResource(streamPath, stream);
    Resource pls;
    pls.contentType = "audio/x-scpls";
    pls.body = "[playlist]\nNumberOfEntries=1\nFile1=" + url(streamPath).toEncoded()
               + "\nTitle1=Test Radio\nLength1=-1\nVersion=2\n";
    addResource(playlistPath, pls);
    return true;
}

QUrl RadioServer::url(const QByteArray& path) const
{
    return QUrl(
        QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(QString::fromLatin1(path)));
}

int RadioServer::requests(const QByteArray& path) const
{
    return m_requests.value(path);
}

void RadioServer::incomingConnection(qintptr handle)
{
    QTcpSocket* socket = new QTcpSocket(this);
    socket->setSocketDescriptor(handle);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { readRequest(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket]() {
        m_pending.remove(socket);
        socket->deleteLater();
    });
}

void RadioServer::readRequest(QTcpSocket* socket)
{
    QByteArray& request = m_pending[socket];
    if (request.isNull())
        request = QByteArray("");
    if (request == "done") {
        socket->readAll();
        return;
    }
    request += socket->readAll();
    const int end = request.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> lines = request.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    bool wantsIcy = false;
    for (const QByteArray& line : lines) {
        const QByteArray l = line.trimmed().toLower();
        if (l.startsWith("icy-metadata:") && l.endsWith("1"))
            wantsIcy = true;
    }
    request = "done";
    respond(socket, first.value(1), wantsIcy);
}

void RadioServer::respond(QTcpSocket* socket, const QByteArray& path, bool wantsIcy)
{
    m_requests[path] += 1;
    const int delay = m_resources.value(path).answerAfterMs;
    if (delay <= 0) {
        answer(socket, path, wantsIcy);
        return;
    }
    // The socket is the timer's context: a client that gave up meanwhile gets nothing.
    QTimer::singleShot(delay, socket,
                       [this, socket, path, wantsIcy]() { answer(socket, path, wantsIcy); });
}

void RadioServer::answer(QTcpSocket* socket, const QByteArray& path, bool wantsIcy)
{
    if (!m_resources.contains(path)) {
        socket->write("HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n\r\nNot found\n");
        socket->disconnectFromHost();
        return;
    }
    const Resource& r = m_resources[path];
    QByteArray head = "HTTP/1.0 " + r.status + "\r\nContent-Type: " + r.contentType + "\r\n";
    for (const auto& h : r.headers)
        head += h.first + ": " + h.second + "\r\n";

    QByteArray body = r.body;
    if (wantsIcy && r.icyMetaInterval > 0) {
        head += "icy-metaint: " + QByteArray::number(r.icyMetaInterval) + "\r\n";
        QByteArray block = "StreamTitle='" + r.icyTitle + "';";
        while (block.size() % 16)
            block += '\0';
        block.prepend(char(block.size() / 16));
        QByteArray interleaved;
        for (int at = 0; at < r.body.size(); at += r.icyMetaInterval) {
            const QByteArray chunk = r.body.mid(at, r.icyMetaInterval);
            interleaved += chunk;
            if (chunk.size() == r.icyMetaInterval)
                interleaved += block;
        }
        body = interleaved;
    }
    if (r.endless) {
        // Written as the client takes it, so that a client that stops reading holds the
        // server's memory to a few chunks.
        const int chunkSize = 16 * 1024;
        auto sent = QSharedPointer<int>::create(0);
        const auto more = [socket, body, sent, chunkSize]() {
            while (socket->state() == QAbstractSocket::ConnectedState
                   && socket->bytesToWrite() < 4 * chunkSize) {
                const QByteArray chunk = body.mid(*sent, chunkSize);
                socket->write(chunk);
                *sent = (*sent + chunk.size()) % body.size();
            }
        };
        socket->write(head + "\r\n");
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        return;
    }
    if (r.breakOff) {
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        body.truncate(body.size() / 2);
    }
    socket->write(head + "\r\n");
    socket->write(body);
    if (r.breakOff) {
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket]() {
            if (socket->bytesToWrite() == 0)
                socket->abort();
        });
    } else {
        socket->disconnectFromHost();
    }
}
