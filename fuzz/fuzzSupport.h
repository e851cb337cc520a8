// Shared by the fuzz targets: the game's loaders read named files from the
// working directory, so each input is written to a scratch directory first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Moves into a fresh scratch directory and sends the game's standard output to
// /dev/null (the loaders narrate every element; libFuzzer reports on stderr).
void enterScratchDirectory();

// Writes size bytes to file in the working directory, replacing it.
void writeFile(const char* file, const uint8_t* data, size_t size);
void writeFile(const char* file, const std::string& text);
