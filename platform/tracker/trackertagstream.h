#ifndef TRACKERTAGSTREAM_H
#define TRACKERTAGSTREAM_H

#include <QByteArray>

#include <taglib/tiostream.h>

// What TagLib reads of an audio file: the file's open descriptor (the name is never opened
// again, so the file read is the one that was checked), read only. The ID3v2 tag at its head
// may be shown as another one (a trimmed tag, see Id3v2Trim): the stream is then that tag,
// followed by the file from the end of its own tag on.
class TrackerTagStream : public TagLib::IOStream
{
public:
    // fd stays the caller's: it must outlive the stream, which does not close it.
    TrackerTagStream(int fd, const QByteArray& name);
    // The head of the file up to headBytes is read as `head` instead.
    void replaceHead(qint64 headBytes, const QByteArray& head);

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
    // Bytes of the file at an offset of the stream.
    qint64 readAt(qint64 offset, char* into, qint64 count) const;

    int m_fd;
    QByteArray m_name;
    QByteArray m_head;
    qint64 m_replaced = 0;
    qint64 m_fileLength;
    qint64 m_position = 0;
};

#endif // TRACKERTAGSTREAM_H
