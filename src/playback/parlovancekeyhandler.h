#ifndef PARLOVANCEKEYHANDLER_H
#define PARLOVANCEKEYHANDLER_H

#include <QObject>

class PlayState;

// Turns the hardware media keys into playback commands. Minimal for now: it exists, and
// making it is what first makes the playback hub.
class ParlovanceKeyHandler : public QObject
{
public:
    static ParlovanceKeyHandler* instance();
    static void destroyInstance();

private:
    ParlovanceKeyHandler();
    ~ParlovanceKeyHandler() override;

    static ParlovanceKeyHandler* s_instance;

    PlayState* playState;
};

#endif // PARLOVANCEKEYHANDLER_H
