#ifndef MSAVEASDIALOG_H
#define MSAVEASDIALOG_H

#include "mdialog.h"

#include <QString>

class MLabel;
class MTextEdit;

// The system's "save as" dialog: it asks for the name a file is to be kept under in a folder,
// offering a default name, and in the automatic copy mode copies the file there itself.
//
// The name is typed without its extension, which the dialog keeps. Save with an empty name, or
// one that names a folder or leaves the destination ("a/b", "..", ".hidden"), keeps the dialog
// open; in the name-only mode without a destination folder the name is no file name, and only
// a blank one keeps the dialog open. Enter in the name field answers as Save does. On Save the
// source is copied away from the GUI thread, into a hidden file of the destination folder
// first, then renamed to the typed name, or the name with " (2)", " (3)"... added when that
// name is taken; nothing there is ever overwritten, and only a regular file is read. Once the copy
// is in place, saveFileAs() gives its file name (name and extension). A source that cannot be
// copied shows a banner and emits nothing; Cancel emits nothing. The dialog is kept after it
// closes, so it can be shown again.
class MSaveAsDialog : public MDialog
{
    Q_OBJECT

public:
    // The numbers are passed by callers, so they are fixed.
    enum SaveAsMode {
        AutoCopy = 0, // the dialog copies the file, then emits saveFileAs()
        NameOnly = 1  // the dialog only asks; saveFileAs() gives the name, the caller copies
    };

    // modal: the dialog keeps the input of the window below it until it is answered (always so
    // in this dialog).
    explicit MSaveAsDialog(bool modal = true);
    ~MSaveAsDialog() override;

    void setAutoCopyMode(SaveAsMode mode);
    void setSourcePath(const QString& path);
    void setDefaultFileName(const QString& name);
    void setDefaultExtension(const QString& extension);
    void setDestinationPath(const QString& path);

    SaveAsMode autoCopyMode() const;
    QString sourcePath() const;
    QString defaultFileName() const;
    QString defaultExtension() const;
    QString destinationPath() const;
    // The name field, for the user and for tests.
    MTextEdit* nameEdit() const;

public slots:
    void done(int result) override;

signals:
    void saveFileAs(QString fileName);

private:
    // The file name that name (without extension) is stored under: with the extension, and
    // a number added when the destination holds that name already.
    QString freeFileName(const QString& name) const;
    void startCopy(const QString& fileName);
    void copyFinished(const QString& fileName, const QString& failure);

    SaveAsMode mode = AutoCopy;
    QString source;
    QString defaultName;
    QString extension;
    QString destination;
    MTextEdit* edit;
    MLabel* extensionLabel;
};

#endif // MSAVEASDIALOG_H
