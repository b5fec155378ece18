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

#endif // ID3TAGBYTES_H
