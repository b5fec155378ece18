#include "mediakeyburst.h"

MediaKeyBurst::MediaKeyBurst(bool windRuns)
    : windRunsBefore(windRuns)
{
}

void MediaKeyBurst::next()
{
    step(1);
}

void MediaKeyBurst::previous()
{
    step(-1);
}

void MediaKeyBurst::step(int direction)
{
    empty = false;
    if (!runs.isEmpty() && (runs.last() < 0) == (direction < 0))
        runs.last() += direction;
    else
        runs.append(direction);
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
    return runs;
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
