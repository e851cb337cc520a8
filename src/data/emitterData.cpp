#include "data/emitterData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <sstream>

#include "core/basics.h"
#include "core/dataFiles.h"
#include "core/report.h"

std::vector<EmitterTable> emitters;

bool hasEmitterTable(int index) { return index >= 0 && size_t(index) < emitters.size(); }

EmitterTable emitterTableAt(int index) { return hasEmitterTable(index) ? emitters[size_t(index)] : EmitterTable(); }

SharedEmitterTable::SharedEmitterTable() : shared(std::make_shared<const EmitterTable>()) {}
SharedEmitterTable::SharedEmitterTable(EmitterTable table) : shared(std::make_shared<const EmitterTable>(std::move(table))) {}
SharedEmitterTable::SharedEmitterTable(std::shared_ptr<const EmitterTable> table)
    : shared(table ? std::move(table) : std::make_shared<const EmitterTable>())
{
}

SharedEmitterTable sharedEmitterTableAt(int index)
{
    // Compared, not copied: the tables are set whole (at start-up, in the checker
    // and the tests), and a comparison allocates nothing.
    static std::vector<SharedEmitterTable> made;
    if (!hasEmitterTable(index)) return SharedEmitterTable();
    if (made.size() < emitters.size()) made.resize(emitters.size());
    SharedEmitterTable& slot = made[size_t(index)];
    if (slot.get() != emitters[size_t(index)]) slot = SharedEmitterTable(emitters[size_t(index)]);
    return slot;
}

namespace {

const size_t CURVE_SAMPLES = 100;
const float MAX_RESAMPLED = 100000;  // a typo in row 3 must not ask for gigabytes

// Cut at every space; the piece after a trailing space does not exist.
EmitterRow parseRow(const std::string& line)
{
    EmitterRow row;
    size_t start = 0;
    for (;;) {
        size_t space = line.find(' ', start);
        std::string piece = line.substr(start, space == std::string::npos ? std::string::npos : space - start);
        if (space == std::string::npos) {
            if (!piece.empty()) row.push_back(float(std::atof(piece.c_str())));
            return row;
        }
        row.push_back(float(std::atof(piece.c_str())));
        start = space + 1;
    }
}

// How many samples each curve of the block becomes: row 3's first number,
// cut toward zero; a block without one, or a negative one, keeps no samples.
size_t resampledLength(const EmitterBlock& block)
{
    if (block.size() < 4 || block[3].empty()) return 0;
    float n = block[3][0];
    if (!(n >= 1)) return 0;
    return size_t(std::fmin(n, MAX_RESAMPLED));
}

bool scaledByHead(size_t rowIndex) { return rowIndex == 4 || rowIndex == 5 || rowIndex == 9; }

}  // namespace

std::string emitterFileName(int index) { return "emitterShade" + toString(index) + ".txt"; }

bool readEmitterRows(std::istream& in, EmitterTable& table, std::string& why)
{
    table.clear();
    size_t rows = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#') {
            table.push_back(EmitterBlock());
            continue;
        }
        // Rows before the first "#" have no block to join and are dropped.
        if (line.size() <= 1 || table.empty()) continue;
        // Counted before a number is made: every space is one.
        const size_t numbers = size_t(std::count(line.begin(), line.end(), ' ')) + 1;
        if (++rows > MAX_EMITTER_ROWS || numbers > MAX_EMITTER_ROW_NUMBERS) {
            why = rows > MAX_EMITTER_ROWS
                      ? formatted("more than %zu rows", MAX_EMITTER_ROWS)
                      : formatted("row %zu holds more than %zu numbers", rows - 1, MAX_EMITTER_ROW_NUMBERS);
            table.clear();
            return false;
        }
        table.back().push_back(parseRow(line));
    }
    return true;
}

EmitterTable readEmitterFile(std::istream& in)
{
    EmitterTable table;
    std::string why;
    readEmitterRows(in, table, why);
    return table;
}

size_t expandedEmitterSize(const EmitterTable& table)
{
    size_t total = 0;
    for (const EmitterBlock& block : table) {
        const size_t n = resampledLength(block);
        for (const EmitterRow& row : block) total += row.size() < CURVE_SAMPLES ? row.size() : row.size() - CURVE_SAMPLES + n;
    }
    return total;
}

namespace {

// One numbered file as a table; a file that cannot be had, or holds more than a
// table may, is an empty table (its effects draw nothing) so that the later ones keep their numbers.
EmitterTable readEmitterTable(const std::string& name)
{
    std::string text, error;
    EmitterTable table;
    if (!readDataFile(name, MAX_EMITTER_FILE, text, error)) {
        report({"", "", error + "; its effects draw nothing", Severity::Error});
        return table;
    }
    std::istringstream in(text);
    std::string why;
    if (!readEmitterRows(in, table, why) || expandedEmitterSize(table) > MAX_EXPANDED_EMITTER_NUMBERS) {
        if (why.empty()) why = formatted("its curves expand to more than %zu numbers", MAX_EXPANDED_EMITTER_NUMBERS);
        report({name, "", why + "; its effects draw nothing", Severity::Error});
        table.clear();
    }
    return table;
}

}  // namespace

std::vector<EmitterTable> readEmitterData()
{
    std::vector<EmitterTable> tables;
    for (int k = 0;; ++k) {
        std::string name = dataFile(emitterFileName(k));
        if (!dataFileExists(name)) return tables;
        if (k == MAX_EMITTER_TABLES) {
            report({name, "", formatted("and the tables after it are not read: %d is the most", MAX_EMITTER_TABLES),
                    Severity::Error});
            return tables;
        }
        report({"", "", "Processing " + name, Severity::Trace});
        tables.push_back(readEmitterTable(name));
    }
}

EmitterBlock expandMatrix(const EmitterBlock& block)
{
    const size_t n = resampledLength(block);
    EmitterBlock expanded;
    for (size_t i = 0; i < block.size(); ++i) {
        const EmitterRow& row = block[i];
        // A row too short to hold a whole curve stays as written.
        if (row.size() < CURVE_SAMPLES) {
            expanded.push_back(row);
            continue;
        }
        const size_t head = row.size() - CURVE_SAMPLES;
        const float* c = row.data() + head;
        EmitterRow out(head + n, 0.0f);
        for (size_t k = 0; k < head; ++k) out[k] = row[k];
        for (size_t k = 0; k < n; ++k) {
            float t = float(k) / float(n) * 99;
            size_t j = std::min(size_t(std::floor(t)), CURVE_SAMPLES - 2);  // t < 99 keeps j + 1 on the curve
            float value = (t - float(j)) * (c[j + 1] - c[j]) + c[j];
            if (scaledByHead(i)) value *= row[0];
            out[head + k] = value;
        }
        expanded.push_back(out);
    }
    return expanded;
}

std::vector<EmitterTable> readAndExpandEmitterData()
{
    std::vector<EmitterTable> raw = readEmitterData();
    std::vector<EmitterTable> tables;
    for (const EmitterTable& table : raw) {
        tables.push_back(EmitterTable());
        for (const EmitterBlock& block : table) tables.back().push_back(expandMatrix(block));
    }
    report({"", "", formatted("# emitters:%zu", tables.size()), Severity::Note});
    if (tables.empty())
        report({"", "", dataFile(emitterFileName(0)) + " could not be read: the engine flame and the wormholes draw nothing",
                Severity::Missing});
    return tables;
}
