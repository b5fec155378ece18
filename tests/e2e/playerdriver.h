#ifndef PLAYERDRIVER_H
#define PLAYERDRIVER_H

#include <QDBusMessage>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QVariantList>

// The built program as a user meets it on an X display: started and ended as a process, given
// taps, drags and keys through the window system (xdotool), seen through screenshots of the
// display and the texts its windows show (its testability object), and steered and asked
// over the session bus as other programs do.
class PlayerDriver : public QObject
{
    Q_OBJECT

public:
    struct ShownText
    {
        QString text;
        QRect rect; // screen pixels
    };

    explicit PlayerDriver(const QString& program);
    ~PlayerDriver() override;

    // Starts the program with the test's home and display, and waits until its window shows
    // and its playback service is on the bus.
    bool start(const QStringList& arguments = QStringList());
    // Only starts the program, with the same home and display, and waits for nothing more: for
    // what a user does while the start is still busy.
    bool launch(const QStringList& arguments = QStringList());
    // SIGTERM, as the session's end sends it; true when the program ended by itself with 0.
    bool stop();
    bool isRunning() const;
    qint64 processId() const { return process.processId(); }
    // How the program ended, once it has.
    QProcess::ExitStatus exitStatus() const { return process.exitStatus(); }
    int exitCode() const { return process.exitCode(); }
    // What the program logged since it started.
    QString log();

    QList<ShownText> shownTexts() const;
    // The first shown text equal to the given one; an empty rectangle when none shows.
    QRect find(const QString& text) const;
    bool shows(const QString& text) const { return !find(text).isEmpty(); }

    QImage screenshot() const;

    void tap(const QPoint& point) const;
    void hold(const QPoint& point) const; // a long tap
    // A finger put down and left there, and lifted later.
    void press(const QPoint& point) const;
    void release() const;
    void drag(const QPoint& from, const QPoint& to) const;
    void type(const QString& text) const;
    void key(const QString& keysym) const;

    // A method of the playback service's interface, as another program calls it.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {}) const;
    int playbackState() const;
    // What the service's mediaChanged last announced: kind ("0" a library song), title, artist.
    QStringList media() const { return lastMedia; }

private slots:
    void mediaChanged(const QStringList& media);

private:
    // The program ends with the test, however the test ends.
    class TiedProcess : public QProcess
    {
    protected:
        void setupChildProcess() override;
    };

    void xdotool(const QStringList& arguments) const;

    QString program;
    TiedProcess process;
    QString output;
    QStringList lastMedia;
};

#endif // PLAYERDRIVER_H
