// Writes a generated music library into a folder, for trying the player by hand and for the
// end-to-end tests: artists with albums of tagged songs (some with embedded covers), songs
// without an album or an artist, titles in several scripts, and playlist files.
//
//   parlovance-make-library [--help] [--] DIR [SONGS] [SECONDS]
//   parlovance-make-library --song FILE TITLE ARTIST ALBUM [GENRE] [TRACK] [SECONDS]
//
// SONGS (default 60) is the number of songs, SECONDS (default 30) the length of each. The
// second form writes one song (an audiobook chapter, a title in another script, a file to
// copy into the library while the player runs); its format follows FILE's suffix. Any other
// option is refused; a name that begins with "-" follows "--".

#include "audiogenerator.h"

#include <QColor>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

const char* const artists[] = { "Ada Lumen",    "Bruno Vale",      "Caro & The Wires",
                                "Dmitri Orlov", "Élodie Marchand", "Фёдор Светлов",
                                "山田 花子",    "Zora Quinn",      "נועה בן דוד" };
const char* const albumWords[] = { "Northern", "Glass",    "Quiet",   "Copper", "Midnight",
                                   "Paper",    "Electric", "Harbour", "Velvet", "Stone" };
const char* const albumNouns[] = { "Lights", "Rivers", "Rooms", "Signals", "Gardens", "Maps" };
const char* const titleWords[] = { "Morning",  "Echo",       "Falling", "Satellite",
                                   "Lanterns", "Drift",      "Horizon", "Embers",
                                   "Tide",     "Wildflower", "Static",  "Orbit",
                                   "Hollow",   "Ribbon",     "Cinder",  "Meadow" };
const char* const genres[] = { "Pop", "Rock", "Jazz", "Electronic", "Folk", "Classical" };
const char* const suffixes[] = { ".ogg", ".mp3", ".flac" };
// Albums before an artist and an album name come together again.
const int AlbumNamesRound = 180;

QString safeName(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('_'));
}

// A whole positive number, or 0.
int positive(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

int refuse(const QCommandLineParser& parser, const QString& why)
{
    std::fprintf(stderr, "%s\n\n%s", qPrintable(why), qPrintable(parser.helpText()));
    return 2;
}

int writeOneSong(const QCommandLineParser& parser, const QStringList& args)
{
    const int seconds = args.size() > 6 ? positive(args.at(6)) : 30;
    if (args.size() < 4 || args.size() > 7 || args.at(0).isEmpty() || seconds <= 0)
        return refuse(parser,
                      QStringLiteral("--song takes FILE TITLE ARTIST ALBUM, then at most "
                                     "GENRE, TRACK and SECONDS (a whole positive number)."));
    AudioTags tags;
    tags.title = args.at(1);
    tags.artist = args.at(2);
    tags.albumArtist = args.at(2);
    tags.album = args.at(3);
    tags.genre = args.value(4);
    tags.trackNumber = args.value(5).toInt();
    QDir().mkpath(QFileInfo(args.at(0)).absolutePath());
    if (!AudioGenerator::write(args.at(0), tags, seconds * 1000)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(0)));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a generated music library into DIR: tagged songs by several artists, some with "
        "covers, some without album or artist, and two playlist files."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption song(
        QStringLiteral("song"),
        QStringLiteral(
            "Write one song instead: FILE TITLE ARTIST ALBUM [GENRE] [TRACK] [SECONDS]."));
    parser.addOption(song);
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("The folder to write into; made when missing."));
    parser.addPositionalArgument(QStringLiteral("SONGS"),
                                 QStringLiteral("The number of songs (60)."),
                                 QStringLiteral("[SONGS]"));
    parser.addPositionalArgument(QStringLiteral("SECONDS"),
                                 QStringLiteral("The length of each song (30)."),
                                 QStringLiteral("[SECONDS]"));
    if (!parser.parse(app.arguments()))
        return refuse(parser, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(song))
        return writeOneSong(parser, args);
    if (args.isEmpty() || args.size() > 3)
        return refuse(parser, QStringLiteral("One folder, then at most SONGS and SECONDS."));
    const QString root = args.at(0);
    const int songCount = args.size() > 1 ? positive(args.at(1)) : 60;
    const int seconds = args.size() > 2 ? positive(args.at(2)) : 30;
    if (root.isEmpty() || songCount <= 0 || seconds <= 0)
        return refuse(parser, QStringLiteral("DIR must be named; SONGS and SECONDS must be "
                                             "whole positive numbers."));
    if (!QDir().mkpath(root)) {
        std::fprintf(stderr, "cannot make the folder %s\n", qPrintable(root));
        return 1;
    }

    const int artistCount = int(sizeof(artists) / sizeof(*artists));
    QStringList written;
    int made = 0;
    int albumNumber = 0;
    while (made < songCount) {
        const int artistIndex = albumNumber % artistCount;
        const QString artist = QString::fromUtf8(artists[artistIndex]);
        QString album = QString::fromUtf8(albumWords[albumNumber % 10]) + QLatin1Char(' ')
                        + QString::fromUtf8(albumNouns[(albumNumber / 10 + albumNumber) % 6]);
        // The artists and album names come round again after 180 albums: a later round
        // numbers its albums, so that a large library's songs never share a file.
        const QString round = albumNumber >= AlbumNamesRound
                                  ? QStringLiteral(" %1").arg(albumNumber / AlbumNamesRound + 1)
                                  : QString();
        album += round;
        const int year = 1990 + (albumNumber * 7) % 33;
        const QString genre = QString::fromUtf8(genres[albumNumber % 6]);
        // Two albums in three carry a cover, each in its own colour.
        QImage cover;
        if (albumNumber % 3 != 2)
            cover = AudioGenerator::coverImage(QColor::fromHsv((albumNumber * 47) % 360, 160, 200),
                                               300);
        const int tracks = 4 + albumNumber % 5;
        for (int track = 1; track <= tracks && made < songCount; ++track, ++made) {
            AudioTags tags;
            tags.title = QString::fromUtf8(titleWords[(made * 5 + track) % 16]) + QLatin1Char(' ')
                         + QString::fromUtf8(titleWords[(made * 3 + albumNumber) % 16]);
            tags.artist = artist;
            tags.albumArtist = artist;
            tags.album = album;
            tags.genre = genre;
            tags.trackNumber = track;
            tags.year = year;
            tags.cover = cover;
            // Every eleventh song stands alone: no album, or no artist.
            if (made % 11 == 10) {
                tags.album.clear();
                tags.albumArtist.clear();
                tags.cover = QImage();
                if (made % 22 == 21)
                    tags.artist.clear();
            }
            const QString dir = root + QLatin1Char('/')
                                + safeName(artist.isEmpty() ? "Unknown" : artist) + QLatin1Char('/')
                                + safeName(tags.album.isEmpty() ? QStringLiteral("Singles") + round
                                                                : tags.album);
            QDir().mkpath(dir);
            const QString path = dir + QString::asprintf("/%02d ", track) + safeName(tags.title)
                                 + QString::fromLatin1(suffixes[made % 3]);
            if (!AudioGenerator::write(path, tags, seconds * 1000)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                return 1;
            }
            written << path;
        }
        ++albumNumber;
    }

    // Two playlist files: an .m3u of every third song and a .pls of the first five.
    QFile m3u(root + "/Road trip.m3u");
    if (m3u.open(QIODevice::WriteOnly)) {
        QTextStream out(&m3u);
        out.setCodec("UTF-8");
        out << "#EXTM3U\n";
        for (int i = 0; i < written.size(); i += 3)
            out << written.at(i) << "\n";
    }
    QFile pls(root + "/Favourites Vol. 2.pls");
    if (pls.open(QIODevice::WriteOnly)) {
        QTextStream out(&pls);
        out.setCodec("UTF-8");
        out << "[playlist]\n";
        const int n = qMin(5, written.size());
        for (int i = 0; i < n; ++i)
            out << "File" << (i + 1) << "=" << written.at(i) << "\n";
        out << "NumberOfEntries=" << n << "\nVersion=2\n";
    }
    std::printf("%d songs written into %s\n", made, qPrintable(root));
    return 0;
}
