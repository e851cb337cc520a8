// The modder's content checker behind vumtal-check: loads every file the game
// reads from a directory with the game's own loaders, without a window, and
// names each problem as "file: element or line: what is wrong".
#pragma once
#include <ostream>
#include <string>
#include <vector>

enum CheckStatus { CHECK_CLEAN = 0, CHECK_FAULTS = 1, CHECK_UNREADABLE = 2 };

struct ContentProblems {
    std::vector<std::string> lines;  // one per problem, in the order found
    void add(const std::string& file, const std::string& where, const std::string& what);
};

// Checks dir (the game's working directory) and writes each problem line to err.
CheckStatus checkContent(const std::string& dir, std::ostream& err);

// The parts, each run with the working directory already at the data.
void checkGalaxyAndWeapons(ContentProblems& problems);
void checkTables(ContentProblems& problems);
void checkEmitterTables(ContentProblems& problems);
void checkImages(ContentProblems& problems);
void checkSoundFiles(ContentProblems& problems);  // each there as a file the game may read
void checkUiScript(ContentProblems& problems);
// Returns false when the compile check could not run (no X display); the
// presence and size checks run regardless.
bool checkShaders(ContentProblems& problems);
// Row 11 of an emitter table's first block names its kind, row 0 its quad count.
const size_t EMITTER_KIND_ROW = 11;
