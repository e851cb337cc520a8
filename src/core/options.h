// The command lines of the game and of the content checker. One option is one
// row of a rule table (options.cpp) and, when it keeps a value, one field here.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct Options {
    std::string data;               // --data DIR (the checker: its DIR operand)
    std::vector<std::string> mods;  // --mod DIR, repeatable
    bool mute = false;              // --mute: start with sound off
    std::uint64_t seed = 0;         // --seed N: the simulation's generator starts from N
    bool seedGiven = false;
    bool help = false;
    bool version = false;
    std::string error;  // what was wrong with the command line; empty when nothing
};

enum OptionStatus { OPTIONS_GO_ON = -1, OPTIONS_DONE = 0, OPTIONS_USAGE = 2 };

Options parseOptions(int argc, char** argv);       // vumtal
Options parseCheckOptions(int argc, char** argv);  // vumtal-check
std::string gameUsage();
std::string checkUsage();
const char* versionText();  // the project's version, "x.y.z"

// The whole command line of the game: answers --help and --version, checks
// it, and settles the data folders. OPTIONS_GO_ON, or the exit status.
int readCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

// --help and --version (on out) or a bad command line (one line on err).
// OPTIONS_GO_ON when the program should start, else its exit status.
int answerOptions(const Options& options, const char* program, const std::string& usage, std::ostream& out,
                  std::ostream& err);
