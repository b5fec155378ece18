#include "transportsteps.h"

#include "playback/playstate.h"

void TransportSteps::next()
{
    step(1);
}

void TransportSteps::previous()
{
    step(-1);
}

void TransportSteps::step(int direction)
{
    if (!runs.isEmpty() && (runs.last() < 0) == (direction < 0))
        runs.last() += direction;
    else
        runs.append(direction);
}

void TransportSteps::toggle()
{
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

void TransportSteps::play()
{
    last = Hold::Play;
}

void TransportSteps::pause()
{
    last = Hold::Pause;
}

void TransportSteps::stop()
{
    last = Hold::Stop;
}

void TransportSteps::dropMoves()
{
    runs.clear();
}

void TransportSteps::dropHold()
{
    last = Hold::None;
}

const QVector<int>& TransportSteps::moves() const
{
    return runs;
}

TransportSteps::Hold TransportSteps::hold() const
{
    return last;
}

TransportSteps::Hold TransportSteps::carryOut(PlayState& hub, const std::function<void()>& replace,
                                              const std::function<bool(Hold)>& keepHold) const
{
    // A toggle goes by what the burst found, before anything of it is carried out.
    const PlayState::State found = hub.state(hub.mode());
    if (!runs.isEmpty())
        hub.skip(runs, -1);
    if (replace)
        replace();
    Hold held = last;
    if (held == Hold::Toggle)
        held = found == PlayState::Paused || found == PlayState::Stopped ? Hold::Play : Hold::Pause;
    if (held == Hold::None || (keepHold && keepHold(held)))
        return Hold::None;
    carryOutHold(hub, held);
    return held;
}

void TransportSteps::carryOutHold(PlayState& hub, Hold held)
{
    const PlayState::PlayingMode mode = hub.mode();
    switch (held) {
    case Hold::Play:
        hub.play(mode);
        break;
    case Hold::Pause:
        hub.pauseOrStop(mode);
        break;
    case Hold::Stop:
        hub.stop(mode);
        break;
    case Hold::None:
    case Hold::Toggle:
        break;
    }
}
