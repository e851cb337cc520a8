// Emitter tables: the blocks of numbers that describe each particle effect,
// read from "emitterShade0.txt", "emitterShade1.txt", ... at start-up.
#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

using EmitterRow = std::vector<float>;
using EmitterBlock = std::vector<EmitterRow>;
using EmitterTable = std::vector<EmitterBlock>;

// What an effect carries of its table: one copy shared by every effect drawn
// from it, however often the effects are copied (a wormhole is, every frame).
// Reads as the table itself; an effect cannot change it.
struct SharedEmitterTable {
    std::shared_ptr<const EmitterTable> shared;

    SharedEmitterTable();
    SharedEmitterTable(EmitterTable table);  // a table of its own
    SharedEmitterTable(std::shared_ptr<const EmitterTable> table);

    const EmitterTable& get() const { return *shared; }
    operator const EmitterTable&() const { return *shared; }
    bool empty() const { return shared->empty(); }
    size_t size() const { return shared->size(); }
    const EmitterBlock& operator[](size_t block) const { return (*shared)[block]; }
    EmitterTable::const_iterator begin() const { return shared->begin(); }
    EmitterTable::const_iterator end() const { return shared->end(); }
};

// What one table may hold: the shipped ones have 12 rows of at most 101 numbers
// and expand to a few thousand; a careless row 3 or a row of spaces asks for gigabytes.
const size_t MAX_EMITTER_ROWS = 1024;             // in all the blocks of one table
const size_t MAX_EMITTER_ROW_NUMBERS = 1024;
const size_t MAX_EXPANDED_EMITTER_NUMBERS = 1u << 20;  // one table once its curves are resampled
const int MAX_EMITTER_TABLES = 256;

// Expanded tables, index = file number; empty until someone reads them (the game
// does first thing in its entry function, the checker from the folder it checks).
extern std::vector<EmitterTable> emitters;

bool hasEmitterTable(int index);
// A copy of table index, or an empty table (an effect that draws nothing) when
// the index names none: data files name tables by number.
EmitterTable emitterTableAt(int index);
// Table index as the effects share it: one copy for all, made again only when
// the table has changed; the empty table when the index names none.
SharedEmitterTable sharedEmitterTableAt(int index);

std::string emitterFileName(int index);  // "emitterShade" + index + ".txt"

// One file's blocks as written ("#" lines open blocks, other lines are rows).
EmitterTable readEmitterFile(std::istream& in);
// The same, or false with why (without the file's name) when the file holds more
// rows or longer rows than a table may; table is then empty.
bool readEmitterRows(std::istream& in, EmitterTable& table, std::string& why);
// The numbers the table holds once expanded.
size_t expandedEmitterSize(const EmitterTable& table);
std::vector<EmitterTable> readEmitterData();
// Long rows (head + 100-sample curve) resampled to the length row 3 asks for.
EmitterBlock expandMatrix(const EmitterBlock& block);
std::vector<EmitterTable> readAndExpandEmitterData();
