#ifndef AUDIOCONTAINERS_H
#define AUDIOCONTAINERS_H

// Audio files of the kinds no encoder here writes (or writes with tags of their own), written
// byte by byte with a second of silence: RIFF WAV and AIFF chunks, MP4 atoms, an ASF header, the
// heads of Musepack, TrueAudio and Monkey's Audio files. Enough for TagLib to read their
// properties and tags; the audio itself is not meant to be played. Header only.

#include "tagfloods.h"

#include <QByteArray>
#include <QList>
#include <QString>

inline QByteArray bigEndianBytes(quint64 value, int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[count - 1 - i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

// The floods below append in place: under the sanitizers a temporary array a byte costs
// minutes over a million fields.
inline void appendLittleEndian(QByteArray& out, quint64 value, int count)
{
    for (int i = 0; i < count; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

inline QByteArray littleEndianBytes(quint64 value, int count)
{
    QByteArray bytes;
    bytes.reserve(count);
    appendLittleEndian(bytes, value, count);
    return bytes;
}

// A RIFF or AIFF chunk: its name, its size (little-endian for RIFF, big-endian for AIFF), its
// data and the padding byte of an odd size.
inline QByteArray riffChunk(const QByteArray& name, const QByteArray& data, bool bigEndian = false)
{
    QByteArray bytes = name
                       + (bigEndian ? bigEndianBytes(quint64(data.size()), 4)
                                    : littleEndianBytes(quint64(data.size()), 4))
                       + data;
    if (data.size() & 1)
        bytes += '\0';
    return bytes;
}

// Appends a chunk of four bytes of data in place (floods of millions).
inline void appendTinyChunk(QByteArray& chunks, const char* name, bool bigEndian = false)
{
    chunks.append(name, 4);
    chunks.append(bigEndian ? QByteArray("\0\0\0\x04", 4) : QByteArray("\x04\0\0\0", 4));
    chunks.append("abcd", 4);
}

// A WAV file of a second of 16-bit stereo silence at 44.1 kHz, `chunks` between its format and its
// audio.
inline QByteArray wavFile(const QByteArray& chunks)
{
    const QByteArray format = littleEndianBytes(1, 2) + littleEndianBytes(2, 2)
                              + littleEndianBytes(44100, 4) + littleEndianBytes(176400, 4)
                              + littleEndianBytes(4, 2) + littleEndianBytes(16, 2);
    const QByteArray body = "WAVE" + riffChunk("fmt ", format) + chunks
                            + riffChunk("data", QByteArray(176400, '\0'));
    return "RIFF" + littleEndianBytes(quint64(body.size()), 4) + body;
}

// A LIST chunk's INFO fields: each a name of four letters and its text.
inline QByteArray infoList(const QList<QPair<QByteArray, QByteArray>>& fields)
{
    QByteArray data = "INFO";
    for (const auto& field : fields)
        data += riffChunk(field.first, field.second + '\0');
    return riffChunk("LIST", data);
}

// An AIFF file of the same second, `chunks` between its common chunk and its sound.
inline QByteArray aiffFile(const QByteArray& chunks)
{
    // 44,100 as an 80-bit extended number.
    const QByteArray rate("\x40\x0e\xac\x44\0\0\0\0\0\0", 10);
    const QByteArray common = bigEndianBytes(2, 2) + bigEndianBytes(44100, 4)
                              + bigEndianBytes(16, 2) + rate;
    const QByteArray sound = QByteArray(8, '\0') + QByteArray(176400, '\0');
    const QByteArray body = "AIFF" + riffChunk("COMM", common, true) + chunks
                            + riffChunk("SSND", sound, true);
    return "FORM" + bigEndianBytes(quint64(body.size()), 4) + body;
}

inline QByteArray mp4Atom(const QByteArray& name, const QByteArray& body)
{
    return bigEndianBytes(quint64(body.size() + 8), 4) + name + body;
}

// An ilst item of one text value.
inline QByteArray mp4Item(const QByteArray& name, const QByteArray& text)
{
    return mp4Atom(name, mp4Atom("data", QByteArray("\0\0\0\x01\0\0\0\0", 8) + text));
}

// Appends an item of a one-letter text in place (floods of hundreds of thousands).
inline void appendTinyMp4Item(QByteArray& items, const char* name)
{
    items.append("\0\0\0\x19", 4);
    items.append(name, 4);
    items.append("\0\0\0\x11"
                 "data\0\0\0\x01\0\0\0\0a",
                 17);
}

// An MP4 file of a second of audio (an AAC track that holds no frames), the given items in its
// moov.udta.meta.ilst, and `moovAtoms` in its moov after them.
inline QByteArray mp4File(const QByteArray& items, const QByteArray& moovAtoms = QByteArray())
{
    const QByteArray mvhd = mp4Atom("mvhd", QByteArray(12, '\0') + bigEndianBytes(1000, 4)
                                                + bigEndianBytes(1000, 4) + QByteArray(80, '\0'));
    const QByteArray mdhd = mp4Atom("mdhd", QByteArray(12, '\0') + bigEndianBytes(44100, 4)
                                                + bigEndianBytes(44100, 4) + QByteArray(4, '\0'));
    const QByteArray hdlr = mp4Atom("hdlr", QByteArray(8, '\0') + "soun" + QByteArray(13, '\0'));
    const QByteArray entry = mp4Atom("mp4a", QByteArray(6, '\0') + bigEndianBytes(1, 2)
                                                 + QByteArray(8, '\0') + bigEndianBytes(2, 2)
                                                 + bigEndianBytes(16, 2) + QByteArray(4, '\0')
                                                 + bigEndianBytes(44100u << 16, 4));
    const QByteArray stsd = mp4Atom("stsd", QByteArray(4, '\0') + bigEndianBytes(1, 4) + entry);
    const QByteArray trak = mp4Atom("trak",
                                    mp4Atom("mdia",
                                            mdhd + hdlr + mp4Atom("minf", mp4Atom("stbl", stsd))));
    const QByteArray metaHandler = mp4Atom("hdlr", QByteArray(8, '\0') + "mdir" + "appl"
                                                       + QByteArray(9, '\0'));
    const QByteArray udta = mp4Atom("udta", mp4Atom("meta", QByteArray(4, '\0') + metaHandler
                                                                + mp4Atom("ilst", items)));
    return mp4Atom("ftyp", QByteArray("M4A \0\0\0\0M4A mp42", 16))
           + mp4Atom("moov", mvhd + trak + udta + moovAtoms)
           + mp4Atom("mdat", QByteArray(64, '\0'));
}

// An MP4 file of `count` one-letter titles in its ilst. GStreamer's MP4 demuxer adds each atom
// to the list of its parent's children by walking that list to its end, so it spends time
// growing with the square of the items before it has read the file's header (seconds at 20,000
// items, a minute at 100,000), on its streaming thread, and its pipeline cannot be taken down
// until it is through.
inline QByteArray mp4FileOfTitles(int count)
{
    QByteArray items;
    items.reserve(count * 25);
    for (int i = 0; i < count; ++i)
        appendTinyMp4Item(items, "\xa9nam");
    return mp4File(items);
}

// ASF: its objects' identifiers.
inline QByteArray asfGuid(const char* which)
{
    const QByteArray name(which);
    if (name == "header")
        return QByteArray("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    if (name == "file")
        return QByteArray("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    if (name == "stream")
        return QByteArray("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65", 16);
    if (name == "content")
        return QByteArray("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    if (name == "extended")
        return QByteArray("\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
    if (name == "headerExtension")
        return QByteArray("\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
    if (name == "metadata")
        return QByteArray("\xEA\xCB\xF8\xC5\xAF\x5B\x77\x48\x84\x67\xAA\x8C\x44\xFA\x4C\xCA", 16);
    return QByteArray(16, 'x');
}

inline QByteArray asfObject(const char* guid, const QByteArray& body)
{
    return asfGuid(guid) + littleEndianBytes(quint64(body.size() + 24), 8) + body;
}

// text as UTF-16LE, with its terminating zero when ended.
inline void appendUtf16le(QByteArray& out, QStringView text, bool ended = true)
{
    for (const QChar c : text) {
        out.append(char(c.unicode() & 0xff));
        out.append(char(c.unicode() >> 8));
    }
    if (ended)
        out.append(2, '\0');
}

// The same of a Latin-1 text, with no QString made for it.
inline void appendUtf16le(QByteArray& out, QLatin1String text, bool ended = true)
{
    for (const char c : text) {
        out.append(c);
        out.append('\0');
    }
    if (ended)
        out.append(2, '\0');
}

inline QByteArray utf16le(const QString& text, bool ended = true)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2 + 2);
    appendUtf16le(bytes, QStringView(text), ended);
    return bytes;
}

// An extended content description's text descriptor, appended.
template <typename Text>
inline void appendAsfDescriptor(QByteArray& out, Text name, Text text)
{
    appendLittleEndian(out, quint64(name.size() + 1) * 2, 2);
    appendUtf16le(out, name);
    appendLittleEndian(out, 0, 2);
    appendLittleEndian(out, quint64(text.size() + 1) * 2, 2);
    appendUtf16le(out, text);
}

inline QByteArray asfDescriptor(const QString& name, const QString& text)
{
    QByteArray bytes;
    appendAsfDescriptor(bytes, QStringView(name), QStringView(text));
    return bytes;
}

inline QByteArray asfExtendedContent(const QByteArray& descriptors, int count)
{
    return asfObject("extended", littleEndianBytes(quint64(count), 2) + descriptors);
}

// An ASF file of a second of audio whose header holds its title and artist (a content
// description) and then `objects` (of `count`); no data packets follow.
inline QByteArray asfFile(const QString& title, const QString& artist, const QByteArray& objects,
                          int count)
{
    const QByteArray file = asfObject("file", QByteArray(40, '\0') + littleEndianBytes(10000000, 8)
                                                  + QByteArray(8, '\0') + littleEndianBytes(0, 8)
                                                  + QByteArray(16, '\0'));
    const QByteArray stream = asfObject("stream",
                                        QByteArray(54, '\0') + littleEndianBytes(0x161, 2)
                                            + littleEndianBytes(2, 2) + littleEndianBytes(44100, 4)
                                            + littleEndianBytes(16000, 4) + littleEndianBytes(4, 2)
                                            + littleEndianBytes(16, 2) + QByteArray(2, '\0'));
    const QByteArray t = utf16le(title), a = utf16le(artist);
    const QByteArray content = asfObject("content", littleEndianBytes(quint64(t.size()), 2)
                                                        + littleEndianBytes(quint64(a.size()), 2)
                                                        + QByteArray(6, '\0') + t + a);
    const QByteArray all = file + stream + content + objects;
    return asfGuid("header") + littleEndianBytes(quint64(all.size() + 30), 8)
           + littleEndianBytes(quint64(count + 3), 4) + QByteArray("\x01\x02", 2) + all;
}

// The heads of files of three kinds that no encoder here writes, then a second's worth of
// bytes: Musepack SV7 (44.1 kHz, 39 frames), TrueAudio, Monkey's Audio 3.99.
inline QByteArray musepackFile()
{
    return "MP+" + QByteArray(1, '\x07') + littleEndianBytes(39, 4) + QByteArray(48, '\0')
           + QByteArray(20000, '\0');
}

inline QByteArray trueAudioFile()
{
    return "TTA1" + littleEndianBytes(1, 2) + littleEndianBytes(2, 2) + littleEndianBytes(16, 2)
           + littleEndianBytes(44100, 4) + littleEndianBytes(44100, 4) + QByteArray(4, '\0')
           + QByteArray(20000, '\0');
}

inline QByteArray monkeysAudioFile()
{
    const QByteArray descriptor = littleEndianBytes(52, 4) + QByteArray(40, '\0');
    const QByteArray header = littleEndianBytes(2000, 2) + littleEndianBytes(0, 2)
                              + littleEndianBytes(73728, 4) + littleEndianBytes(44100, 4)
                              + littleEndianBytes(1, 4) + littleEndianBytes(16, 2)
                              + littleEndianBytes(2, 2) + littleEndianBytes(44100, 4);
    return "MAC " + littleEndianBytes(3990, 2) + QByteArray(2, '\0') + descriptor + header
           + QByteArray(20000, '\0');
}

#endif // AUDIOCONTAINERS_H
