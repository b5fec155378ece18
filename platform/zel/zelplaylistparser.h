#ifndef ZELPLAYLISTPARSER_H
#define ZELPLAYLISTPARSER_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryDir;
class QTimer;

// Reads the entries of a playlist file (PLS, M3U and the other formats totem-pl-parser knows),
// local or on an HTTP server, without blocking the GUI thread. A network playlist is fetched
// first (at most 1 MiB, as sent, all of it within 15 s) and parsed from a temporary copy, with its
// own address as the base of relative entries; it never names a local file. In a local
// playlist an entry without a scheme is a path, absolute or relative to the playlist's folder.
// A local playlist is opened once, without waiting, and checked to be a regular file on its
// descriptor; the parser reads that file by a private name linked to the descriptor, never
// by the user's name.
// A local text that totem-pl-parser does not take for a playlist (an M3U without its header,
// saved under another name) is read as a plain list when it is one (plainListEntries).
class ZelPlaylistParser : public QObject
{
    Q_OBJECT

public:
    explicit ZelPlaylistParser(QObject* parent = nullptr);
    ~ZelPlaylistParser() override;

    // Starts reading url; a read still running is abandoned first.
    void parse(const QUrl& url);
    void cancel();
    bool isRunning() const;

    // The entries of a text that lists files and addresses one a line, as an M3U file without its
    // header does: absolute paths and URLs; blank lines and lines starting with '#' are passed
    // over. The first line that is neither decides: when it is no entry, nor is the text a list,
    // and the result is empty. Other lines are not entries.
    static QList<QUrl> plainListEntries(const QByteArray& text);

signals:
    // errorCode is 0 on success (entries not empty) or an MafwError code.
    void finished(const QList<QUrl>& entries, int errorCode);

private:
    struct Job;
    static void entryParsed(void* parser, const char* uri, void* metadata, void* job);
    static void parseDone(void* parser, void* result, void* job);

    // remoteUrl: the address a downloaded copy came from; invalid for a local playlist.
    void startParsing(const QUrl& url, const QUrl& remoteUrl);
    // The address an entry stands for, or an invalid one for an entry that must not be played.
    static QUrl entryUrl(const Job& job, const char* uri);
    void downloadRead();
    void downloadFinished();
    void downloadTimedOut();
    // Moves what arrived into the copy; false (and the read ended as failed) past the cap.
    bool takeData(QNetworkReply* reply);
    void finish(const QList<QUrl>& entries, int errorCode);
    // Opens a local playlist file on a worker thread, then parses it by a name of its own.
    void readLocal(const QString& path);
    void closeLocal();
    // Reads the local file that the parser passed over as a plain list, on a worker thread.
    void readPlainList();

    QNetworkAccessManager* m_network;
    QNetworkReply* m_reply;
    QTemporaryDir* m_download;
    Job* m_job;
    QTimer* m_deadline;
    // The read of a local file or a plain list that runs; deleted (and its answer dropped) when
    // cancelled.
    QObject* m_plainRead;
    QByteArray m_data;
    // The local playlist file being read, opened once; -1 when none.
    int m_localFd = -1;
    QUrl m_url;
    // Counts cancellations, so that an answer queued for an abandoned read is dropped.
    quint64 m_serial;
};

#endif // ZELPLAYLISTPARSER_H
