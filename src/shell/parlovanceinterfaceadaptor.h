#ifndef PARLOVANCEINTERFACEADAPTOR_H
#define PARLOVANCEINTERFACEADAPTOR_H

#include <QDBusAbstractAdaptor>
#include <QStringList>

class ParlovanceService;

// Exports the playback service's interface on the session bus and forwards each call to the
// service; the service's two change signals go out as the interface's signals.
class ParlovanceInterfaceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vaspe.lurno.meegotouch.ParlovanceInterface")
    Q_CLASSINFO("D-Bus Introspection",
                ""
                "  <interface name=\"com.vaspe.lurno.meegotouch.ParlovanceInterface\">\n"
                "    <method name=\"playPlaylist\">\n"
                "      <arg direction=\"in\" type=\"as\" name=\"uriList\"/>\n"
                "    </method>\n"
                "    <method name=\"play\">\n"
                "      <arg direction=\"in\" type=\"as\" name=\"uriList\"/>\n"
                "    </method>\n"
                "    <method name=\"playTempFile\">\n"
                "      <arg direction=\"in\" type=\"as\" name=\"uriList\"/>\n"
                "    </method>\n"
                "    <method name=\"resumePlayback\"/>\n"
                "    <method name=\"pausePlayback\"/>\n"
                "    <method name=\"next\"/>\n"
                "    <method name=\"previous\"/>\n"
                "    <method name=\"playbackState\">\n"
                "      <arg direction=\"out\" type=\"i\" name=\"state\"/>\n"
                "    </method>\n"
                "    <method name=\"currentMedia\"/>\n"
                "    <signal name=\"playbackStateChanged\">\n"
                "      <arg direction=\"out\" type=\"i\" name=\"playbackState\"/>\n"
                "    </signal>\n"
                "    <signal name=\"mediaChanged\">\n"
                "      <arg direction=\"out\" type=\"as\" name=\"mediaChanged\"/>\n"
                "    </signal>\n"
                "    <method name=\"openUlkMusicLink\">\n"
                "      <arg direction=\"in\" type=\"as\" name=\"link\"/>\n"
                "    </method>\n"
                "  </interface>\n"
                "")

public:
    explicit ParlovanceInterfaceAdaptor(ParlovanceService* parent);
    ~ParlovanceInterfaceAdaptor() override;

signals:
    void mediaChanged(QStringList mediaChanged);
    void playbackStateChanged(int playbackState);

public slots:
    void currentMedia();
    void next();
    void openUlkMusicLink(QStringList link);
    void pausePlayback();
    void play(QStringList uriList);
    void playPlaylist(QStringList uriList);
    void playTempFile(QStringList uriList);
    int playbackState();
    void previous();
    void resumePlayback();
};

#endif // PARLOVANCEINTERFACEADAPTOR_H
