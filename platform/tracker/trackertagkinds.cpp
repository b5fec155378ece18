#include "trackertagkinds.h"

#include "id3v2trim.h"
#include "trackerasftrim.h"
#include "trackeratomtrim.h"
#include "trackerchunktrim.h"
#include "trackerfilebytes.h"
#include "trackertagtrim.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/asffile.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/trueaudiofile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>

#include <algorithm>
#include <cstring>

namespace {

using Bounds = TrackerTagTrim::Result;

void add(Bounds* bounds, const Bounds& more)
{
    bounds->stretches += more.stretches;
    bounds->bounded += more.bounded;
    bounds->unbounded = bounds->unbounded || more.unbounded;
}

// The ID3v2 tag at `at`, as Id3v2Trim bounds it; returns where the tag ends (`at` without one).
qint64 boundId3v2(int fd, qint64 at, Bounds* bounds)
{
    const Id3v2Trim::Source whole = Id3v2Trim::fromDescriptor(fd);
    const Id3v2Trim::Result trim = Id3v2Trim::walk(
        [whole, at](qint64 offset, char* into, qint64 bytes) {
            return whole(at + offset, into, bytes);
        });
    if (trim.trimmed) {
        bounds->stretches.append({ at, trim.tagBytes, trim.tag });
        bounds->bounded.append(QStringLiteral("an ID3v2 tag of %1 frames (%2 cut, inflated or "
                                              "left out)")
                                   .arg(trim.frames)
                                   .arg(trim.rewritten));
    }
    return at + trim.tagBytes;
}

// Reads a file for TagLib's MPEG frame headers, which take a file.
class Probe : public TagLib::File
{
public:
    explicit Probe(TagLib::IOStream* stream)
        : TagLib::File(stream)
    {
    }
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

// Where TagLib's MPEG reader finds an ID3v2 tag: at the head, or, when no frame stands there,
// the first "ID3" before a valid frame header; -1 for none.
qint64 mpegId3v2(int fd, const QByteArray& name)
{
    const TrackerFileBytes file(fd);
    if (file.bytes(0, 3) == "ID3")
        return 0;
    TrackerTagStream stream(fd, name);
    Probe probe(&stream);
    if (TagLib::MPEG::Header(&probe, 0, true).isValid())
        return -1;
    const qint64 piece = 64 * 1024;
    uchar previous[2] = { 0, 0 };
    for (qint64 at = 0; at < file.length(); at += piece) {
        const QByteArray bytes = file.bytes(at, piece);
        if (bytes.isEmpty())
            return -1;
        for (int i = 0; i < bytes.size(); ++i) {
            const uchar c = uchar(bytes.at(i));
            if (previous[1] == 0xff && c != 0xff && (c & 0xe0) == 0xe0
                && TagLib::MPEG::Header(&probe, long(at + i - 1), true).isValid())
                return -1;
            if (previous[0] == 'I' && previous[1] == 'D' && c == '3')
                return at + i - 2;
            previous[0] = previous[1];
            previous[1] = c;
        }
    }
    return -1;
}

void boundMpeg(int fd, const QByteArray& name, Bounds* bounds)
{
    const qint64 at = mpegId3v2(fd, name);
    const qint64 dataStart = at == 0 ? boundId3v2(fd, 0, bounds) : 0;
    if (at > 0)
        boundId3v2(fd, at, bounds);
    add(bounds, TrackerTagTrim::ape(fd, dataStart));
}

void boundFlac(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerTagTrim::flac(fd, boundId3v2(fd, 0, bounds)));
}

// Musepack and Monkey's Audio look past an ID3v2 tag at the head for their APE tag.
void boundApeAfterId3v2(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerTagTrim::ape(fd, boundId3v2(fd, 0, bounds)));
}

void boundApe(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerTagTrim::ape(fd, 0));
}

void boundId3v2AtHead(int fd, const QByteArray&, Bounds* bounds)
{
    boundId3v2(fd, 0, bounds);
}

void boundOgg(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerTagTrim::ogg(fd));
}

void boundMp4(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerAtomTrim::walk(fd));
}

void boundAsf(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerAsfTrim::walk(fd));
}

void boundWav(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerChunkTrim::walk(fd, TrackerChunkTrim::Wav));
}

void boundAiff(int fd, const QByteArray&, Bounds* bounds)
{
    add(bounds, TrackerChunkTrim::walk(fd, TrackerChunkTrim::Aiff));
}

const TagLib::AudioProperties::ReadStyle Style = TagLib::AudioProperties::Average;

struct Kind
{
    const char* name;
    // The suffixes TagLib reads as this kind (upper case, each between spaces).
    const char* suffixes;
    bool (*isSupported)(TagLib::IOStream*);
    TagLib::File* (*create)(TagLib::IOStream*, TagLib::ID3v2::FrameFactory*);
    void (*bound)(int fd, const QByteArray& name, Bounds*);
};

// In the order TagLib looks at a file's content (FileRef's detectByContent).
const Kind Kinds[] = {
    { "MPEG", " MP3 ", &TagLib::MPEG::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory* f) -> TagLib::File* {
          return new TagLib::MPEG::File(s, f ? f : TagLib::ID3v2::FrameFactory::instance(), true,
                                        Style);
      },
      &boundMpeg },
    { "Ogg Vorbis", " OGG ", &TagLib::Ogg::Vorbis::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::Ogg::Vorbis::File(s, true, Style);
      },
      &boundOgg },
    { "Ogg FLAC", " ", &TagLib::Ogg::FLAC::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::Ogg::FLAC::File(s, true, Style);
      },
      &boundOgg },
    { "FLAC", " FLAC ", &TagLib::FLAC::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::FLAC::File(s, TagLib::ID3v2::FrameFactory::instance(), true, Style);
      },
      &boundFlac },
    { "Musepack", " MPC ", &TagLib::MPC::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::MPC::File(s, true, Style);
      },
      &boundApeAfterId3v2 },
    { "WavPack", " WV ", &TagLib::WavPack::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::WavPack::File(s, true, Style);
      },
      &boundApe },
    { "Ogg Speex", " SPX ", &TagLib::Ogg::Speex::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::Ogg::Speex::File(s, true, Style);
      },
      &boundOgg },
    { "Ogg Opus", " OPUS ", &TagLib::Ogg::Opus::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::Ogg::Opus::File(s, true, Style);
      },
      &boundOgg },
    { "TrueAudio", " TTA ", &TagLib::TrueAudio::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::TrueAudio::File(s, true, Style);
      },
      &boundId3v2AtHead },
    { "MP4", " M4A M4R M4B M4P MP4 3G2 M4V ", &TagLib::MP4::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::MP4::File(s, true, Style);
      },
      &boundMp4 },
    { "ASF", " WMA ASF ", &TagLib::ASF::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::ASF::File(s, true, Style);
      },
      &boundAsf },
    { "AIFF", " AIF AIFF AFC AIFC ", &TagLib::RIFF::AIFF::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::RIFF::AIFF::File(s, true, Style);
      },
      &boundAiff },
    { "WAV", " WAV ", &TagLib::RIFF::WAV::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::RIFF::WAV::File(s, true, Style);
      },
      &boundWav },
    { "APE", " APE ", &TagLib::APE::File::isSupported,
      [](TagLib::IOStream* s, TagLib::ID3v2::FrameFactory*) -> TagLib::File* {
          return new TagLib::APE::File(s, true, Style);
      },
      &boundApeAfterId3v2 },
};

const Kind* kindNamed(const QString& name)
{
    for (const Kind& kind : Kinds) {
        if (name == QLatin1String(kind.name))
            return &kind;
    }
    return nullptr;
}

// The file read as one kind, its tags bounded first; no file when it is not of the kind.
TrackerTagKinds::Opened openAsKind(const Kind& kind, int fd, const QByteArray& name,
                                   TagLib::ID3v2::FrameFactory* frames)
{
    TrackerTagKinds::Opened opened;
    opened.kind = QLatin1String(kind.name);
    Bounds bounds;
    kind.bound(fd, name, &bounds);
    opened.bounded = bounds.bounded;
    if (bounds.unbounded) {
        opened.unbounded = true;
        return opened;
    }
    opened.stream.reset(new TrackerTagStream(fd, name));
    std::stable_sort(bounds.stretches.begin(), bounds.stretches.end(),
                     [](const TrackerTagTrim::Stretch& a, const TrackerTagTrim::Stretch& b) {
                         return a.offset < b.offset;
                     });
    for (const TrackerTagTrim::Stretch& stretch : bounds.stretches)
        opened.stream->replace(stretch.offset, stretch.length, stretch.bytes);
    opened.file.reset(kind.create(opened.stream.get(), frames));
    if (!opened.file->isValid())
        opened.file.reset();
    return opened;
}

} // namespace

QStringList TrackerTagKinds::names()
{
    QStringList names;
    for (const Kind& kind : Kinds)
        names.append(QLatin1String(kind.name));
    return names;
}

TrackerTagKinds::Opened TrackerTagKinds::open(int fd, const QByteArray& name,
                                              TagLib::ID3v2::FrameFactory* mpegFrames)
{
    const int dot = name.lastIndexOf('.');
    const QByteArray suffix = dot > name.lastIndexOf('/') ? name.mid(dot + 1).toUpper()
                                                          : QByteArray();
    // MPEG audio by its name is read as MPEG whatever it holds.
    if (suffix == "MP3" || suffix == "MP2" || suffix == "AAC")
        return openAsKind(Kinds[0], fd, name, mpegFrames);
    // The kind its suffix names first; else the first, in TagLib's order, that takes the file's
    // head for its own.
    const Kind* bySuffix = nullptr;
    if (!suffix.isEmpty()) {
        const QByteArray spaced = ' ' + suffix + ' ';
        for (const Kind& kind : Kinds) {
            if (std::strstr(kind.suffixes, spaced.constData()))
                bySuffix = &kind;
        }
    }
    Opened opened;
    if (bySuffix) {
        opened = openAsKind(*bySuffix, fd, name, mpegFrames);
        if (opened.file || opened.unbounded)
            return opened;
    }
    for (const Kind& kind : Kinds) {
        if (&kind == bySuffix)
            continue;
        bool supported = false;
        {
            TrackerTagStream probe(fd, name);
            supported = kind.isSupported(&probe);
        }
        if (supported)
            return openAsKind(kind, fd, name, mpegFrames);
    }
    return opened;
}

TrackerTagKinds::Opened TrackerTagKinds::openAs(const QString& kind, int fd, const QByteArray& name)
{
    const Kind* found = kindNamed(kind);
    return found ? openAsKind(*found, fd, name, nullptr) : Opened();
}
