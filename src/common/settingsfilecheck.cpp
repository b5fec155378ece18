#include "settingsfilecheck.h"

#include "logging.h"
#include "safefile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
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
