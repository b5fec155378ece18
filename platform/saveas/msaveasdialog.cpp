#include "msaveasdialog.h"

#include "safefile.h"

#include "mbanner.h"
#include "mlabel.h"
#include "mtextedit.h"
#include "mwidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLinearLayout>
#include <QLoggingCategory>
#include <QPointer>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QThreadPool>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcSaveAs, "parlovance.saveas")

// Numbers tried after a taken name before the copy gives up.
const int MaxNameNumber = 999;

bool isValidName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.startsWith(QLatin1Char('.'))
           && !name.contains(QChar(0));
}

// The process's file mode creation mask. umask() can only be read by setting it, which would
// race with files that other threads create meanwhile, so the kernel's status file is read.
mode_t creationMask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask & 0777);
            }
        }
    }
    return 022;
}

// Why writing file in folder failed. A write cut short by a full disk sets no error text
// ("Unknown error"), so a full disk is told by the error of the write itself or by the room
// left on the disk.
QString writeFailure(const QFileDevice& file, int writeError, const QString& folder, qint64 wanted)
{
    if (writeError == ENOSPC || writeError == EDQUOT || file.error() == QFileDevice::ResourceError
        || QStorageInfo(folder).bytesAvailable() < wanted)
        return QStringLiteral("the disk is full (no room left in %1)").arg(folder);
    if (file.error() != QFileDevice::NoError && file.error() != QFileDevice::UnspecifiedError)
        return file.errorString();
    return QStringLiteral("%1 cannot be written: %2")
        .arg(file.fileName(),
             writeError ? QString::fromLocal8Bit(std::strerror(writeError)) : file.errorString());
}

// Copies source into folder under the first free name; the stored file name, or empty with
// failure set. Runs on a worker thread.
QString copyInto(const QString& source, const QString& folder, const QString& name,
                 const QString& extension, QString* failure)
{
    // Opened once, without waiting, and checked open: a name that stands for a pipe by now is
    // refused instead of holding the worker until something writes to it.
    QString reason;
    const int fd = SafeFile::openRegularDescriptor(QFile::encodeName(source), &reason);
    if (fd < 0) {
        *failure = QStringLiteral("%1 cannot be read: %2").arg(source, reason);
        return QString();
    }
    QFile in;
    if (!in.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *failure = in.errorString();
        return QString();
    }
    const QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        *failure = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return QString();
    }
    // A hidden file without a music extension, so nothing takes it for a song while it grows.
    QTemporaryFile part(dir.filePath(QStringLiteral(".saveas-XXXXXX")));
    if (!part.open()) {
        *failure = part.errorString();
        return QString();
    }
    // The temporary file is made private; the copy gets the mode any new file of the user
    // gets, like the rest of the music folder.
    if (::fchmod(part.handle(), 0666 & ~creationMask()) != 0) {
        *failure = QString::fromLocal8Bit(strerror(errno));
        return QString();
    }
    QByteArray chunk;
    while (!(chunk = in.read(64 * 1024)).isEmpty()) {
        errno = 0;
        if (part.write(chunk) != chunk.size()) {
            *failure = writeFailure(part, errno, folder, chunk.size());
            return QString();
        }
    }
    if (in.error() != QFileDevice::NoError) {
        *failure = in.errorString();
        return QString();
    }
    errno = 0;
    if (!part.flush() || ::fsync(part.handle()) != 0) {
        *failure = writeFailure(part, errno, folder, 1);
        return QString();
    }
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    for (int number = 1; number <= MaxNameNumber; ++number) {
        const QString candidate
            = number == 1 ? name + suffix
                          : QStringLiteral("%1 (%2)%3").arg(name).arg(number).arg(suffix);
        // The rename never replaces a file that is there.
        if (!QFileInfo::exists(dir.filePath(candidate)) && part.rename(dir.filePath(candidate))) {
            part.setAutoRemove(false);
            return candidate;
        }
    }
    *failure = QStringLiteral("no free name for %1 in %2").arg(name, folder);
    return QString();
}

} // namespace

MSaveAsDialog::MSaveAsDialog(bool modal)
    : MDialog(QStringLiteral("Save as"), M::SaveButton | M::CancelButton)
    , edit(new MTextEdit(MTextEditModel::SingleLine))
    , extensionLabel(new MLabel)
{
    Q_UNUSED(modal)
    auto* central = new MWidget;
    auto* layout = new QGraphicsLinearLayout(Qt::Horizontal, central);
    layout->addItem(edit);
    layout->addItem(extensionLabel);
    layout->setStretchFactor(edit, 1);
    setCentralWidget(central);
    // The name is typed at once, without a tap on the field first: the keys the dialog is
    // given go to the field.
    setFocusProxy(edit);
    // Enter in the field answers as Save does.
    connect(edit, &MTextEdit::returnPressed, this, [this]() { done(M::SaveButton); });
}

MSaveAsDialog::~MSaveAsDialog() = default;

void MSaveAsDialog::setAutoCopyMode(SaveAsMode copyMode)
{
    mode = copyMode;
}
void MSaveAsDialog::setSourcePath(const QString& path)
{
    source = path;
}

void MSaveAsDialog::setDefaultFileName(const QString& name)
{
    defaultName = name;
    edit->setText(name);
}

void MSaveAsDialog::setDefaultExtension(const QString& newExtension)
{
    extension = newExtension;
    extensionLabel->setText(extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
}

void MSaveAsDialog::setDestinationPath(const QString& path)
{
    destination = path;
}
MSaveAsDialog::SaveAsMode MSaveAsDialog::autoCopyMode() const
{
    return mode;
}
QString MSaveAsDialog::sourcePath() const
{
    return source;
}
QString MSaveAsDialog::defaultFileName() const
{
    return defaultName;
}
QString MSaveAsDialog::defaultExtension() const
{
    return extension;
}
QString MSaveAsDialog::destinationPath() const
{
    return destination;
}
MTextEdit* MSaveAsDialog::nameEdit() const
{
    return edit;
}

void MSaveAsDialog::done(int result)
{
    const bool save = result == M::SaveButton || result == Accepted;
    const QString name = edit->text().trimmed();
    // Without a folder to store in, the name is only a name (a playlist's, say): any text
    // but blanks, "AC/DC" and ".mix" included.
    const bool valid = destination.isEmpty() && mode == NameOnly ? !name.isEmpty()
                                                                 : isValidName(name);
    if (save && !valid) {
        qCDebug(lcSaveAs) << Q_FUNC_INFO << "- not a file name:" << name;
        return;
    }
    MDialog::done(result);
    if (!save)
        return;
    if (mode == NameOnly) {
        emit saveFileAs(extension.isEmpty() ? name : name + QLatin1Char('.') + extension);
        return;
    }
    startCopy(name);
}

void MSaveAsDialog::startCopy(const QString& name)
{
    QPointer<MSaveAsDialog> self(this);
    const QString from = source;
    const QString folder = destination;
    const QString suffix = extension;
    QThreadPool::globalInstance()->start([self, from, folder, name, suffix]() {
        QString failure;
        const QString stored = copyInto(from, folder, name, suffix, &failure);
        // Told on the GUI thread, unless the dialog has gone meanwhile.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, stored, failure]() {
                if (self)
                    self->copyFinished(stored, failure);
            },
            Qt::QueuedConnection);
    });
}

void MSaveAsDialog::copyFinished(const QString& fileName, const QString& failure)
{
    if (fileName.isEmpty()) {
        qCWarning(lcSaveAs) << "cannot save" << source << "in" << destination << ":" << failure;
        auto* banner = new MBanner;
        banner->setStyleName(QStringLiteral("InformationBanner"));
        banner->setTitle(QStringLiteral("Could not save the file"));
        banner->appear(MSceneWindow::DestroyWhenDone);
        return;
    }
    emit saveFileAs(fileName);
}
