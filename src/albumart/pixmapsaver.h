#ifndef PIXMAPSAVER_H
#define PIXMAPSAVER_H

#include <QImage>
#include <QObject>
#include <QRunnable>
#include <QString>

// Writes one image to one file as PNG on a thread of the global pool, so the encoding never
// blocks the GUI thread. Create it with new, connect pixmapSaved() where the end matters, start
// it with startInBackground() and keep no pointer: the pool deletes it after run().
//
// Every image file of the album-art cache is written through here (writeNow() for writers that
// are already off the GUI thread): one file has one writer at a time, the newest image of a file
// wins, and a file appears whole or not at all (a temporary file renamed over it).
class PixmapSaver : public QObject, public QRunnable
{
    Q_OBJECT

public:
    PixmapSaver(QImage image, QString path);
    ~PixmapSaver() override;

    void run() override;

    // Hands the saver to the global thread pool.
    static void startInBackground(PixmapSaver* saver);

    // 2 while a saver writes the path; else 1 when no file is there, 0 when one is.
    static int saveStatus(const QString& path);

    // Writes the image now, on the calling thread, in the given format; false on failure.
    static bool writeNow(const QImage& image, const QString& path, const char* format);

signals:
    // After the save attempt (also a failed one), from the pool thread: receivers get it queued
    // and must not touch the sender, which may already be gone.
    void pixmapSaved();

private:
    QImage image;
    QString path;
    quint64 ticket;
};

#endif // PIXMAPSAVER_H
