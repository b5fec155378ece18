#ifndef SETTINGSFILECHECK_H
#define SETTINGSFILECHECK_H

#include <QString>

// The settings file is the user's too: it is edited by hand, and anything may stand in it.
// QSettings reads some of that in ways that lose the file or stop the program:
// - a quote left open makes one value of everything up to the next quote, often the rest of
//   the file, and the program then writes that back (a line before "SettingsVersion" takes the
//   version with it, and the version check then empties the file);
// - a backslash at the end of a line joins the next line to it;
// - a stored value that claims a huge size (a list of 2^31 - 1 entries) throws std::bad_alloc
//   from the reader, on every start.
// check() runs before QSettings opens the file, and leaves it in a state QSettings reads line
// by line:
// - a line that QSettings would read past its end is left out, so a spoiled line costs that
//   line only; the file as it was is kept as a backup beside it;
// - a file QSettings cannot read at all, or one far larger than settings ever are, is moved
//   aside, and the program starts from defaults.
// Each change logs a warning that names the file kept. Files are read whole, so that what is
// checked is what QSettings reads; the result is remembered, and a file already found sound
// is not checked again.
class SettingsFileCheck
{
public:
    static void check(const QString& path);

    // Copies path to a new file beside it named path + ".backup-" + the time; returns the
    // copy's path, or an empty string when nothing could be copied. Callers that are about to
    // drop keys the file holds keep the file this way first.
    static QString keepBackup(const QString& path);

    // The largest settings file read; the player's own stays under a few kilobytes.
    static const qint64 MaxFileSize = 1024 * 1024;
};

#endif // SETTINGSFILECHECK_H
