// Two debugging aids the game keeps but does not call in play.
#pragma once

#include <string>

#include <SDL.h>

void eventTypeDisp(SDL_Event event);
std::string enterText();  // blocks until Return
