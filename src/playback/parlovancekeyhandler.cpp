#include "parlovancekeyhandler.h"

#include "playstate.h"

ParlovanceKeyHandler* ParlovanceKeyHandler::s_instance = nullptr;

ParlovanceKeyHandler* ParlovanceKeyHandler::instance()
{
    if (!s_instance)
        s_instance = new ParlovanceKeyHandler;
    return s_instance;
}

void ParlovanceKeyHandler::destroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

ParlovanceKeyHandler::ParlovanceKeyHandler()
    : QObject(nullptr)
    , playState(PlayState::instance())
{
}

ParlovanceKeyHandler::~ParlovanceKeyHandler()
{
    if (s_instance == this)
        s_instance = nullptr;
}
