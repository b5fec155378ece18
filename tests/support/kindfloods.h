#ifndef KINDFLOODS_H
#define KINDFLOODS_H

// Files of every kind TagLib reads whose tag is a flood of tiny fields, in the kind's usual tag:
// what a download or a memory card may bring. Header only.

#include "audiocontainers.h"
#include "id3tagbytes.h"
#include "tagfloods.h"

#include <QHash>
#include <QString>

// The fields of a flood: a title, `count` tiny fields of names of their own, an artist.
inline QByteArray floodComment(int count)
{
    QByteArray fields;
    fields.reserve(count * 16 + 64);
    appendVorbisField(fields, "TITLE=Flood Title", 17);
    char field[24];
    for (int i = 0; i < count; ++i) {
        int length = fieldNameInto(field, i);
        field[length++] = '=';
        field[length++] = 'a';
        appendVorbisField(fields, field, length);
    }
    appendVorbisField(fields, "ARTIST=Flood Artist", 19);
    return vorbisCommentOf(fields, quint32(count + 2));
}

inline QByteArray floodApeTag(int count)
{
    QByteArray items;
    items.reserve(count * 20 + 64);
    appendApeItem(items, "Title", 5, "Flood Title", 11);
    char name[16];
    for (int i = 0; i < count; ++i)
        appendApeItem(items, name, fieldNameInto(name, i), "a", 1);
    appendApeItem(items, "Artist", 6, "Flood Artist", 12);
    return apeTagOf(items, quint32(count + 2));
}

inline QByteArray floodId3v2(int count)
{
    return id3v2ManyFrames({ { "TIT2", 0, "Flood Title" } }, count,
                           { { "TPE1", 0, "Flood Artist" } });
}

inline QByteArray floodMp4Items(int count)
{
    QByteArray items = mp4Item("\251nam", "Flood Title");
    items.reserve(count * 25 + 64);
    char name[16];
    for (int i = 0; i < count; ++i) {
        fieldNameInto(name, i % 17576 + 702);
        appendTinyMp4Item(items, name);
    }
    return items + mp4Item("\251ART", "Flood Artist");
}

// A name of four printable characters of its own for each number below 95^4.
inline QByteArray chunkName(int i)
{
    QByteArray name(4, ' ');
    for (int k = 3; k >= 0; --k, i /= 95)
        name[k] = char(' ' + i % 95);
    return name;
}

// Extended content descriptions of a genre, `count` tiny descriptors and the album, as many
// objects as they take (65,535 descriptors an object at most).
inline QByteArray floodAsfObjects(int count, int* objects)
{
    QByteArray all;
    *objects = 0;
    const int total = count + 2;
    for (int first = 0; first < total; first += 65535) {
        QByteArray descriptors;
        const int n = qMin(65535, total - first);
        descriptors.reserve(n * 24);
        char name[16];
        for (int i = first; i < first + n; ++i) {
            if (i == 0)
                appendAsfDescriptor(descriptors, QLatin1String("WM/Genre"), QLatin1String("Flood"));
            else if (i == total - 1)
                appendAsfDescriptor(descriptors, QLatin1String("WM/AlbumTitle"),
                                    QLatin1String("Flood Album"));
            else
                appendAsfDescriptor(descriptors, QLatin1String(name, fieldNameInto(name, i)),
                                    QLatin1String("a"));
        }
        all += asfExtendedContent(descriptors, n);
        ++*objects;
    }
    return all;
}

// A file of the kind (TagLib's name of it) with the kind's usual tag of a title, `count` tiny
// fields and an artist, and a name for it in `name`; `encoded` holds the untagged audio of
// AudioGenerator::untaggedTemplate() by suffix (mp3, ogg, flac, opus, spx, oga, wv). Empty for a
// kind not known here.
inline QByteArray kindFlood(const QString& kind, int count,
                            const QHash<QString, QByteArray>& encoded, QString* name)
{
    const QString base = QString(kind).replace(QLatin1Char(' '), QLatin1Char('-')).toLower();
    struct Made
    {
        const char* suffix;
        QByteArray bytes;
    };
    Made made { "", QByteArray() };
    if (kind == QLatin1String("MPEG"))
        made = { "mp3", floodId3v2(count) + encoded.value("mp3") };
    else if (kind == QLatin1String("Ogg Vorbis"))
        made = { "ogg", oggVorbisWithComment(encoded.value("ogg"), floodComment(count)) };
    else if (kind == QLatin1String("Ogg Opus"))
        made = { "opus",
                 oggWithHeaders(encoded.value("opus"), 1, { "OpusTags" + floodComment(count) }) };
    else if (kind == QLatin1String("Ogg Speex"))
        made = { "ogg", oggWithHeaders(encoded.value("spx"), 1, { floodComment(count) }) };
    else if (kind == QLatin1String("Ogg FLAC"))
        made = { "oga", oggWithHeaders(encoded.value("oga"), -1,
                                       { flacBlock(4, floodComment(count), true) }) };
    else if (kind == QLatin1String("FLAC"))
        made = { "flac",
                 flacWithBlocks(encoded.value("flac"), flacBlock(4, floodComment(count), true)) };
    else if (kind == QLatin1String("Musepack"))
        made = { "oga", musepackFile() + floodApeTag(count) };
    else if (kind == QLatin1String("WavPack"))
        made = { "oga", encoded.value("wv") + floodApeTag(count) };
    else if (kind == QLatin1String("TrueAudio"))
        made = { "oga", floodId3v2(count) + trueAudioFile() };
    else if (kind == QLatin1String("APE"))
        made = { "oga", monkeysAudioFile() + floodApeTag(count) };
    else if (kind == QLatin1String("MP4"))
        made = { "m4a", mp4File(floodMp4Items(count)) };
    else if (kind == QLatin1String("ASF")) {
        int objects = 0;
        const QByteArray descriptors = floodAsfObjects(count, &objects);
        made = { "wma", asfFile(QStringLiteral("Flood Title"), QStringLiteral("Flood Artist"),
                                descriptors, objects) };
    } else if (kind == QLatin1String("AIFF"))
        made = { "oga", aiffFile(riffChunk("ID3 ", floodId3v2(count), true)) };
    else if (kind == QLatin1String("WAV"))
        made = { "wav", wavFile(riffChunk("id3 ", floodId3v2(count))) };
    *name = base + QLatin1Char('.') + QLatin1String(made.suffix);
    return made.bytes;
}

#endif // KINDFLOODS_H
