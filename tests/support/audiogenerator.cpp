#include "audiogenerator.h"

#include <QBuffer>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtDebug>

#include <gst/gst.h>

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray body = QByteArray(type) + data;
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    out << quint32(data.size());
    out.writeRawData(body.constData(), body.size());
    out << crc32(body);
    return chunk;
}

TagLib::String tl(const QString& s)
{
    return TagLib::String(s.toUtf8().constData(), TagLib::String::UTF8);
}

QString templateDir()
{
    static QTemporaryDir* dir = nullptr;
    if (!dir) {
        dir = new QTemporaryDir(QDir::tempPath() + "/parlovance-audio-XXXXXX");
        std::atexit([] { delete dir; });
    }
    return dir->path();
}

QString encoderFor(const QString& suffix)
{
    if (suffix == QLatin1String("ogg"))
        return QStringLiteral("vorbisenc quality=0.1 ! oggmux");
    if (suffix == QLatin1String("mp3"))
        return QStringLiteral("lamemp3enc target=bitrate bitrate=64 cbr=true ! xingmux ! id3v2mux");
    if (suffix == QLatin1String("flac"))
        return QStringLiteral("flacenc");
    // Kinds written untagged only, as the bases of other tests' files.
    if (suffix == QLatin1String("opus"))
        return QStringLiteral("audioresample ! opusenc ! oggmux");
    if (suffix == QLatin1String("spx"))
        return QStringLiteral("speexenc ! oggmux");
    if (suffix == QLatin1String("oga"))
        return QStringLiteral("flacenc ! oggmux");
    if (suffix == QLatin1String("wv"))
        return QStringLiteral("wavpackenc");
    return QString();
}

bool runPipeline(const QString& description)
{
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline) {
        qWarning() << "AudioGenerator: cannot build pipeline:" << (error ? error->message : "");
        if (error)
            g_error_free(error);
        return false;
    }
    if (error)
        g_error_free(error);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(bus, 120 * GST_SECOND,
                                                 GstMessageType(GST_MESSAGE_EOS
                                                                | GST_MESSAGE_ERROR));
    bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
        GError* err = nullptr;
        gst_message_parse_error(msg, &err, nullptr);
        qWarning() << "AudioGenerator: encoding failed:" << (err ? err->message : "");
        if (err)
            g_error_free(err);
    } else if (!msg) {
        qWarning() << "AudioGenerator: encoding timed out";
    }
    if (msg)
        gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

QByteArray jpegOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

bool writeTags(const QString& path, const QString& suffix, const AudioTags& t)
{
    const QByteArray name = QFile::encodeName(path);
    auto fill = [&t](TagLib::Tag* tag) {
        if (!t.title.isEmpty())
            tag->setTitle(tl(t.title));
        if (!t.artist.isEmpty())
            tag->setArtist(tl(t.artist));
        if (!t.album.isEmpty())
            tag->setAlbum(tl(t.album));
        if (!t.genre.isEmpty())
            tag->setGenre(tl(t.genre));
        if (t.trackNumber > 0)
            tag->setTrack(uint(t.trackNumber));
        if (t.year > 0)
            tag->setYear(uint(t.year));
    };
    const QByteArray cover = t.cover.isNull() ? QByteArray() : jpegOf(t.cover);
    auto flacPicture = [&cover]() {
        auto* pic = new TagLib::FLAC::Picture;
        pic->setType(TagLib::FLAC::Picture::FrontCover);
        pic->setMimeType("image/jpeg");
        pic->setData(TagLib::ByteVector(cover.constData(), uint(cover.size())));
        return pic;
    };

    if (suffix == QLatin1String("mp3")) {
        TagLib::MPEG::File f(name.constData());
        if (!f.isValid())
            return false;
        TagLib::ID3v2::Tag* tag = f.ID3v2Tag(true);
        fill(tag);
        if (!t.albumArtist.isEmpty()) {
            tag->removeFrames("TPE2");
            auto* frame = new TagLib::ID3v2::TextIdentificationFrame("TPE2", TagLib::String::UTF8);
            frame->setText(tl(t.albumArtist));
            tag->addFrame(frame);
        }
        if (!cover.isEmpty()) {
            auto* pic = new TagLib::ID3v2::AttachedPictureFrame;
            pic->setMimeType("image/jpeg");
            pic->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            pic->setPicture(TagLib::ByteVector(cover.constData(), uint(cover.size())));
            tag->addFrame(pic);
        }
        return f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers);
    }
    if (suffix == QLatin1String("ogg")) {
        TagLib::Ogg::Vorbis::File f(name.constData());
        if (!f.isValid())
            return false;
        TagLib::Ogg::XiphComment* tag = f.tag();
        fill(tag);
        if (!t.albumArtist.isEmpty())
            tag->addField("ALBUMARTIST", tl(t.albumArtist));
        if (!cover.isEmpty())
            tag->addPicture(flacPicture());
        return f.save();
    }
    if (suffix == QLatin1String("flac")) {
        TagLib::FLAC::File f(name.constData());
        if (!f.isValid())
            return false;
        TagLib::Ogg::XiphComment* tag = f.xiphComment(true);
        fill(tag);
        if (!t.albumArtist.isEmpty())
            tag->addField("ALBUMARTIST", tl(t.albumArtist));
        if (!cover.isEmpty())
            f.addPicture(flacPicture());
        return f.save();
    }
    return false;
}

} // namespace

QString AudioGenerator::untaggedTemplate(const QString& suffix, int durationMs)
{
    static QHash<QString, QString> made;
    const QString key = suffix + QLatin1Char('-') + QString::number(durationMs);
    auto it = made.constFind(key);
    if (it != made.constEnd())
        return it.value();

    const QString encoder = encoderFor(suffix);
    if (encoder.isEmpty()) {
        qWarning() << "AudioGenerator: unsupported format" << suffix;
        return QString();
    }
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    const QString out = templateDir() + QLatin1Char('/') + key + QLatin1Char('.') + suffix;
    // 10 ms buffers give the length to the hundredth of a second.
    const int buffers = qMax(1, durationMs / 10);
    const QString pipeline
        = QStringLiteral("audiotestsrc wave=sine freq=440 volume=0.2 samplesperbuffer=441 "
                         "num-buffers=%1 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                         "%2 ! filesink location=\"%3\"")
              .arg(buffers)
              .arg(encoder, out);
    if (!runPipeline(pipeline))
        return QString();
    made.insert(key, out);
    return out;
}

bool AudioGenerator::write(const QString& path, const AudioTags& tags, int durationMs)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString source = untaggedTemplate(suffix, durationMs);
    if (source.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    if (!QFile::copy(source, path)) {
        qWarning() << "AudioGenerator: cannot write" << path;
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                    | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!writeTags(path, suffix, tags)) {
        qWarning() << "AudioGenerator: cannot tag" << path;
        return false;
    }
    return true;
}

QImage AudioGenerator::coverImage(const QColor& color, int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    QPainter p(&image);
    p.fillRect(size / 4, size / 4, size / 2, size / 2, color.darker(150));
    return image;
}

QByteArray AudioGenerator::blackPng(int width, int height)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << quint32(width) << quint32(height) << quint8(1) << quint8(0) << quint8(0) << quint8(0)
        << quint8(0);
    QByteArray rows;
    const int rowBytes = 1 + (width + 7) / 8;
    rows.fill('\0', rowBytes * height);
    const QByteArray compressed = qCompress(rows, 9).mid(4); // zlib stream, without Qt's length
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
           + pngChunk("IDAT", compressed) + pngChunk("IEND", QByteArray());
}

QByteArray AudioGenerator::pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool AudioGenerator::embedPicture(const QString& path, const QByteArray& bytes, const char* mime)
{
    TagLib::Ogg::Vorbis::File file(QFile::encodeName(path).constData());
    if (!file.isValid() || !file.tag())
        return false;
    auto* picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(mime);
    picture->setData(TagLib::ByteVector(bytes.constData(), uint(bytes.size())));
    file.tag()->addPicture(picture);
    return file.save();
}
