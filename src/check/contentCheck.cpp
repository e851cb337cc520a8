#include "check/contentCheck.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "core/basics.h"
#include "core/dataFiles.h"
#include "core/report.h"
#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "world/loadGalaxy.h"
#include "data/shaders.h"
#include "render/emitter.h"
#include "render/textureImage.h"
#include "render/textures.h"
#include "script/market.h"
#include "sound/soundBank.h"

void ContentProblems::add(const std::string& file, const std::string& where, const std::string& what)
{
    lines.push_back(dataFile(file) + ": " + where + ": " + what);
}

namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Keeps the loaders' warnings about file (named by the path it was read from) as
// problems. A file they could not open is not among them: the checker names that itself.
void keepWarnings(const std::vector<Report>& records, const char* file, ContentProblems& problems)
{
    for (const Report& record : records)
        if (record.severity == Severity::Warning && record.file == dataFile(file))
            problems.lines.push_back(reportText(record));
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string indexRange(int count) { return "0 to " + std::to_string(count - 1); }

void checkIndex(ContentProblems& problems, const char* file, const std::string& where, const char* what,
                int index, int count, const char* names)
{
    if (index >= 0 && index < count) return;
    problems.add(file, where,
                 std::string(what) + " " + std::to_string(index) + " names no " + names + " (" +
                     (count > 0 ? indexRange(count) : std::string("there are none")) + ")");
}

std::string absolutePath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    const std::string absolute = resolved;
    std::free(resolved);
    return absolute;
}

// Looked at, never opened: opening a FIFO waits for a writer.
bool fileExists(const std::string& path) { return dataFileExists(path); }

// What the readers refused as they read (they say each as an Error naming the file).
void keepRefusals(const std::vector<Report>& records, ContentProblems& problems)
{
    for (const Report& record : records)
        if (record.severity == Severity::Error) problems.lines.push_back(reportText(record));
}

// Why a number table was not read: "cannot be read" when missing, as always.
std::string refusal(const char* file)
{
    const std::string path = dataFile(file);
    const std::string why = dataFileExists(path) ? dataFileProblem(path, MAX_TABLE_FILE) : "";
    return why.empty() ? "cannot be read" : why;
}

// A file refused as it was read has its line; what it then lacks is not another.
bool namedAlready(const ContentProblems& problems, const std::string& file)
{
    const std::string prefix = dataFile(file) + ": ";
    for (const std::string& line : problems.lines)
        if (startsWith(line, prefix)) return true;
    return false;
}

}  // namespace

void checkEmitterTables(ContentProblems& problems)
{
    const std::vector<EmitterTable>& tables = emitters;
    // The game reads shader pairs while the next vertex half exists.
    int programs = 0;
    while (fileExists(dataFile(shaderFileName(programs, ".vs")))) ++programs;
    for (size_t k = 0; k < tables.size(); ++k) {
        const std::string file = emitterFileName(int(k));
        if (tables[k].empty()) {
            if (!namedAlready(problems, file))
                problems.add(file, "block 0", "missing (no \"#\" line); the effect draws nothing");
            continue;
        }
        const EmitterBlock& block = tables[k][0];
        if (block.size() <= EMITTER_KIND_ROW || block[0].empty() || block[EMITTER_KIND_ROW].empty()) {
            problems.add(file, "block 0", std::to_string(block.size()) +
                                              " rows; the quad count (row 0) and the effect kind (row 11) need 12");
            continue;
        }
        const float quads = block[0][0], kind = block[EMITTER_KIND_ROW][0];
        if (!(quads >= 1)) problems.add(file, "row 0", "quad count " + toString(quads) + " draws nothing");
        if (kind != EMITTER_FLAME && kind != EMITTER_SWIRL)
            problems.add(file, "row 11", "kind " + toString(kind) + " names no effect (0 flame, 1 wormhole swirl)");
        else if (int(kind) >= programs)
            problems.add(file, "row 11", "kind " + toString(kind) + " needs the shader pair shader" + toString(kind) +
                                             ".vs and .fs");
    }
}

void checkGalaxyAndWeapons(ContentProblems& problems)
{
    std::string error;
    bool documentsLoad = true;
    const struct { const char* file; const char* root; } documents[] = {{"test.xml", "universe"},
                                                                        {"projectiles.xml", "projectiles"}};
    for (const auto& document : documents) {
        XmlBuffer buffer;
        rapidxml::xml_document<char> doc;
        rapidxml::xml_node<char>* root = nullptr;
        const std::string path = dataFile(document.file);
        if (loadXmlDocument(path.c_str(), buffer, doc, document.root, root, error)) continue;
        // The loader's reason starts with the file's path already.
        std::string reason = startsWith(error, path + ": ") ? error.substr(path.size() + 2) : error;
        problems.add(document.file, std::string("<") + document.root + ">", reason);
        documentsLoad = false;
    }
    if (!documentsLoad) return;

    Universe universe;
    std::vector<projectileData> savedWeapons;
    savedWeapons.swap(WEAPONDATA);
    lua_State* L = luaL_newstate();
    ReportLog log;
    universe.worlds.emplace_back();  // start-up's empty world 0, as the game has it
    initializeStars(universe, L);
    lua_close(L);
    keepWarnings(log.records, "test.xml", problems);
    keepWarnings(log.records, "projectiles.xml", problems);

    for (size_t w = 0; w < universe.worlds.size(); ++w) {
        const WorldState& world = universe.worlds[w];
        const std::string worldName = "world " + std::to_string(w);
        for (size_t s = 0; s < world.stars.size(); ++s) {
            const Star& star = world.stars[s];
            const std::string starName = worldName + " star " + quoted(star.name);
            checkIndex(problems, "test.xml", starName, "texture", star.texture, TEX_COUNT, "image");
            for (const Planet& planet : star.planets)
                checkIndex(problems, "test.xml", starName + " planet " + quoted(planet.name), "texture",
                           planet.texture, TEX_COUNT, "image");
        }
        // Wormholes to missing worlds or emitter tables are named by the loader itself (kept above).
    }
    forEachMarketFault(universe.galaxyRoot, [&problems](const std::string& where, const std::string& fault) {
        problems.add("test.xml", where, fault + "; the game leaves it out of the market");
    });
    for (size_t i = 0; i < WEAPONDATA.size(); ++i) {
        const projectileData& weapon = WEAPONDATA[i];
        const std::string where = "projectile " + std::to_string(i) + " " + quoted(weapon.name);
        checkIndex(problems, "projectiles.xml", where, "texture", weapon.texture, PROJTEX_COUNT,
                   "projectile image");
        // A random cone this narrow fires every shot straight along the aim.
        if (!weapon.uniformSpread && weapon.spread < 0.02f)
            problems.add("projectiles.xml", where,
                         "random spread " + toString(weapon.spread) + " is under 0.02 degrees; every shot flies straight");
    }
    WEAPONDATA.swap(savedWeapons);
}

void checkTables(ContentProblems& problems)
{
    std::vector<std::vector<float>> savedShips, player;
    savedShips.swap(SHIPDATA);
    ReportLog log;
    const bool shipsRead = initializeShipArray() || !SHIPDATA.empty();
    const size_t shipTypes = SHIPDATA.size();
    // One number a row counts what the player's row really holds (readData pads rows).
    const bool playerRead = readData(dataFile("playerdata.txt").c_str(), 1, player);
    SHIPDATA.swap(savedShips);
    keepWarnings(log.records, "shipdata.txt", problems);
    keepWarnings(log.records, "playerdata.txt", problems);
    if (!shipsRead)
        problems.add("shipdata.txt", "file", refusal("shipdata.txt") + "; the game does not start without it");
    else if (shipTypes < 2)
        problems.add("shipdata.txt", "row 1", "missing: ship type 1 is the one the game spawns");
    if (!playerRead)
        problems.add("playerdata.txt", "file", refusal("playerdata.txt") + "; the player gets the built-in ship");
    else if (player.size() < 7)
        problems.add("playerdata.txt", "row 0",
                     std::to_string(player.size()) + " of 7 numbers; the rest are the built-in ship's");
}

void checkImages(ContentProblems& problems)
{
    std::vector<std::string> seen;
    auto check = [&](const char* file) {
        for (const std::string& done : seen)
            if (done == file) return;
        seen.push_back(file);
        const std::string path = dataFile(file);
        if (!fileExists(path)) {
            problems.add(file, "file", "missing image");
            return;
        }
        // The game's own reader, limits and budget: what it refuses is a fault here.
        TextureImage image;
        if (!decodeTextureImage(path, image)) problems.add(file, "file", image.failure);
    };
    resetImageBudget();
    for (const char* file : worldFiles) check(file);
    for (const char* file : projectileFiles) check(file);
    for (const char* file : uiFiles) check(file);
    resetImageBudget();
}

void checkSounds(ContentProblems& problems)
{
    // The game's own reading and header check, on the files it would find.
    decodeSounds(soundFilesOfDataFolders());
    for (const SoundRefusal& refused : refusedSounds())
        problems.add(refused.file, "file", refused.why + "; that sound stays silent");
    decodeSounds({});
}

CheckStatus checkContent(const std::string& dir, std::ostream& err)
{
    DIR* listing = opendir(dir.c_str());
    if (!listing) {
        err << dir << ": directory: cannot be read (" << std::strerror(errno) << ")\n";
        return CHECK_UNREADABLE;
    }
    closedir(listing);
    // The mods are named from where the checker started; it reads from inside dir.
    const DataFolders savedFolders = dataFolders;
    for (std::string& mod : dataFolders.mods) mod = absolutePath(mod);
    dataFolders.data = "";
    char previous[4096];
    if (!getcwd(previous, sizeof previous) || chdir(dir.c_str()) != 0) {
        err << dir << ": directory: cannot be entered (" << std::strerror(errno) << ")\n";
        dataFolders = savedFolders;
        return CHECK_UNREADABLE;
    }
    ContentProblems problems;
    ReportLog quiet;  // what the loaders report is the checker's to keep, not to print
    // The game reads the emitter tables before anything else (the galaxy loader
    // checks wormholes against them); here they come from dir.
    std::vector<EmitterTable> savedEmitters;
    savedEmitters.swap(emitters);
    {
        ReportLog reading;
        emitters = readAndExpandEmitterData();
        keepRefusals(reading.records, problems);
    }
    checkGalaxyAndWeapons(problems);
    checkTables(problems);
    checkEmitterTables(problems);
    checkImages(problems);
    checkSounds(problems);
    checkUiScript(problems);
    const bool compiled = checkShaders(problems);
    emitters.swap(savedEmitters);
    if (chdir(previous) != 0) err << previous << ": directory: cannot go back\n";
    dataFolders = savedFolders;
    for (const std::string& line : problems.lines) err << line << "\n";
    if (!compiled) err << "vumtal-check: no X display, so the shaders were not compiled\n";
    return problems.lines.empty() ? CHECK_CLEAN : CHECK_FAULTS;
}
