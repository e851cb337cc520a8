// The number tables: "playerdata.txt" and "shipdata.txt" go through readData,
// with and without the text items, at the column counts the game uses.
#include <string>
#include <vector>

#include "data/defaultVals.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeFile("table.txt", data, size);
    for (int columns : {7, 5, 1}) {
        std::vector<std::vector<float>> table;
        std::vector<std::vector<std::string>> text;
        readData("table.txt", columns, table, text);
        for (const auto& row : table)
            if (row.size() != size_t(columns)) __builtin_trap();  // rows are always whole
    }
    return 0;
}
