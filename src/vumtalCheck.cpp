// vumtal-check [DIR]: checks a game data directory (default: the working
// directory) before the game is started on it. Problems go to standard error;
// the status is 0 when clean, 1 on any problem, 2 when DIR cannot be read.
#include <iostream>

#include "check/contentCheck.h"

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::cerr << "usage: vumtal-check [DIR]\n";
        return CHECK_UNREADABLE;
    }
    return checkContent(argc == 2 ? argv[1] : ".", std::cerr);
}
