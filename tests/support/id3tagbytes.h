#ifndef ID3TAGBYTES_H
#define ID3TAGBYTES_H

// ID3 tags written byte by byte, as old taggers left them: an ID3v1 tag or ID3v2 text frames
// whose bytes are in whatever character set the tagger's system used, declared or not.
// Header only.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextCodec>

// The text in the bytes of a character set that Qt knows by the name.
inline QByteArray encoded(const char* codec, const QString& text)
{
    return QTextCodec::codecForName(codec)->fromUnicode(text);
}

// An ID3v1 tag of three fields already in the bytes of some character set.
inline QByteArray id3v1(const QByteArray& title, const QByteArray& artist, const QByteArray& album)
{
    auto field = [](const QByteArray& bytes) { return bytes.leftJustified(30, '\0', true); };
    return "TAG" + field(title) + field(artist) + field(album) + "1961" + QByteArray(30, '\0')
           + char(0xff);
}

// One ID3v2 text frame: its encoding byte (0 Latin-1, 1 UTF-16 with a byte order mark,
// 3 UTF-8) and the text's bytes in it.
struct TextFrame
{
    QByteArray id;
    char encoding;
    QByteArray bytes;
};

inline TextFrame utf16Frame(const QByteArray& id, const QString& text)
{
    QByteArray bytes("\xff\xfe");
    for (const QChar c : text)
        bytes += char(c.unicode() & 0xff) + QByteArray(1, char(c.unicode() >> 8));
    return { id, 1, bytes };
}

inline QByteArray id3SizeBytes(quint32 size, bool syncSafe)
{
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = char(syncSafe ? size & 0x7f : size & 0xff);
        size >>= syncSafe ? 7 : 8;
    }
    return bytes;
}

// An ID3v2.3 or v2.4 tag of text frames.
inline QByteArray id3v2(int version, const QList<TextFrame>& frames)
{
    QByteArray body;
    for (const TextFrame& frame : frames) {
        const QByteArray data = frame.encoding + frame.bytes;
        body += frame.id + id3SizeBytes(quint32(data.size()), version == 4) + QByteArray(2, '\0')
                + data;
    }
    return "ID3" + QByteArray(1, char(version)) + QByteArray(2, '\0')
           + id3SizeBytes(quint32(body.size()), true) + body;
}

// An ID3v2.3 tag whose first frames are `head`, then `count` tiny title frames (12 bytes each,
// an empty Latin-1 text), then `tail`: what a tag of a million frames looks like.
inline QByteArray id3v2ManyFrames(const QList<TextFrame>& head, int count,
                                  const QList<TextFrame>& tail)
{
    const QByteArray start = id3v2(3, head).mid(10);
    const QByteArray end = id3v2(3, tail).mid(10);
    const QByteArray tiny = QByteArray("TIT2") + id3SizeBytes(2, false) + QByteArray(2, '\0')
                            + QByteArray(1, '\0') + 'a';
    QByteArray body;
    body.reserve(start.size() + count * tiny.size() + end.size());
    body += start;
    for (int i = 0; i < count; ++i)
        body += tiny;
    body += end;
    return "ID3" + QByteArray(1, char(3)) + QByteArray(2, '\0')
           + id3SizeBytes(quint32(body.size()), true) + body;
}

// The audio of an MP3 file without the ID3v2 tag at its head.
inline QByteArray withoutId3v2(const QByteArray& file)
{
    if (!file.startsWith("ID3") || file.size() < 10)
        return file;
    quint32 size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (uchar(file.at(i)) & 0x7f);
    return file.mid(10 + int(size));
}

#endif // ID3TAGBYTES_H
