// Emitter tables: the blocks of numbers that describe each particle effect,
// read from "emitterShade0.txt", "emitterShade1.txt", ... at start-up.
#pragma once

#include <string>
#include <vector>

using EmitterRow = std::vector<float>;
using EmitterBlock = std::vector<EmitterRow>;
using EmitterTable = std::vector<EmitterBlock>;

// Expanded tables, index = file number; empty until someone reads them (the game
// does first thing in its entry function, the checker from the folder it checks).
extern std::vector<EmitterTable> emitters;

bool hasEmitterTable(int index);
// A copy of table index, or an empty table (an effect that draws nothing) when
// the index names none: data files name tables by number.
EmitterTable emitterTableAt(int index);

std::string emitterFileName(int index);  // "emitterShade" + index + ".txt"

// One file's blocks as written ("#" lines open blocks, other lines are rows).
EmitterTable readEmitterFile(std::istream& in);
std::vector<EmitterTable> readEmitterData();
// Long rows (head + 100-sample curve) resampled to the length row 3 asks for.
EmitterBlock expandMatrix(const EmitterBlock& block);
std::vector<EmitterTable> readAndExpandEmitterData();
