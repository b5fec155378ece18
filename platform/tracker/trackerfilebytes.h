#ifndef TRACKERFILEBYTES_H
#define TRACKERFILEBYTES_H

#include <QByteArray>
#include <QtGlobal>

// The bytes of a file open for reading, as the tag walks read them: with pread(), so the
// descriptor's position is left alone, never more than MostHeldBytes at a time (what is larger
// is no tag a reader takes, and TagLib would have read it whole).
class TrackerFileBytes
{
public:
    static constexpr qint64 MostHeldBytes = 256 * 1024 * 1024;

    explicit TrackerFileBytes(int fd);

    qint64 length() const { return m_length; }
    // Bytes at an offset: fewer at the end of the file, none when reading fails.
    QByteArray bytes(qint64 at, qint64 count) const;
    // Where `pattern` (of a few bytes) first stands from `from` on, as TagLib's File::find looks
    // for it; -1 when it does not.
    qint64 find(const QByteArray& pattern, qint64 from = 0) const;
    // `count` bytes at an offset into `into`; false when the file holds fewer. Small reads in
    // order are served from a window of the file read ahead, so that a walk over a million
    // tiny fields makes no call for each.
    bool read(qint64 at, char* into, qint64 count) const;

private:
    int m_fd;
    qint64 m_length = 0;
    mutable QByteArray m_window;
    mutable qint64 m_windowAt = 0;
};

#endif // TRACKERFILEBYTES_H
