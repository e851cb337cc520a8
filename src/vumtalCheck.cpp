// vumtal-check [--mod DIR]... [DIR]: checks a game data directory (by default
// the one the game would use) before the game is started on it, with the mods
// laid over it as the game lays them. Problems go to standard error; the status
// is 0 when clean, 1 on any problem, 2 when the command line is wrong or a
// folder cannot be read.
#include <cstdio>
#include <iostream>
#include <sstream>

#include <unistd.h>

#include "check/contentCheck.h"
#include "core/dataFiles.h"
#include "core/options.h"

// The game's globals read the emitter tables while they are constructed, before
// main, and say so on standard output; the checker speaks only on standard error.
// What --help and --version print goes to the standard output kept aside here.
namespace {
int keptStdout = -1;
struct QuietStart {
    QuietStart()
    {
        std::fflush(stdout);
        keptStdout = dup(STDOUT_FILENO);
        (void)std::freopen("/dev/null", "w", stdout);
    }
};
__attribute__((init_priority(101))) QuietStart quietStart;
}  // namespace

int main(int argc, char** argv)
{
    const Options options = parseCheckOptions(argc, argv);
    std::ostringstream answer;
    const int answered = answerOptions(options, "vumtal-check", checkUsage(), answer, std::cerr);
    if (answered != OPTIONS_GO_ON) {
        const std::string text = answer.str();
        if (keptStdout >= 0 && write(keptStdout, text.data(), text.size()) < 0) return CHECK_UNREADABLE;
        return answered;
    }
    if (chooseModFolders(options, "vumtal-check", std::cerr) != 0) return CHECK_UNREADABLE;
    if (!options.data.empty()) return checkContent(options.data, std::cerr);
    if (chooseDataFolder(options, "vumtal-check", std::cerr) != 0) return CHECK_UNREADABLE;
    return checkContent(dataFolders.data.empty() ? "." : dataFolders.data, std::cerr);
}
