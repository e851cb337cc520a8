// vumtal-check [--mod DIR]... [DIR]: checks a game data directory (by default
// the one the game would use) before the game is started on it, with the mods
// laid over it as the game lays them. Problems go to standard error; the status
// is 0 when clean, 1 on any problem, 2 when the command line is wrong or a
// folder cannot be read.
#include <iostream>

#include "check/contentCheck.h"
#include "core/dataFiles.h"
#include "core/options.h"

int main(int argc, char** argv)
{
    const Options options = parseCheckOptions(argc, argv);
    const int answered = answerOptions(options, "vumtal-check", checkUsage(), std::cout, std::cerr);
    if (answered != OPTIONS_GO_ON) return answered;
    if (chooseModFolders(options, "vumtal-check", std::cerr) != 0) return CHECK_UNREADABLE;
    if (!options.data.empty()) return checkContent(options.data, std::cerr);
    if (chooseDataFolder(options, "vumtal-check", std::cerr) != 0) return CHECK_UNREADABLE;
    return checkContent(dataFolders.data.empty() ? "." : dataFolders.data, std::cerr);
}
