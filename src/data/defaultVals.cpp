#include "data/defaultVals.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "entities/player.h"

std::vector<projectileData> WEAPONDATA;
std::vector<std::vector<float>> SHIPDATA;

static void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// "@Light_Fighter" names the row before it "Light Fighter".
static std::string textItem(const std::string& token)
{
    std::string text = token.substr(1);
    for (char& c : text)
        if (c == '_') c = ' ';
    return text;
}

bool readData(const char* file, int n, std::vector<std::vector<float>>& table,
              std::vector<std::vector<std::string>>& text)
{
    if (n < 1) {
        say("readData needs at least one column");
        return false;
    }
    std::ifstream in(file);
    if (!in) {
        say("Error opening file");
        return false;
    }
    std::printf("Opening %s\n", file);
    std::fflush(stdout);

    // Rows are counted from what was there on entry, so a table is only ever appended to.
    const size_t textBase = text.size();
    long count = 0;  // numbers read so far
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
        table.back()[size_t(column)] = float(std::atof(token.c_str()));
        ++count;
    }
    return true;
}

bool readData(const char* file, int n, std::vector<std::vector<float>>& table)
{
    std::vector<std::vector<std::string>> text;
    return readData(file, n, table, text);
}

Player* initializePlayer()
{
    say("Loading player data");
    std::vector<std::vector<float>> table;
    if (!readData("playerdata.txt", 7, table) || table.empty()) {
        // Nothing to build from: the ship starts with the built-in constants at the centre.
        say("playerdata read failure");
        return new Player(point{0, 0});
    }
    const std::vector<float>& row = table[0];
    return new Player(point{row[0], row[1]}, row[2], row[3], row[4], row[5], row[6]);
}

// The game spawns ship type 1, so the table must reach that far.
static const size_t SPAWNED_SHIP_TYPE = 1;

bool initializeShipArray()
{
    say("loading shipdata.txt");
    SHIPDATA.clear();
    if (!readData("shipdata.txt", 5, SHIPDATA)) return false;
    if (SHIPDATA.size() <= SPAWNED_SHIP_TYPE) {
        std::printf("shipdata.txt has no row for ship type %zu\n", SPAWNED_SHIP_TYPE);
        std::fflush(stdout);
        return false;
    }
    return true;
}
