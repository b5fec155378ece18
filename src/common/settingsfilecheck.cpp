#include "settingsfilecheck.h"

#include "logging.h"
#include "safefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QMutex>
#include <QSettings>
#include <QTemporaryFile>

#include <exception>

namespace {

// The content last found sound: settings objects are made often, the file rarely changes.
QMutex checkedMutex;
QByteArray checkedContent;
bool checkedOnce = false;

// A new name beside path: path + "." + what + "-" + the time, with a number added when taken.
QString besideName(const QString& path, const QString& what)
{
    const QString stem = path + QLatin1Char('.') + what + QLatin1Char('-')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem;
    for (int n = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + QLatin1Char('-') + QString::number(n);
    return name;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Whether QSettings reads line (one line of the file, without its end) on into the next one:
// a quote left open, or a backslash as the last character. The reader takes a ';' at the start
// of a line as a comment, and one outside quotes as the end of what it reads of a line.
bool runsOn(const QByteArray& line)
{
    int i = 0;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    if (i < line.size() && line.at(i) == ';')
        return false;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\\') {
            if (++i == line.size())
                return true;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            return false;
        }
    }
    return quoted;
}

// content without the lines that run on; their numbers (from 1) go to dropped.
QByteArray withoutRunOnLines(const QByteArray& content, QList<int>* dropped)
{
    QByteArray kept;
    kept.reserve(content.size());
    int start = 0;
    for (int number = 1; start < content.size(); ++number) {
        int end = start;
        while (end < content.size() && content.at(end) != '\n' && content.at(end) != '\r')
            ++end;
        int next = end;
        if (next < content.size())
            next += content.mid(next, 2) == "\r\n" ? 2 : 1;
        if (runsOn(content.mid(start, end - start)))
            dropped->append(number);
        else
            kept.append(content.constData() + start, next - start);
        start = next;
    }
    return kept;
}

// The kinds of value the player writes as "@Variant(...)": only times. The reader decodes any
// kind it meets, a picture too (a file of a few kilobytes can hold an 8000 x 8000 picture the
// reader decodes to a gigabyte at every start, and the program would write it back).
bool writtenByThePlayer(quint32 type)
{
    return type == QMetaType::QDateTime;
}

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// The character of the escape that starts at value[*at] (just past the backslash), as
// QSettings' reader reads it; *at is left on the escape's last character.
uint escapedCharacter(const QByteArray& value, int* at)
{
    static const char named[] = "a\ab\bf\fn\nr\rt\tv\v";
    const char c = value.at(*at);
    for (int k = 0; named[k]; k += 2) {
        if (named[k] == c)
            return uchar(named[k + 1]);
    }
    int base = 0;
    uint code = 0;
    if (c == 'x') {
        base = 16;
    } else if (digitValue(c, 8) >= 0) {
        base = 8;
        code = uint(c - '0');
    } else {
        return uchar(c);
    }
    while (*at + 1 < value.size() && digitValue(value.at(*at + 1), base) >= 0) {
        code = qMin<uint>(code * uint(base) + uint(digitValue(value.at(*at + 1), base)), 0xffff);
        ++*at;
    }
    return code;
}

// The kind of the first "@Variant(" value in line (one line of the file) that the player never
// writes; -1 when there is none. The value is read as QSettings reads it: quotes dropped,
// escapes taken, a list split at commas outside quotes, each element decoded on its own.
qint64 foreignVariantType(const QByteArray& line)
{
    int i = 0;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    if (i == line.size() || line.at(i) == ';' || line.at(i) == '[')
        return -1;
    const int equals = line.indexOf('=', i);
    // Without either, no element can start with the prefix.
    if (equals < 0 || (line.indexOf('@', equals) < 0 && line.indexOf('\\', equals) < 0))
        return -1;
    const QByteArray value = line.mid(equals + 1);
    const QByteArray prefix("@Variant(");
    const int needed = prefix.size() + 4;
    QByteArray element;
    bool quoted = false;
    auto check = [&]() -> qint64 {
        if (element.size() < needed || !element.startsWith(prefix))
            return -1;
        const uchar* type = reinterpret_cast<const uchar*>(element.constData()) + prefix.size();
        const quint32 kind = (quint32(type[0]) << 24) | (quint32(type[1]) << 16)
                             | (quint32(type[2]) << 8) | quint32(type[3]);
        return writtenByThePlayer(kind) ? -1 : qint64(kind);
    };
    for (int at = 0; at < value.size(); ++at) {
        const char c = value.at(at);
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c == ';' || c == ',')) {
            const qint64 kind = check();
            if (kind >= 0 || c == ';')
                return kind;
            element.clear();
            continue;
        }
        if (!quoted && isBlank(c) && element.isEmpty())
            continue;
        uint code = uchar(c);
        if (c == '\\' && at + 1 < value.size()) {
            ++at;
            code = escapedCharacter(value, &at);
        }
        // Only the prefix and the kind after it are looked at; the reader takes the text as
        // Latin-1, where a wider character becomes '?'.
        if (element.size() < needed)
            element.append(code > 0xff ? '?' : char(code));
    }
    return check();
}

// The kind of the first value of content that the player never writes, -1 when all are its own.
qint64 foreignVariantTypeIn(const QByteArray& content)
{
    int start = 0;
    while (start < content.size()) {
        int end = start;
        while (end < content.size() && content.at(end) != '\n' && content.at(end) != '\r')
            ++end;
        const qint64 kind = foreignVariantType(content.mid(start, end - start));
        if (kind >= 0)
            return kind;
        start = end + 1;
    }
    return -1;
}

// Whether QSettings reads content to the end. It is read from a copy, so that a reader that
// fails part-way leaves nothing behind in QSettings' memory of the real file.
bool readsWhole(const QByteArray& content)
{
    QTemporaryFile copy;
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return true; // no way to tell here; QSettings reads the file itself
    try {
        QSettings probe(copy.fileName(), QSettings::IniFormat);
        probe.allKeys();
        return true;
    } catch (const std::exception& e) {
        qCWarning(lcShell) << Q_FUNC_INFO << "- reading the settings failed:" << e.what();
        return false;
    }
}

void setAside(const QString& path, const QString& why)
{
    const QString aside = besideName(path, QStringLiteral("unreadable"));
    if (QFile::rename(path, aside))
        qCWarning(lcShell).noquote()
            << QStringLiteral("The settings file %1 %2; it is kept as %3, and the player starts "
                              "from default settings")
                   .arg(path, why, aside);
    else
        qCWarning(lcShell).noquote()
            << QStringLiteral("The settings file %1 %2, and it cannot be moved aside")
                   .arg(path, why);
}

QString writeBackup(const QString& path, const QByteArray& content)
{
    const QString backup = besideName(path, QStringLiteral("backup"));
    return SafeFile::write(backup, content) ? backup : QString();
}

} // namespace

QString SettingsFileCheck::keepBackup(const QString& path)
{
    QFile file;
    if (!SafeFile::openRegular(path, &file))
        return QString();
    return writeBackup(path, file.read(MaxFileSize + 1));
}

void SettingsFileCheck::check(const QString& path)
{
    QFile file;
    if (!SafeFile::openRegular(path, &file))
        return;
    if (file.size() > MaxFileSize) {
        file.close();
        setAside(path, QStringLiteral("is larger than settings ever are"));
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    QMutexLocker lock(&checkedMutex);
    if (checkedOnce && content == checkedContent)
        return;
    QList<int> dropped;
    const QByteArray kept = withoutRunOnLines(content, &dropped);
    const qint64 foreign = foreignVariantTypeIn(kept);
    if (foreign >= 0) {
        setAside(path, QStringLiteral("cannot be read: it holds a value of a kind the player never "
                                      "writes (%1)")
                           .arg(QString::fromLatin1(QMetaType::typeName(int(foreign))
                                                        ? QMetaType::typeName(int(foreign))
                                                        : "unknown")));
        return;
    }
    if (!readsWhole(kept)) {
        setAside(path, QStringLiteral("cannot be read"));
        return;
    }
    if (!dropped.isEmpty()) {
        QStringList numbers;
        for (int number : dropped)
            numbers << QString::number(number);
        const QString backup = writeBackup(path, content);
        if (backup.isEmpty() || !SafeFile::write(path, kept)) {
            qCWarning(lcShell).noquote()
                << QStringLiteral("The settings file %1 has lines that cannot be read (%2), and "
                                  "it cannot be mended")
                       .arg(path, numbers.join(QStringLiteral(", ")));
            return;
        }
        qCWarning(lcShell).noquote()
            << QStringLiteral("The settings file %1 has lines that cannot be read (%2); they are "
                              "left out, and the file as it was is kept as %3")
                   .arg(path, numbers.join(QStringLiteral(", ")), backup);
    }
    checkedContent = kept;
    checkedOnce = true;
}
