#include "game/debugAids.h"

#include <cstdio>

static const char* eventTypeName(int type)
{
    switch (type) {
    case 1: return "Active Event";
    case 2: return "KEY DOWN";
    case 3: return "KEY UP";
    case 4: return "MOUSE MOTION";
    case 5: return "MOUSEBUTTONDOWN";
    case 6: return "MOUSEBUTTONUP";
    case 7: return "JOYAXISMOTION";
    case 8: return "JOYBALLMOTION";
    case 9: return "JOYHATMOTION";
    case 10: return "JOYBUTTONDOWN";
    case 11: return "JOYBUTTONUP";
    case 12: return "QUIT";
    case 13: return "SOME KIND OF UNHANDLED WINDOW MANAGER EVENT";
    case 16: return "VIDEORESIZE";
    case 17: return "VIDEOEXPOSE";
    default: return "Unusual SDL event";
    }
}

void eventTypeDisp(SDL_Event event) { std::printf("<%s>\n", eventTypeName(event.type)); }

std::string enterText()
{
    std::string text;
    bool finished = false;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type != SDL_KEYDOWN) continue;
            int key = event.key.keysym.sym;
            if (key == SDLK_RETURN) {
                finished = true;
            } else if (key == SDLK_BACKSPACE) {
                if (!text.empty()) text.pop_back();
            } else if (key == ' ' || (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z')) {
                text.push_back(char(key));
            }
        }
        if (finished) return text;
    }
}
