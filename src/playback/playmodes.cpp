#include "playmodes.h"

const PlayItem& PlayModes::item(PlaybackEnums::PlayingMode of) const
{
    if (of == mode)
        return live;
    return of == PlaybackEnums::MusicMode ? music : radio;
}

void PlayModes::saveMusic()
{
    music = live.asMusicSnapshot();
}

void PlayModes::saveRadio()
{
    radio = live.asRadioSnapshot();
}

void PlayModes::clearLive()
{
    live = PlayItem::nothing();
}

void PlayModes::clearMusic()
{
    music = PlayItem::noSong();
}

void PlayModes::clearRadio()
{
    radio = PlayItem::noStream(radio.streamUrl);
}
