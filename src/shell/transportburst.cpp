#include "transportburst.h"

void TransportBurst::play(const PlayRequest& request)
{
    newest = request;
    commands.dropHold();
    ++taken;
}

void TransportBurst::next()
{
    ++taken;
    if (newest.kind == PlayRequest::None)
        commands.next();
}

void TransportBurst::previous()
{
    ++taken;
    if (newest.kind == PlayRequest::None)
        commands.previous();
}

void TransportBurst::pause()
{
    commands.pause();
    ++taken;
}

void TransportBurst::resume()
{
    commands.play();
    ++taken;
}

void TransportBurst::stop()
{
    commands.stop();
    ++taken;
}

int TransportBurst::calls() const
{
    return taken;
}

const TransportBurst::PlayRequest& TransportBurst::request() const
{
    return newest;
}

const TransportSteps& TransportBurst::steps() const
{
    return commands;
}
