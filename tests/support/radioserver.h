#ifndef RADIOSERVER_H
#define RADIOSERVER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// A small HTTP/1.0 server on 127.0.0.1 for the play controller's tests: it serves fixed
// resources, and an internet radio stream with ICY headers and in-stream titles when the
// client asks for them ("Icy-MetaData: 1"). A resource can also break off half-way, or never
// end.
class RadioServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Resource
    {
        QByteArray contentType;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int icyMetaInterval = 0; // bytes of audio between two title blocks; 0: none
        QByteArray icyTitle;     // sent in every title block
        bool breakOff = false;   // announce the whole length, send half, then close
        bool endless = false;    // the body again and again, for as long as the client reads
        QByteArray status = "200 OK";
        int answerAfterMs = 0; // the answer waits this long after the request
    };

    explicit RadioServer(QObject* parent = nullptr);

    bool start();
    void addResource(const QByteArray& path, const Resource& resource);
    // An internet radio: 20 s of MP3 at streamPath from the station "Test Radio" with the title
    // "Some Artist - Some Song", and a PLS file at playlistPath that announces it. False when
    // the audio cannot be made.
    bool addRadio(const QByteArray& streamPath, const QByteArray& playlistPath);
    QUrl url(const QByteArray& path) const;
    int requests(const QByteArray& path) const;

protected:
    void incomingConnection(qintptr handle) override;

private:
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QByteArray& path, bool wantsIcy);
    void answer(QTcpSocket* socket, const QByteArray& path, bool wantsIcy);

    QHash<QByteArray, Resource> m_resources;
    QHash<QByteArray, int> m_requests;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

#endif // RADIOSERVER_H
