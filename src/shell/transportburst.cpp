#include "transportburst.h"

void TransportBurst::play(const PlayRequest& request)
{
    newest = request;
    last = Hold::None;
    ++taken;
}

void TransportBurst::next()
{
    ++taken;
    if (newest.kind == PlayRequest::None)
        steps.next();
}

void TransportBurst::previous()
{
    ++taken;
    if (newest.kind == PlayRequest::None)
        steps.previous();
}

void TransportBurst::pause()
{
    last = Hold::Pause;
    ++taken;
}

void TransportBurst::resume()
{
    last = Hold::Resume;
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

const QVector<int>& TransportBurst::moves() const
{
    return steps.runs();
}

TransportBurst::Hold TransportBurst::hold() const
{
    return last;
}
