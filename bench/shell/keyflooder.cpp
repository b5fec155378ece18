#include "keyflooder.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <utility>

KeyFlooder::KeyFlooder(QVector<KeyEvent> sequence, int eventsPerSecond, int seconds)
    : sequence(std::move(sequence))
    , eventsPerSecond(eventsPerSecond)
    , seconds(seconds)
{
}

void KeyFlooder::run()
{
    Display* display = XOpenDisplay(nullptr);
    int unused = 0;
    if (!display) {
        refused = "the display cannot be opened";
    } else if (!XTestQueryExtension(display, &unused, &unused, &unused, &unused)) {
        refused = "the display has no XTest extension";
    }
    QVector<KeyCode> codes;
    for (const KeyEvent& e : std::as_const(sequence)) {
        if (!refused.isEmpty())
            break;
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(e.keysym));
        if (code == 0)
            refused = QByteArray("the keymap has no ") + e.keysym;
        codes.append(code);
    }
    if (!refused.isEmpty() || sequence.isEmpty()) {
        endedAtMs = clock.elapsed();
        if (display)
            XCloseDisplay(display);
        return;
    }
    const int length = sequence.size();
    const auto type = [&](qint64 n) {
        XTestFakeKeyEvent(display, codes.at(int(n % length)), sequence.at(int(n % length)).press,
                          CurrentTime);
    };
    while (clock.elapsed() < seconds * 1000) {
        const qint64 due = clock.elapsed() * eventsPerSecond / 1000;
        for (; sent < due; ++sent)
            type(sent);
        XFlush(display);
        QThread::usleep(500);
    }
    for (; sent % length != 0; ++sent)
        type(sent);
    XSync(display, False);
    endedAtMs = clock.elapsed();
    XCloseDisplay(display);
}
