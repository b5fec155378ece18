// Fetching a radio playlist from servers that do not play fair: a compressed answer that unpacks
// to hundreds of megabytes, a body without end, and a server that sends one byte a second.

#include "mafwerror.h"
#include "testenvironment.h"
#include "zelplaylistparser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <zlib.h>

namespace {

// How a hostile server answers one request.
enum class Answer { GzipBomb, Endless, Trickle, Plain };

// The peak resident memory of this process, in KiB.
double peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// `size` zero bytes as one gzip member: a few hundred KiB on the wire.
QByteArray gzipOfZeros(qint64 size)
{
    z_stream stream {};
    if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    char buffer[1 << 16];
    for (qint64 left = size; left >= 0;) {
        const int chunk = int(qMin<qint64>(left, zeros.size()));
        left -= chunk;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        stream.avail_in = uInt(chunk);
        const int flush = left > 0 ? Z_NO_FLUSH : Z_FINISH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, int(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&stream);
    return out;
}

// Listens on 127.0.0.1 only and answers every request the same way. Every loop is bounded: the
// endless body stops at 256 MiB, the trickle after 40 bytes, and each connection then closes.
class HostileServer : public QTcpServer
{
public:
    explicit HostileServer(Answer answer)
        : m_answer(answer)
    {
        if (answer == Answer::GzipBomb)
            m_bomb = gzipOfZeros(qint64(200) << 20);
    }

    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/radio.pls").arg(serverPort()));
    }

    qint64 sent = 0; // body bytes the client took before the connection ended
    bool closedByClient = false;
    QElapsedTimer closedAfter;

protected:
    void incomingConnection(qintptr handle) override
    {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        closedAfter.start();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket]() {
            socket->readAll();
            if (!socket->property("answered").toBool()) {
                socket->setProperty("answered", true);
                answer(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, [this, socket]() {
            if (!socket->property("finished").toBool())
                closedByClient = true;
            socket->deleteLater();
        });
    }

private:
    void answer(QTcpSocket* socket)
    {
        QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: audio/x-scpls\r\n";
        switch (m_answer) {
        case Answer::GzipBomb:
            // Sent whatever the client asked for.
            socket->write(head + "Content-Encoding: gzip\r\nContent-Length: "
                          + QByteArray::number(m_bomb.size()) + "\r\n\r\n");
            socket->write(m_bomb);
            finishAfterWrite(socket);
            break;
        case Answer::Plain:
            socket->write(head
                          + "\r\n[playlist]\nNumberOfEntries=1\nFile1=http://127.0.0.1:9/"
                            "stream\nVersion=2\n");
            finishAfterWrite(socket);
            break;
        case Answer::Endless: {
            socket->write(head + "\r\n");
            const QByteArray line(64 * 1024, '#');
            auto more = [this, socket, line]() {
                while (socket->bytesToWrite() < 4 * line.size() && sent < (qint64(256) << 20)) {
                    socket->write(line);
                    sent += line.size();
                }
                if (sent >= (qint64(256) << 20))
                    finishAfterWrite(socket);
            };
            connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
            break;
        }
        case Answer::Trickle: {
            socket->write(head + "\r\n");
            auto* timer = new QTimer(socket);
            const QByteArray body = "[playlist]\nFile1=http://127.0.0.1:9/a\n";
            connect(timer, &QTimer::timeout, socket, [this, socket, timer, body]() {
                if (sent >= 40 || socket->state() != QAbstractSocket::ConnectedState) {
                    timer->stop();
                    finishAfterWrite(socket);
                    return;
                }
                socket->write(body.mid(int(sent % body.size()), 1));
                ++sent;
            });
            timer->start(1000);
            break;
        }
        }
    }

    void finishAfterWrite(QTcpSocket* socket)
    {
        socket->setProperty("finished", true);
        socket->disconnectFromHost();
    }

    Answer m_answer;
    QByteArray m_bomb;
};

} // namespace

class TestZelPlaylistFetch : public QObject
{
    Q_OBJECT

private:
    // Parses url and waits up to waitMs for the end; returns the error code (-1: no end).
    int fetch(const QUrl& url, int waitMs, QList<QUrl>* entries = nullptr)
    {
        ZelPlaylistParser parser;
        QSignalSpy finished(&parser, SIGNAL(finished(QList<QUrl>, int)));
        parser.parse(url);
        if (!finished.wait(waitMs) && finished.isEmpty())
            return -1;
        if (entries)
            *entries = finished.first().at(0).value<QList<QUrl>>();
        return finished.first().at(1).toInt();
    }

private slots:
    void initTestCase() { qRegisterMetaType<QList<QUrl>>("QList<QUrl>"); }

    void aFairServerStillServes()
    {
        HostileServer server(Answer::Plain);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QList<QUrl> entries;
        QCOMPARE(fetch(server.url(), 20000, &entries), int(MafwError::NoError));
        QCOMPARE(entries, QList<QUrl> { QUrl(QStringLiteral("http://127.0.0.1:9/stream")) });
    }

    void aCompressedAnswerIsNotInflated()
    {
        HostileServer server(Answer::GzipBomb);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const double before = peakKiB();
        const int code = fetch(server.url(), 60000);
        const double grown = (peakKiB() - before) / 1024.0;
        qInfo("peak memory grew by %.1f MiB", grown);
        QCOMPARE(code, int(MafwError::CorruptPlaylist));
        // The body inflates to 200 MiB; what is read stays near the 1 MiB cap.
        QVERIFY2(grown < 48, qPrintable(QString::number(grown)));
    }

    void anEndlessBodyIsCutAtTheCap()
    {
        HostileServer server(Answer::Endless);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QCOMPARE(fetch(server.url(), 60000), int(MafwError::CorruptPlaylist));
        QTRY_VERIFY_WITH_TIMEOUT(server.closedByClient, 20000);
        qInfo("the server sent %.1f MiB before the player closed", server.sent / 1048576.0);
        // The cap, and what the sockets' buffers take on the way.
        QVERIFY2(server.sent < (qint64(24) << 20), qPrintable(QString::number(server.sent)));
    }

    void aTrickleEndsInCannotConnect()
    {
        HostileServer server(Answer::Trickle);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QElapsedTimer took;
        took.start();
        // One byte a second never trips a timeout that waits for silence; the whole fetch has
        // 15 s.
        QCOMPARE(fetch(server.url(), 30000), int(MafwError::CannotConnect));
        qInfo("given up after %lld ms", took.elapsed());
        QVERIFY(took.elapsed() < 30000);
        QTRY_VERIFY_WITH_TIMEOUT(server.closedByClient, 20000);
    }
};

PARLOVANCE_TEST_MAIN_CORE(TestZelPlaylistFetch)
#include "tst_zelplaylistfetch.moc"
