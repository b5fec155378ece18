#ifndef TRACKERTAGSTREAM_H
#define TRACKERTAGSTREAM_H

#include <QByteArray>
#include <QList>

#include <taglib/tiostream.h>

// What TagLib reads of an audio file: the file's open descriptor (the name is never opened
// again, so the file read is the one that was checked), read only. Stretches of the file may be
// shown as other bytes (a tag bounded for the reader, see Id3v2Trim and TrackerTagTrim): the
// stream is then the file with each stretch replaced, its length changed by the difference.
class TrackerTagStream : public TagLib::IOStream
{
public:
    // fd stays the caller's: it must outlive the stream, which does not close it.
    TrackerTagStream(int fd, const QByteArray& name);
    // The head of the file up to headBytes is read as `head` instead.
    void replaceHead(qint64 headBytes, const QByteArray& head) { replace(0, headBytes, head); }
    // The file's bytes from offset on, `length` of them, are read as `bytes` instead. Stretches
    // are given in the order they stand in the file and do not overlap.
    void replace(qint64 offset, qint64 length, const QByteArray& bytes);

    TagLib::FileName name() const override;
    TagLib::ByteVector readBlock(unsigned long length) override;
    void writeBlock(const TagLib::ByteVector& data) override;
    void insert(const TagLib::ByteVector& data, unsigned long start = 0,
                unsigned long replace = 0) override;
    void removeBlock(unsigned long start = 0, unsigned long length = 0) override;
    bool readOnly() const override;
    bool isOpen() const override;
    void seek(long offset, Position p = Beginning) override;
    void clear() override;
    long tell() const override;
    long length() override;
    void truncate(long length) override;

private:
    // Bytes of the stream at an offset of it.
    qint64 readAt(qint64 offset, char* into, qint64 count) const;
    // Bytes of the file itself.
    qint64 readFile(qint64 offset, char* into, qint64 count) const;

    struct Stretch
    {
        qint64 offset; // in the file
        qint64 length; // in the file
        QByteArray bytes;
    };

    int m_fd;
    QByteArray m_name;
    QList<Stretch> m_stretches;
    qint64 m_fileLength;
    qint64 m_position = 0;
};

#endif // TRACKERTAGSTREAM_H
