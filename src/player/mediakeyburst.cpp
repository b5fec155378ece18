#include "mediakeyburst.h"

MediaKeyBurst::MediaKeyBurst(bool windRuns)
    : windRunsBefore(windRuns)
{
}

void MediaKeyBurst::next()
{
    empty = false;
    steps.next();
}

void MediaKeyBurst::previous()
{
    empty = false;
    steps.previous();
}

void MediaKeyBurst::toggle()
{
    empty = false;
    switch (last) {
    case Hold::None:
        last = Hold::Toggle;
        break;
    case Hold::Toggle:
        last = Hold::None;
        break;
    case Hold::Play:
        last = Hold::Pause;
        break;
    case Hold::Pause:
    case Hold::Stop:
        last = Hold::Play;
        break;
    }
}

void MediaKeyBurst::play()
{
    empty = false;
    last = Hold::Play;
}

void MediaKeyBurst::pause()
{
    empty = false;
    last = Hold::Pause;
}

void MediaKeyBurst::stop()
{
    empty = false;
    last = Hold::Stop;
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

const QVector<int>& MediaKeyBurst::moves() const
{
    return steps.runs();
}

MediaKeyBurst::Hold MediaKeyBurst::hold() const
{
    return last;
}

MediaKeyBurst::Wind MediaKeyBurst::wind() const
{
    return winding;
}

bool MediaKeyBurst::endsWind() const
{
    return windEnded;
}
