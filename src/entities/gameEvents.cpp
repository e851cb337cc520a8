#include "entities/gameEvents.h"

namespace {
GameEvents* listening = nullptr;
}

EventScope::EventScope(GameEvents& events) : previous(listening) { listening = &events; }
EventScope::~EventScope() { listening = previous; }

void tell(const GameEvent& event)
{
    if (listening) listening->push_back(event);
}
