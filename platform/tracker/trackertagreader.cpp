#include "trackertagreader.h"

#include "mcharsetdetector.h"
#include "safefile.h"
#include "trackerlogging.h"
#include "trackerregularfile.h"
#include "trackertagkinds.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <unistd.h>

namespace {

// A tag text may be megabytes long. Nothing shows or stores that much of a name, and every
// copy of it costs: in the store, in every list's rows, in the settings file's list of latest
// activities (whose size is bounded). Texts are cut at MaxTextLength, never inside a character.
QString toQt(const TagLib::String& s)
{
    // From the string's own characters: a copy of them first costs an allocation per text.
    QString text = QString::fromWCharArray(s.toCWString(), int(s.size())).trimmed();
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

// The same for a Xiph comment, whose fields are its file's properties by their upper-case
// names: looked up where they are instead of copied into a map of their own first.
QString field(const TagLib::Ogg::FieldListMap& fields, const char* key)
{
    const auto it = fields.find(key);
    if (it == fields.end() || it->second.isEmpty())
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

// TagLib's shared ID3v2 frame factory can be told to give every frame it reads UTF-8 as its
// encoding (GStreamer's tag muxers do so in any process that loads them), which would hide
// the encoding a frame declares. MPEG files are read with a factory of our own, which leaves
// each frame the encoding it came with; it is only read from, so threads may share it.
class DeclaredEncodingFrameFactory : public TagLib::ID3v2::FrameFactory
{
};

TagLib::ID3v2::FrameFactory* frameFactory()
{
    static DeclaredEncodingFrameFactory factory;
    return &factory;
}

// Where TagLib found the text of a field of an MPEG file: its tag union takes ID3v2 first,
// then APE, then ID3v1. Only the ID3v1 tag and ID3v2 frames that declare Latin-1 hold 8-bit
// text, and old taggers wrote the bytes of the system's own character set there (CP1251,
// Shift-JIS, GBK...), which TagLib then reads as Latin-1.
bool fromLatin1Bytes(TagLib::MPEG::File* file, const char* frameId, const char* apeKey,
                     bool inId3v1)
{
    if (TagLib::ID3v2::Tag* tag = file->ID3v2Tag(false)) {
        const TagLib::ID3v2::FrameListMap& frames = tag->frameListMap();
        const auto it = frames.find(TagLib::ByteVector(frameId));
        if (it != frames.end() && !it->second.isEmpty()
            && !it->second.front()->toString().isEmpty()) {
            TagLib::ID3v2::Frame* frame = it->second.front();
            if (auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(frame))
                return text->textEncoding() == TagLib::String::Latin1;
            if (auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(frame))
                return comment->textEncoding() == TagLib::String::Latin1;
            return false;
        }
    }
    if (TagLib::APE::Tag* tag = file->APETag(false)) {
        const TagLib::APE::ItemListMap& items = tag->itemListMap();
        const auto it = items.find(apeKey);
        if (it != items.end() && !it->second.isEmpty())
            return false;
    }
    return inId3v1 && file->ID3v1Tag(false);
}

// A text that a Latin-1 reading gives, beyond ASCII: the reading may be wrong. ASCII reads the
// same in every set.
bool mayBeMisread(const QString& text)
{
    bool beyondAscii = false;
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
        if (c.unicode() >= 0x80)
            beyondAscii = true;
    }
    return beyondAscii;
}

// The texts of a file that were read as Latin-1 are decoded again in the character set that
// reads them all best, as the player does with the tags of a file it plays from outside the
// library. The texts of one file are told together: a single short title says little about
// its set. Real Latin-1 (Western) text is found to be Windows-1252 and stays as it is; bytes
// that no set reads as words keep their Latin-1 reading.
void decodeLatin1Texts(const QList<QString*>& texts)
{
    QList<QString*> misread;
    QList<QByteArray> bytes;
    for (QString* text : texts) {
        if (mayBeMisread(*text)) {
            misread.append(text);
            bytes.append(text->toLatin1());
        }
    }
    if (misread.isEmpty())
        return;
    MCharsetDetector detector;
    // Apart, as words: run together, the end of one text and the start of the next would read
    // as one word of odd case.
    detector.setText(bytes.join(' '));
    detector.setDeclaredLocale(QLocale().name());
    const MCharsetMatch match = detector.detect();
    if (detector.hasError())
        return;
    for (int i = 0; i < misread.size(); ++i) {
        detector.setText(bytes.at(i));
        QString decoded = detector.text(match).trimmed();
        if (detector.hasError() || decoded.isEmpty())
            continue;
        if (decoded.size() > TrackerTagReader::MaxTextLength) {
            int cut = TrackerTagReader::MaxTextLength;
            if (decoded.at(cut - 1).isHighSurrogate())
                --cut;
            decoded.truncate(cut);
        }
        *misread.at(i) = decoded;
    }
}

void decodeLegacyTexts(TagLib::File* file, TrackerTrackInfo* info)
{
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file);
    if (!mpeg)
        return;
    struct Field
    {
        QString* text;
        const char* frameId;
        const char* apeKey;
        bool inId3v1;
    };
    const Field fields[] = {
        { &info->title, "TIT2", "TITLE", true },
        { &info->artist, "TPE1", "ARTIST", true },
        { &info->album, "TALB", "ALBUM", true },
        { &info->comment, "COMM", "COMMENT", true },
        { &info->genre, "TCON", "GENRE", false },
        { &info->albumArtist, "TPE2", "ALBUM ARTIST", false },
        { &info->composer, "TCOM", "COMPOSER", false },
        { &info->lyricist, "TEXT", "LYRICIST", false },
        { &info->copyright, "TCOP", "COPYRIGHT", false },
        { &info->encodedBy, "TENC", "ENCODEDBY", false },
        { &info->publisher, "TPUB", "LABEL", false },
    };
    QList<QString*> latin1;
    for (const Field& field : fields) {
        if (!field.text->isEmpty()
            && fromLatin1Bytes(mpeg, field.frameId, field.apeKey, field.inId3v1))
            latin1.append(field.text);
    }
    decodeLatin1Texts(latin1);
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
    // Looked at before it is opened: opening a device can have effects of its own.
    if (!TrackerRegularFile::isRegular(name, reason))
        return false;
    // Opened once and read through that descriptor: a name swapped for a pipe after the check
    // neither holds the thread nor is read.
    const int fd = SafeFile::openRegularDescriptor(name, reason);
    if (fd < 0)
        return false;
    const bool read = readOpen(fd, name, info, reason);
    ::close(fd);
    return read;
}

bool TrackerTagReader::readOpen(int fd, const QByteArray& name, TrackerTrackInfo* info,
                                QString* reason)
{
    // TagLib builds an object for every field of a tag and a text for every value: a tag of a
    // million tiny fields, of whatever kind, is handed over bounded, or not at all.
    const TrackerTagKinds::Opened opened = TrackerTagKinds::open(fd, name, frameFactory());
    if (!opened.bounded.isEmpty()) {
        qCInfo(lcIndexer).nospace().noquote()
            << "the tags of \"" << QFile::decodeName(name) << "\" (" << opened.kind
            << ") are over the bound: " << opened.bounded.join(QStringLiteral(", "))
            << (opened.unbounded ? QStringLiteral("; they are not read, the file is known by its "
                                                  "name")
                                 : QStringLiteral("; what is read is bounded"));
    }
    if (opened.unbounded) {
        *info = TrackerTrackInfo();
        return true;
    }
    TagLib::File* file = opened.file.get();
    if (!file) {
        if (reason)
            *reason = QStringLiteral("not a readable audio file");
        return false;
    }
    TagLib::AudioProperties* audio = file->audioProperties();
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
    if (TagLib::Tag* tag = file->tag()) {
        info->title = toQt(tag->title());
        info->artist = toQt(tag->artist());
        info->album = toQt(tag->album());
        info->genre = toQt(tag->genre());
        info->comment = toQt(tag->comment());
        info->trackNumber = int(tag->track());
        info->year = int(tag->year());
    }
    // An Ogg file's properties are its Xiph comment's fields.
    auto* xiph = dynamic_cast<TagLib::Ogg::File*>(file)
                     ? dynamic_cast<TagLib::Ogg::XiphComment*>(file->tag())
                     : nullptr;
    const TagLib::PropertyMap map = xiph ? TagLib::PropertyMap() : file->properties();
    auto value = [&](const char* key) {
        return xiph ? field(xiph->fieldListMap(), key) : property(map, key);
    };
    info->albumArtist = value("ALBUMARTIST");
    info->composer = value("COMPOSER");
    info->lyricist = value("LYRICIST");
    info->copyright = value("COPYRIGHT");
    info->encodedBy = value("ENCODEDBY");
    info->publisher = value("LABEL");
    info->discNumber = leadingNumber(value("DISCNUMBER"));
    if (info->trackNumber == 0)
        info->trackNumber = leadingNumber(value("TRACKNUMBER"));
    decodeLegacyTexts(file, info);
    info->cover = embeddedCover(file);
    return true;
}
