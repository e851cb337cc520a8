// Where every data file comes from: the mod folders, the last one given first,
// then the data folder. A mod holds only the files it changes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct DataFolders {
    std::string data;               // "" is the working directory: names stay as they are
    std::vector<std::string> mods;  // in the order given; a later one wins
};

extern DataFolders dataFolders;

// The path to open for a data file name: the last mod folder holding it as a
// file, else the data folder's. Numbered files (emitter tables, shaders) end
// where neither has the next one.
std::string dataFile(const std::string& name);

bool isDataFolder(const std::string& dir);  // holds a test.xml
// The data folder of an install, next to the running executable's folder.
std::string installedDataFolder();

struct Options;
// Each leaves dataFolders set, or returns the exit status after one line on err:
// 1 for a folder that cannot be read or holds no data, 2 for a mod given twice.
int chooseModFolders(const Options& options, const char* program, std::ostream& err);
int chooseDataFolder(const Options& options, const char* program, std::ostream& err);
// Both of the above: the mods, then the data folder from the command line, the
// working directory, $VUMTAL_DATA or the install.
int chooseDataFolders(const Options& options, const char* program, std::ostream& err);
