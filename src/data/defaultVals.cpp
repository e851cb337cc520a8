#include "data/defaultVals.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "core/basics.h"
#include "core/dataFiles.h"
#include "core/diagnostics.h"

std::vector<projectileData> WEAPONDATA;
std::vector<std::vector<float>> SHIPDATA;

// "@Light_Fighter" names the row before it "Light Fighter".
static std::string textItem(const std::string& token)
{
    std::string text = token.substr(1);
    for (char& c : text)
        if (c == '_') c = ' ';
    return text;
}

// A number token as float. Text that is no number, and NaN or infinity (also what
// an overflowing number reads as), would leave a zero or a poisoned value without
// a word: they read as 0 with a line naming the file and the cell (rows counted
// from 0 like ship types, columns from 1 like the modders' guide).
static float tableNumber(const char* file, const std::string& token, long row, int column)
{
    char* end = nullptr;
    float value = float(std::strtod(token.c_str(), &end));
    const char* problem = nullptr;
    if (end == token.c_str())
        problem = "is not a number";
    else if (!std::isfinite(value))
        problem = "is not a finite number";
    if (!problem) return value;
    report({file, "", formatted("\"%s\" at row %ld, column %d %s; it reads as 0", token.c_str(), row, column + 1, problem),
            Severity::Warning});
    return 0;
}

bool readTable(const char* file, int n, std::vector<std::vector<float>>& table,
                      std::vector<std::vector<std::string>>& text, long& count)
{
    count = 0;
    if (n < 1) {
        sayLine("readData needs at least one column");
        return false;
    }
    if (!dataFileExists(file)) {
        int reason = errno;
        sayLine("Error opening file");
        report({file, "", formatted("cannot open file (%s)", std::strerror(reason)), Severity::Missing});
        return false;
    }
    std::string whole, error;
    if (!readDataFile(file, MAX_TABLE_FILE, whole, error)) {
        report({"", "", error, Severity::Error});
        return false;
    }
    std::istringstream in(whole);
    report({"", "", formatted("Opening %s", file), Severity::Note});

    // Rows are counted from what was there on entry, so a table is only ever appended to.
    const size_t textBase = text.size();
    std::string token;
    while (in >> token) {
        if (token[0] == '#') {
            in.ignore(100000, '\n');
            continue;
        }
        if (token[0] == '@') {
            size_t completeRows = size_t(count / n);
            // Before the first complete row there is nothing to name: the item is dropped.
            if (completeRows == 0) continue;
            if (text.size() < textBase + completeRows) text.resize(textBase + completeRows);
            text[textBase + completeRows - 1].push_back(textItem(token));
            continue;
        }
        int column = int(count % n);
        if (column == 0) table.push_back(std::vector<float>(size_t(n), 0.0f));
        table.back()[size_t(column)] = tableNumber(file, token, count / n, column);
        ++count;
    }
    return true;
}

bool readData(const char* file, int n, std::vector<std::vector<float>>& table,
              std::vector<std::vector<std::string>>& text)
{
    long count;
    return readTable(file, n, table, text, count);
}

bool readData(const char* file, int n, std::vector<std::vector<float>>& table)
{
    std::vector<std::vector<std::string>> text;
    return readData(file, n, table, text);
}

// The game spawns ship type 1, so the table must reach that far.
static const size_t SPAWNED_SHIP_TYPE = 1;

bool initializeShipArray()
{
    sayLine("loading shipdata.txt");
    SHIPDATA.clear();
    if (!readData(dataFile("shipdata.txt").c_str(), 5, SHIPDATA)) return false;
    // The behaviour mode becomes an int; beyond int's range that conversion is undefined.
    for (size_t row = 0; row < SHIPDATA.size(); ++row) {
        float& ai = SHIPDATA[row][0];
        if (fitsInt(ai)) continue;
        report({dataFile("shipdata.txt"), "", formatted("ai %g of row %zu is no behaviour mode; using 0 (drift)", double(ai), row),
                Severity::Warning});
        ai = 0;
    }
    if (SHIPDATA.size() <= SPAWNED_SHIP_TYPE) {
        report({"", "", formatted("shipdata.txt has no row for ship type %zu", SPAWNED_SHIP_TYPE), Severity::Warning});
        return false;
    }
    return true;
}
