#include "mediakeyburst.h"

MediaKeyBurst::MediaKeyBurst(bool windRuns)
    : windRunsBefore(windRuns)
{
}

void MediaKeyBurst::next()
{
    empty = false;
    commands.next();
}

void MediaKeyBurst::previous()
{
    empty = false;
    commands.previous();
}

void MediaKeyBurst::toggle()
{
    empty = false;
    commands.toggle();
}

void MediaKeyBurst::play()
{
    empty = false;
    commands.play();
}

void MediaKeyBurst::pause()
{
    empty = false;
    commands.pause();
}

void MediaKeyBurst::stop()
{
    empty = false;
    commands.stop();
}

void MediaKeyBurst::startWind(bool backwards)
{
    empty = false;
    winding = backwards ? Wind::Backward : Wind::Forward;
}

void MediaKeyBurst::endWind()
{
    empty = false;
    winding = Wind::None;
    if (windRunsBefore) {
        windRunsBefore = false;
        windEnded = true;
    }
}

bool MediaKeyBurst::isEmpty() const
{
    return empty;
}

const TransportSteps& MediaKeyBurst::steps() const
{
    return commands;
}

MediaKeyBurst::Wind MediaKeyBurst::wind() const
{
    return winding;
}

bool MediaKeyBurst::endsWind() const
{
    return windEnded;
}
