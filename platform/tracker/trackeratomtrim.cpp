#include "trackeratomtrim.h"

#include "trackerfilebytes.h"

#include <QSet>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const char* const Containers[] = { "moov", "udta", "mdia", "meta", "ilst", "stbl",
                                   "minf", "moof", "traf", "trak", "stsd" };
const char* const MetaChildren[] = { "hdlr", "ilst", "mhdr", "ctry", "lang" };
// The items the reader looks up through TagLib, and the names of the free-form ones ("----").
const char* const WantedItems[] = { "\251nam", "\251ART", "\251alb", "\251gen", "\251cmt",
                                    "\251day", "\251wrt", "\251too", "trkn",    "disk",
                                    "aART",    "cprt",    "covr",    "gnre" };
const char* const WantedFreeForms[] = { "LYRICIST", "LABEL" };

template <size_t N>
bool isOneOf(const char* name, int size, const char* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&](const char* wanted) {
        return int(std::strlen(wanted)) == size && std::memcmp(name, wanted, size_t(size)) == 0;
    });
}

quint64 big(const char* bytes, int count)
{
    quint64 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | uchar(bytes[i]);
    return value;
}

QByteArray bigBytes(quint64 value, int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[count - 1 - i] = char((value >> (8 * i)) & 0xff);
    return bytes;
}

struct Atom
{
    qint64 offset = 0;
    qint64 length = 0; // 0: the walk ends here, as TagLib's does
    int headerBytes = 8;
    quint32 sizeField = 0; // as written: 0 to the end of the file, 1 a 64-bit size
    char name[4] = {};
};

// The walk: TagLib's reading of the atoms, counted.
struct Walk
{
    explicit Walk(const TrackerFileBytes& bytes)
        : file(bytes)
    {
    }
    const TrackerFileBytes& file;
    qint64 atoms = 0;
    bool tooDeep = false;
    // moov, udta, meta, ilst: the first of each in the one before.
    Atom path[4];
    int pathFound = 0;
    qint64 ilstEnd = 0; // where TagLib reads on after the ilst
};

// Reads an atom's header at `at` as TagLib does; `next` is where TagLib reads on.
Atom header(const TrackerFileBytes& file, qint64 at)
{
    Atom atom;
    atom.offset = at;
    char bytes[8];
    if (!file.read(at, bytes, 8))
        return atom;
    atom.sizeField = quint32(big(bytes, 4));
    std::memcpy(atom.name, bytes + 4, 4);
    qint64 length = atom.sizeField;
    if (length == 0) {
        length = file.length() - at;
    } else if (length == 1) {
        char wide[8];
        if (!file.read(at + 8, wide, 8) || big(wide, 8) > quint64(LLONG_MAX))
            return atom;
        length = qint64(big(wide, 8));
        atom.headerBytes = 16;
    }
    if (length < 8)
        return atom;
    atom.length = length;
    return atom;
}

bool isContainer(const Atom& atom)
{
    return isOneOf(atom.name, 4, Containers);
}

// Walks the atom at `at` and those it holds; returns where TagLib reads on (the file's length
// when the walk ends). `pathLevel` is the level of the path (moov.udta.meta.ilst) that an atom of
// its name here would be.
qint64 walkAtom(Walk& walk, qint64 at, int depth, int pathLevel, bool* ended)
{
    const Atom atom = header(walk.file, at);
    ++walk.atoms;
    if (atom.length == 0) {
        *ended = true;
        return walk.file.length();
    }
    if (!isContainer(atom))
        return atom.offset + atom.length;
    if (depth >= TrackerAtomTrim::MostDepth) {
        walk.tooDeep = true;
        *ended = true;
        return walk.file.length();
    }
    static const char* const pathNames[] = { "moov", "udta", "meta", "ilst" };
    const bool onPath = pathLevel >= 0 && pathLevel < 4 && walk.pathFound == pathLevel
                        && std::memcmp(atom.name, pathNames[pathLevel], 4) == 0;
    if (onPath)
        walk.path[walk.pathFound++] = atom;
    qint64 position = atom.offset + atom.headerBytes;
    if (std::memcmp(atom.name, "meta", 4) == 0) {
        // A meta atom that a child's header follows at once is not a full atom (no version
        // and flags).
        char next[8];
        const bool read = walk.file.read(position, next, 8);
        const bool full = !(read && isOneOf(next + 4, 4, MetaChildren));
        position += full ? 4 : 0;
    } else if (std::memcmp(atom.name, "stsd", 4) == 0) {
        position += 8;
    }
    const bool ilst = onPath && pathLevel == 3;
    const qint64 end = atom.offset + atom.length;
    while (position < end) {
        // The items of the ilst are counted apart, as items.
        const qint64 before = walk.atoms;
        position = walkAtom(walk, position, depth + 1, onPath ? pathLevel + 1 : -1, ended);
        if (ilst && !walk.tooDeep)
            walk.atoms = before + (walk.atoms - before - 1);
        if (*ended)
            break;
    }
    if (ilst)
        walk.ilstEnd = position;
    return position;
}

// An item of the ilst: its values (data atoms; a free-form item's mean and name first), as
// TagLib's item reader takes them, and whether one is a text longer than MostTextBytes.
struct Item
{
    qint64 values = 0;
    bool longText = false;
    bool freeForm = false;
    QByteArray freeFormName;
    QByteArray made; // the item of its first value
};

Item walkItem(const TrackerFileBytes& file, const Atom& atom, bool make)
{
    Item item;
    item.freeForm = std::memcmp(atom.name, "----", 4) == 0;
    const qint64 start = atom.offset + 8;
    const qint64 size = atom.offset + atom.length - start;
    QByteArray kept;
    for (qint64 pos = 0; pos + 12 <= size;) {
        char sub[12];
        if (!file.read(start + pos, sub, 12))
            break;
        const qint64 length = qint64(big(sub, 4));
        if (length < 12)
            break;
        const bool data = std::memcmp(sub + 4, "data", 4) == 0;
        const qint64 index = item.values++;
        if (item.freeForm && index == 1 && std::memcmp(sub + 4, "name", 4) == 0)
            item.freeFormName = file.bytes(start + pos + 12, std::min<qint64>(length - 12, 64));
        const bool text = data && big(sub + 8, 4) == 1;
        if (text && length - 16 > TrackerTagTrim::MostTextBytes)
            item.longText = true;
        // The first value, with a free-form item's mean and name.
        if (make && (index < (item.freeForm ? 3 : 1))) {
            if (text && length - 16 > TrackerTagTrim::MostTextBytes) {
                QByteArray value = file.bytes(start + pos + 16, TrackerTagTrim::MostTextBytes);
                int end = value.size();
                while (end > 0 && (uchar(value.at(end)) & 0xc0) == 0x80)
                    --end;
                value.truncate(end);
                kept += bigBytes(quint64(value.size() + 16), 4) + QByteArray(sub + 4, 8)
                        + file.bytes(start + pos + 12, 4) + value;
            } else {
                kept += file.bytes(start + pos, std::min(length, size - pos));
            }
        }
        pos += length;
    }
    if (make)
        item.made = bigBytes(quint64(kept.size() + 8), 4) + QByteArray(atom.name, 4) + kept;
    return item;
}

} // namespace

TrackerTagTrim::Result TrackerAtomTrim::walk(int fd)
{
    TrackerTagTrim::Result result;
    const TrackerFileBytes file(fd);
    Walk walk(file);
    bool ended = false;
    for (qint64 at = 0; !ended && at + 8 <= file.length();)
        at = walkAtom(walk, at, 0, 0, &ended);
    if (walk.tooDeep) {
        result.unbounded = true;
        result.bounded.append(
            QStringLiteral("atoms held in one another more than %1 deep").arg(MostDepth));
        return result;
    }
    if (walk.atoms > MostAtoms) {
        result.unbounded = true;
        result.bounded.append(QStringLiteral("%1 atoms").arg(walk.atoms));
        return result;
    }
    if (walk.pathFound < 4)
        return result;
    const Atom& ilst = walk.path[3];
    const qint64 ilstEnd = ilst.offset + ilst.length;
    // The items, walked as the ilst's atoms: each item once looked over, once kept or made.
    auto items = [&](QByteArray* made, qint64* count, qint64* values, bool* bounded) {
        QSet<QByteArray> names;
        for (qint64 at = ilst.offset + ilst.headerBytes; at < ilstEnd;) {
            const Atom atom = header(file, at);
            if (atom.length == 0)
                break;
            ++*count;
            const Item item = walkItem(file, atom, false);
            *values += item.values;
            const bool within = *count <= TrackerTagTrim::MostFields
                                && *values <= TrackerTagTrim::MostFields && !item.longText;
            *bounded = *bounded || !within;
            if (made) {
                const QByteArray key = item.freeForm ? "----" + item.freeFormName
                                                     : QByteArray(atom.name, 4);
                const bool looked = item.freeForm
                                        ? isOneOf(item.freeFormName.constData(),
                                                  item.freeFormName.size(), WantedFreeForms)
                                        : isOneOf(atom.name, 4, WantedItems);
                if (within)
                    *made += file.bytes(atom.offset, atom.length);
                else if (looked && !names.contains(key))
                    *made += walkItem(file, atom, true).made;
                if (looked)
                    names.insert(key);
            }
            at = atom.offset + atom.length;
        }
    };
    qint64 count = 0, values = 0;
    bool bounded = false;
    items(nullptr, &count, &values, &bounded);
    if (!bounded)
        return result;
    const QString what
        = QStringLiteral("an MP4 ilst of %1 items and %2 values").arg(count).arg(values);
    result.bounded.append(what);
    // TagLib read on from where the items' atoms ended: an ilst whose items do not end where it
    // does (or of items that are atoms of others) is not made anew.
    if (walk.ilstEnd != ilstEnd) {
        result.unbounded = true;
        return result;
    }
    QByteArray kept;
    count = 0;
    values = 0;
    items(&kept, &count, &values, &bounded);
    const qint64 grown = qint64(kept.size()) + 8 - ilst.length;
    // The atoms that hold the ilst, each its size written anew where it is written.
    for (int level = 0; level < 3; ++level) {
        const Atom& atom = walk.path[level];
        if (atom.sizeField == 0)
            continue;
        if (atom.headerBytes == 16)
            result.stretches.append(
                { atom.offset + 8, 8, bigBytes(quint64(atom.length + grown), 8) });
        else if (atom.length + grown < 0xffffffffLL)
            result.stretches.append({ atom.offset, 4, bigBytes(quint64(atom.length + grown), 4) });
        else
            result.unbounded = true;
    }
    result.stretches.append(
        { ilst.offset, ilst.length,
          bigBytes(quint64(kept.size() + 8), 4) + QByteArray("ilst", 4) + kept });
    if (result.unbounded)
        result.stretches.clear();
    return result;
}
