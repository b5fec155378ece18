#include "zelcommenttrim.h"

#include "tagbytes.h"

#include <QList>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

// The fields GStreamer turns into the tags the player takes (ZelGstPlayer's texts, the track
// number and the cover), by the names it reads them under.
const char* const ShownFields[] = { "TITLE",       "ARTIST",
                                    "ALBUM",       "GENRE",
                                    "ORGANIZATION", "COMPOSER",
                                    "TRACKNUMBER", "METADATA_BLOCK_PICTURE",
                                    "COVERART",    "COVERARTMIME" };

// The longest name worth reading whole: every shown name is shorter.
const int MostNameBytes = 32;
// A picture longer than this is left out of a comment made anew (a whole one is held in memory
// on its way).
const qint64 MostPictureBytes = 64 * 1024 * 1024;

quint32 littleEndian(const char* bytes)
{
    const auto* b = reinterpret_cast<const uchar*>(bytes);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

void appendLittleEndian(QByteArray& bytes, quint32 value)
{
    const char four[4] = { char(value & 0xff), char((value >> 8) & 0xff),
                           char((value >> 16) & 0xff), char((value >> 24) & 0xff) };
    bytes.append(four, 4);
}

// The name before "=" of the head of a field, in upper case (ASCII letters only: every shown
// name is ASCII), compared where it lies: a flood of millions is walked with no allocation for
// each field.
int upperName(const char* head, int length, char* into)
{
    int n = 0;
    while (n < length && head[n] != '=') {
        const char c = head[n];
        into[n++] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    return n;
}

int shownField(const char* name, int length)
{
    for (int i = 0; i < int(sizeof(ShownFields) / sizeof(ShownFields[0])); ++i) {
        if (int(std::strlen(ShownFields[i])) == length
            && std::memcmp(ShownFields[i], name, size_t(length)) == 0)
            return i;
    }
    return -1;
}

// A picture is kept whole: a part of one is no picture.
bool isPicture(int shown)
{
    return shown >= 0
           && (std::strcmp(ShownFields[shown], "METADATA_BLOCK_PICTURE") == 0
               || std::strcmp(ShownFields[shown], "COVERART") == 0);
}

// A text of `length` bytes whose first `head` bytes are at hand: the rest read, or passed over
// beyond MostTextBytes; false when the bytes end first.
bool takeText(const ZelCommentTrim::Reader& read, const char* head, int headLength, qint64 length,
              bool whole, QByteArray* text)
{
    const qint64 kept = whole ? length : std::min(length, ZelCommentTrim::MostTextBytes + 3);
    text->reserve(int(kept));
    text->append(head, headLength);
    text->resize(int(kept));
    if (!read(text->data() + headLength, kept - headLength) || !read(nullptr, length - kept))
        return false;
    if (!whole)
        *text = TagBytes::cutUtf8(*text, ZelCommentTrim::MostTextBytes);
    return true;
}

} // namespace

ZelCommentTrim::Result ZelCommentTrim::trim(const Reader& read, qint64 left)
{
    Result result;
    auto take = [&](char* into, qint64 count) {
        if (count < 0 || count > left)
            return false;
        left -= count;
        return read(into, count);
    };
    char four[4];
    if (!take(four, 4))
        return result;
    const quint32 vendorLength = littleEndian(four);
    if (vendorLength > left)
        return result;
    QByteArray vendor;
    if (!takeText(take, nullptr, 0, vendorLength, false, &vendor))
        return result;
    bool over = vendorLength > MostTextBytes;
    if (!take(four, 4))
        return result;
    const quint32 declared = littleEndian(four);
    QList<QByteArray> kept;
    QSet<int> shown;
    for (quint32 i = 0; i < declared; ++i) {
        if (!take(four, 4))
            break;
        const quint32 length = littleEndian(four);
        if (length > left)
            break;
        ++result.fields;
        char head[MostNameBytes];
        const int headLength = int(std::min<qint64>(length, MostNameBytes));
        if (!take(head, headLength))
            break;
        char name[MostNameBytes];
        const int nameLength = upperName(head, headLength, name);
        const int which = shownField(name, nameLength);
        const bool picture = isPicture(which);
        over = over || result.fields > MostFields || (length > MostTextBytes && !picture);
        const bool keep = (result.fields <= MostFields || (which >= 0 && !shown.contains(which)))
                          && !(picture && length > MostPictureBytes);
        if (which >= 0)
            shown.insert(which);
        if (!keep) {
            if (!take(nullptr, length - headLength))
                break;
            continue;
        }
        QByteArray field;
        if (!takeText(take, head, headLength, length, picture, &field))
            break;
        kept.append(field);
    }
    result.over = over;
    if (!over)
        return result;
    QByteArray& made = result.comment;
    appendLittleEndian(made, quint32(vendor.size()));
    made += vendor;
    appendLittleEndian(made, quint32(kept.size()));
    for (const QByteArray& field : kept) {
        appendLittleEndian(made, quint32(field.size()));
        made += field;
    }
    return result;
}

ZelCommentTrim::Result ZelCommentTrim::trim(const QByteArray& bytes)
{
    qint64 at = 0;
    return trim(
        [&](char* into, qint64 count) {
            if (count > bytes.size() - at)
                return false;
            if (into)
                std::memcpy(into, bytes.constData() + at, size_t(count));
            at += count;
            return true;
        },
        bytes.size());
}
