#include "trackertagreader.h"

#include "trackerregularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

// A tag text may be megabytes long. Nothing shows or stores that much of a name, and every
// copy of it costs: in the store, in every list's rows, in the settings file's list of latest
// activities (whose size is bounded). Texts are cut at MaxTextLength, never inside a character.
QString toQt(const TagLib::String& s)
{
    QString text = QString::fromStdWString(s.toWString()).trimmed();
    if (text.size() > TrackerTagReader::MaxTextLength) {
        int cut = TrackerTagReader::MaxTextLength;
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text.truncate(cut);
    }
    return text;
}

QString property(const TagLib::PropertyMap& map, const char* key)
{
    const auto it = map.find(key);
    if (it == map.end() || it->second.isEmpty())
        return QString();
    return toQt(it->second.front());
}

int leadingNumber(const QString& text)
{
    // "3/12" counts as 3.
    int value = 0;
    for (const QChar c : text) {
        if (!c.isDigit())
            break;
        value = value * 10 + c.digitValue();
        if (value > 100000)
            break;
    }
    return value;
}

QByteArray pictureFromId3(TagLib::ID3v2::Tag* tag)
{
    if (!tag)
        return QByteArray();
    const TagLib::ID3v2::FrameList frames = tag->frameList("APIC");
    QByteArray first;
    for (auto* frame : frames) {
        auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (!picture)
            continue;
        const TagLib::ByteVector data = picture->picture();
        QByteArray bytes(data.data(), int(data.size()));
        if (picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            return bytes;
        if (first.isEmpty())
            first = bytes;
    }
    return first;
}

QByteArray pictureFromList(const TagLib::List<TagLib::FLAC::Picture*>& pictures)
{
    QByteArray first;
    for (auto* picture : pictures) {
        const TagLib::ByteVector data = picture->data();
        QByteArray bytes(data.data(), int(data.size()));
        if (picture->type() == TagLib::FLAC::Picture::FrontCover)
            return bytes;
        if (first.isEmpty())
            first = bytes;
    }
    return first;
}

QByteArray embeddedCover(TagLib::File* file)
{
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file))
        return pictureFromId3(mpeg->ID3v2Tag(false));
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) {
        QByteArray bytes = pictureFromList(flac->pictureList());
        if (bytes.isEmpty() && flac->hasXiphComment())
            bytes = pictureFromList(flac->xiphComment()->pictureList());
        return bytes;
    }
    if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file))
        return vorbis->tag() ? pictureFromList(vorbis->tag()->pictureList()) : QByteArray();
    if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file))
        return opus->tag() ? pictureFromList(opus->tag()->pictureList()) : QByteArray();
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file)) {
        TagLib::MP4::Tag* tag = mp4->tag();
        if (tag && tag->contains("covr")) {
            const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
            if (!covers.isEmpty()) {
                const TagLib::ByteVector data = covers.front().data();
                return QByteArray(data.data(), int(data.size()));
            }
        }
    }
    return QByteArray();
}

} // namespace

bool TrackerTagReader::isAudioFile(const QString& path)
{
    return isAudioSuffix(QFileInfo(path).suffix().toLower());
}

bool TrackerTagReader::isAudioSuffix(const QString& suffix)
{
    static const QStringList suffixes = {
        QStringLiteral("mp3"), QStringLiteral("ogg"), QStringLiteral("oga"), QStringLiteral("flac"),
        QStringLiteral("m4a"), QStringLiteral("aac"), QStringLiteral("mp4"), QStringLiteral("opus"),
        QStringLiteral("wav"), QStringLiteral("wma"), QStringLiteral("amr"), QStringLiteral("awb"),
        QStringLiteral("3gp")
    };
    return suffixes.contains(suffix);
}

bool TrackerTagReader::read(const QString& path, TrackerTrackInfo* info, QString* reason)
{
    return read(QFile::encodeName(path), info, reason);
}

bool TrackerTagReader::read(const QByteArray& name, TrackerTrackInfo* info, QString* reason)
{
    if (!TrackerRegularFile::isRegular(name, reason))
        return false;
    TagLib::FileRef ref(name.constData(), true, TagLib::AudioProperties::Average);
    if (ref.isNull() || !ref.file() || !ref.file()->isValid()) {
        if (reason)
            *reason = QStringLiteral("not a readable audio file");
        return false;
    }
    TagLib::AudioProperties* audio = ref.audioProperties();
    // TagLib accepts almost anything named .mp3; a file without a sample rate and a length
    // holds no audio it could find.
    if (!audio || (audio->sampleRate() <= 0 && audio->lengthInMilliseconds() <= 0)) {
        if (reason)
            *reason = QStringLiteral("no audio properties");
        return false;
    }
    *info = TrackerTrackInfo();
    info->durationSeconds = (audio->lengthInMilliseconds() + 500) / 1000;
    info->bitrate = audio->bitrate() * 1000;
    info->sampleRate = audio->sampleRate();
    info->channels = audio->channels();
    if (TagLib::Tag* tag = ref.tag()) {
        info->title = toQt(tag->title());
        info->artist = toQt(tag->artist());
        info->album = toQt(tag->album());
        info->genre = toQt(tag->genre());
        info->comment = toQt(tag->comment());
        info->trackNumber = int(tag->track());
        info->year = int(tag->year());
    }
    const TagLib::PropertyMap map = ref.file()->properties();
    info->albumArtist = property(map, "ALBUMARTIST");
    info->composer = property(map, "COMPOSER");
    info->lyricist = property(map, "LYRICIST");
    info->copyright = property(map, "COPYRIGHT");
    info->encodedBy = property(map, "ENCODEDBY");
    info->publisher = property(map, "LABEL");
    info->discNumber = leadingNumber(property(map, "DISCNUMBER"));
    if (info->trackNumber == 0)
        info->trackNumber = leadingNumber(property(map, "TRACKNUMBER"));
    info->cover = embeddedCover(ref.file());
    return true;
}
