// Where every data file comes from: the mod folders, the last one given first,
// then the data folder. A mod holds only the files it changes.
#pragma once

#include <cstdint>
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

// The largest file of each kind the game reads: many times what ships, far
// below what would take the game down.
const std::uintmax_t MAX_XML_FILE = 16u << 20;
const std::uintmax_t MAX_TABLE_FILE = 1u << 20;    // playerdata.txt, shipdata.txt
const std::uintmax_t MAX_EMITTER_FILE = 1u << 20;  // each emitterShade<K>.txt
const std::uintmax_t MAX_SHADER_FILE = 16u << 10;  // each half; Mesa's compiler recurses on long expressions
const std::uintmax_t MAX_SCRIPT_FILE = 1u << 20;   // ui.lua
const std::uintmax_t MAX_IMAGE_FILE = 64u << 20;
const std::uintmax_t MAX_SOUND_FILE = 64u << 20;
const std::uintmax_t MAX_FONT_FILE = 16u << 20;

// Empty when path is a regular file (a link to one is fine) of at most cap
// bytes, not on a kernel file system such as /proc; else why not, without the
// path ("not a regular file (a FIFO)"). Never opens the file, so a FIFO cannot block.
std::string dataFileProblem(const std::string& path, std::uintmax_t cap);
bool dataFileExists(const std::string& path);  // anything at all there, a link followed
// The whole of a data file checked as above. False with error set to one line
// naming the file ("path: why") for a refused file and any failed open or read.
bool readDataFile(const std::string& path, std::uintmax_t cap, std::string& bytes, std::string& error);

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
