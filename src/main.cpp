#include <iostream>

#include "core/options.h"
#include "game/gameMain.h"

int main(int argc, char** argv)
{
    const int status = readCommandLine(argc, argv, std::cout, std::cerr);
    if (status != OPTIONS_GO_ON) return status;
    return SDL_main(argc, argv);
}
