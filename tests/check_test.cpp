// The content checker (vumtal-check): a copy of the shipped data with faults
// put in names each of them with its file, and a directory that cannot be read
// is told apart from faulty content.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>

#include "check/contentCheck.h"
#include "core/dataFiles.h"
#include "support/testFiles.h"

namespace {

struct Edit {
    const char* file;
    const char* text;  // nullptr removes the file
};

struct Checked {
    CheckStatus status;
    std::string report;
};

Checked checkCopyOfAssets(const std::vector<Edit>& edits)
{
    const std::string dir = makeScratchDir();
    std::filesystem::copy(VUMTAL_ASSETS_DIR, dir, std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    for (const Edit& edit : edits) {
        if (edit.text)
            writeFile(dir, edit.file, edit.text);
        else
            std::filesystem::remove(dir + "/" + edit.file);
    }
    std::ostringstream err;
    CheckStatus status = checkContent(dir, err);
    return {status, err.str()};
}

const char* const GALAXY_FAULTS =
    "<universe><world>"
    "<star name=\"Sol\" texture=\"99\"><planet name=\"Rock\" texture=\"-1\" radius=\"5\">"
    "<tradeGood name=\"Grain\" price=\"nan\"/><tradeGood name=\"Ore\" price=\"-3\"/><tradeGood name=\"Salt\" price=\"2\"/>"
    "<equipment name=\"Gun\"/><tradeGood price=\"5\"/></planet></star>"
    "<wormhole radius=\"50\" targetWorld=\"5\" emitter=\"7\"/>"
    "</world></universe>\n";
const char* const WEAPON_FAULTS =
    "<projectiles><projectile name=\"Odd\" texture=\"3\"/>"
    "<projectile name=\"Needle\" numProjectiles=\"3\" spread=\"0.01\" uniformSpread=\"0\"/></projectiles>\n";

}  // namespace

TEST(ContentCheck, NamesEveryFaultWithItsFile)
{
    const Checked checked = checkCopyOfAssets({
        {"test.xml", GALAXY_FAULTS},
        {"projectiles.xml", WEAPON_FAULTS},
        {"shipdata.txt", "0 0 0 100 10\n"},
        {"emitterShade1.txt", "# swirl\n600\n3333\n"},
        {"shader0.vs", "void main() { gl_Position = vec4(0.0); }\n"},
        {"shader0.fs", nullptr},
        {"shader1.vs", "void main() { gl_Position = vec4(0.0); }\n"},
        {"shader1.fs", "void main() { gl_FragColor = oops; }\n"},
        {"ui.lua", "function addUI() return \"p\" end\n"},
        {"laser.png", nullptr},
        {"mars.png", "not an image"},
    });
    EXPECT_EQ(checked.status, CHECK_FAULTS);
    expectAllIn(checked.report, {
        "test.xml: world 0 star \"Sol\": texture 99 names no image (0 to 26)",
        "test.xml: world 0 star \"Sol\" planet \"Rock\": texture -1 names no image (0 to 26)",
        "test.xml: planet 0 \"Rock\" tradeGood 0 \"Grain\": price \"nan\" is not a finite number; the game leaves it out",
        "test.xml: planet 0 \"Rock\" tradeGood 1 \"Ore\": price \"-3\" is negative",
        "test.xml: planet 0 \"Rock\" equipment 0 \"Gun\": no price",
        "test.xml: planet 0 \"Rock\" tradeGood 3 \"\": no name",
        "test.xml: wormhole 0 of world 0 leads to world 5, which does not exist",
        "test.xml: wormhole 0 of world 0 names emitter 7, but emitterShade7.txt was not read",
        "emitterShade1.txt: block 0: 2 rows; the quad count (row 0) and the effect kind (row 11) need 12",
        "projectiles.xml: projectile 0 \"Odd\": texture 3 names no projectile image (0 to 2)",
        "projectiles.xml: projectile 1 \"Needle\": random spread 0.01 is under 0.02 degrees",
        "shipdata.txt: row 1: missing: ship type 1 is the one the game spawns",
        "shader0.fs: file: missing half of the pair",
        "ui.lua: updateUI: no global function \"updateUI\"",
        "laser.png: file: missing image",
        "mars.png: file: unreadable image: ",
    });
    const bool compiled = checked.report.find("shaders were not compiled") == std::string::npos;
    EXPECT_EQ(checked.report.find("shader1.fs: compile: does not compile: ") != std::string::npos, compiled)
        << checked.report;
    EXPECT_EQ(checked.report.find("addUI:"), std::string::npos) << checked.report;
    EXPECT_EQ(checked.report.find("\"Salt\""), std::string::npos) << checked.report;
}

TEST(ContentCheck, DocumentsAndScriptThatDoNotLoad)
{
    const Checked checked = checkCopyOfAssets({
        {"test.xml", "<universe><world></universe>"},
        {"projectiles.xml", "<weapons/>"},
        {"ui.lua", "function addUI(\n  return\nend\n"},
        {"shader0.vs", "\n"},
        {"shader0.fs", "void main() {}\n"},
    });
    EXPECT_EQ(checked.status, CHECK_FAULTS);
    expectAllIn(checked.report, {
        "test.xml: <universe>: ",
        "projectiles.xml: <projectiles>: no <projectiles> root element",
        "ui.lua: line 2: does not load: ",
        "shader0.vs: file: empty shader source",
    });
    // Compiled Lua is refused unread: Lua 5.1 does not verify bytecode.
    const Checked compiled = checkCopyOfAssets({{"ui.lua", "\x1bLua\x51\x00 crafted"}});
    expectAllIn(compiled.report, {"ui.lua: file: does not load: "});
    EXPECT_NE(compiled.report.find("binary chunks are not loaded"), std::string::npos) << compiled.report;
}

// A mod laid over clean data: only the mod's files are at fault, and each is
// named by its path in the mod, from wherever the checker was started. The
// loaders' own warnings about a file the mod replaces are among them, and a
// path long enough for Lua to shorten still gives the script's line.
TEST(ContentCheck, ModFaultsAreNamedByTheirPathInTheMod)
{
    const std::string top = makeScratchDir();
    const std::string name = "a-mod-whose-folder-name-is-long-enough-for-lua-to-shorten-its-chunk-names";
    writeFile(top, name + "/ui.lua", "function addUI(\n");
    writeFile(top, name + "/dust.png", "not an image\n");
    writeFile(top, name + "/emitterShade2.txt", "#\n1\n");
    writeFile(top, name + "/test.xml", GALAXY_FAULTS);
    writeFile(top, name + "/projectiles.xml", WEAPON_FAULTS);
    ScopedWorkingDir cd(top);
    dataFolders.mods = {name};
    std::ostringstream err;
    const CheckStatus status = checkContent(VUMTAL_ASSETS_DIR, err);
    dataFolders = DataFolders();
    EXPECT_EQ(status, CHECK_FAULTS);
    const std::string mod = std::filesystem::canonical(top + "/" + name).string();
    expectAllIn(err.str(), {
        mod + "/ui.lua: line 2: does not load: ",
        mod + "/dust.png: file: unreadable image",
        mod + "/emitterShade2.txt: block 0: 0 rows",
        mod + "/test.xml: wormhole 0 of world 0 leads to world 5, which does not exist",
        mod + "/test.xml: planet 0 \"Rock\" tradeGood 1 \"Ore\": price \"-3\" is negative",
        mod + "/projectiles.xml: projectile 1 \"Needle\": random spread 0.01 is under 0.02 degrees",
    });
    EXPECT_EQ(err.str().find("\nui.lua"), std::string::npos) << err.str();
}

TEST(ContentCheck, UnreadableDirectoryIsStatusTwo)
{
    std::ostringstream err;
    EXPECT_EQ(checkContent(makeScratchDir() + "/no-such-dir", err), CHECK_UNREADABLE);
    EXPECT_NE(err.str().find("no-such-dir: directory: cannot be read"), std::string::npos) << err.str();
}

TEST(ContentCheck, RefusedImagesAndSoundsAreFaultsOfTheFolder)
{
    auto wavAt = [](uint32_t rate, uint32_t dataLength, size_t dataBytes) {
        std::string bytes = std::string("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0", 24);
        for (uint32_t value : {rate, rate * 2}) bytes += std::string(reinterpret_cast<const char*>(&value), 4);
        bytes += std::string("\x02\0\x10\0data", 8);
        bytes += std::string(reinterpret_cast<const char*>(&dataLength), 4) + std::string(dataBytes, '\x11');
        return bytes;
    };
    struct Case {
        const char* file;
        std::string bytes;
        const char* fault;
    };
    const Case cases[] = {
        {"flame.tga", hugeTgaBytes(), "file: image refused: it declares 32768 x 32769 pixels"},
        {"player.png", hugeTgaBytes(), "file: image refused: it declares 32768 x 32769 pixels"},
        {"map.png", hugePngBytes(16384, 16384, 1 << 20), "file: image refused: it declares 16384 x 16384 pixels"},
        {"slow.wav", wavAt(1, 1 << 20, 1 << 20), "file: a WAV at 1 Hz, outside 8000 to 192000 Hz; that sound stays silent"},
        {"long.wav", wavAt(44100, 0xfffffff0u, 16), "file: it declares 4294967280 bytes of samples; that sound stays silent"},
    };
    const std::string top = makeScratchDir();
    for (const Case& c : cases) writeFile(top, std::string("mod/") + c.file, c.bytes);
    ScopedWorkingDir cd(top);
    dataFolders.mods = {"mod"};
    const long memoryBefore = peakResidentMb();
    const auto start = std::chrono::steady_clock::now();
    std::ostringstream err;
    const CheckStatus status = checkContent(VUMTAL_ASSETS_DIR, err);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dataFolders = DataFolders();
    EXPECT_EQ(status, CHECK_FAULTS);
    const std::string mod = std::filesystem::canonical(top + "/mod").string();
    for (const Case& c : cases) {
        const std::string line = mod + "/" + c.file + ": " + c.fault;
        EXPECT_NE(err.str().find(line), std::string::npos) << line << "\n" << err.str();
    }
    EXPECT_LT(seconds, 2.0 * 5);  // the whole check, with the shipped data and shaders
    EXPECT_LT(peakResidentMb() - memoryBefore, 128);
}

// A hostile mod file: the checker names it in one line, as the game refuses it,
// and neither hangs nor fills memory.
TEST(ContentCheck, HostileFilesAreOneLineEach)
{
    auto text = [](std::string body) {
        return [body](const std::string& path) { writeFile("/", path.substr(1), body); };
    };
    auto link = [](const char* target) {
        return [target](const std::string& path) { ASSERT_EQ(symlink(target, path.c_str()), 0); };
    };
    auto sized = [](off_t bytes) {  // sparse: nothing is written
        return [bytes](const std::string& path) { ASSERT_EQ(truncate(writeFile("/", path.substr(1), "").c_str(), bytes), 0); };
    };
    auto repeated = [](const std::string& piece, int times) {
        std::string all;
        for (int i = 0; i < times; ++i) all += piece;
        return all;
    };
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* said;
    } cases[] = {
        {"test.xml", link("/proc/self/pagemap"), "<universe>: not a regular file (a kernel file"},
        {"test.xml", text("<? > <!-- ?>" + repeated("<a>", 60000)), "<universe>: elements nested more than 256"},
        {"test.xml", text("<!DOCTYPE x [ > <!-- ]>" + repeated("<a>", 60000)), "<universe>: elements nested more than 256"},
        {"shipdata.txt", sized(2 << 20), "file: larger than the 1 MB a file of its kind may be; the game does not start"},
        {"ui.lua", link("/proc/self/pagemap"), "file: not a regular file (a kernel file"},
        {"dust.png", sized(65 << 20), "file: larger than the 64 MB"},
        {"dust.png", link("/proc/self/pagemap"), "file: not a regular file (a kernel file"},
        {"click.wav", link("/proc/self/pagemap"), "file: not a regular file (a kernel file"},
        {"emitterShade1.txt", text("#\n1.0\n1.0\n1.0\n99999\n" + repeated(repeated("1 ", 100) + "\n", 1000)),
         "its curves expand to more than"},
        {"shader0.fs", text("void main() { gl_FragColor = vec4(0.1" + repeated("+0.1", 20000) + "); }\n"),
         "file: larger than the 16 KB"},
        {"shader1.fs", text("uniform float n;\nvoid main() {\n  float s = 0.0;\n  for (int i = 0; i < int(n); ++i) s += 0.1;\n"
                            "  gl_FragColor = vec4(s);\n}\n"),
         "line 4: a for loop whose bound is not a constant"},
    };
    // The check itself takes its time (a GL context, the shipped shaders compiled): the cases add to it.
    auto timed = [](std::ostringstream& err) {
        const auto start = std::chrono::steady_clock::now();
        const CheckStatus status = checkContent(VUMTAL_ASSETS_DIR, err);
        return std::make_pair(status, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    };
    std::ostringstream clean;
    const double baseline = timed(clean).second;
    for (const auto& c : cases) {
        const std::string mod = makeScratchDir();
        c.make(mod + "/" + c.name);
        dataFolders.mods = {mod};
        std::ostringstream err;
        const auto [status, seconds] = timed(err);
        dataFolders = DataFolders();
        std::istringstream lines(err.str());
        std::vector<std::string> faults;
        for (std::string line; std::getline(lines, line);)
            if (line.find("no X display") == std::string::npos) faults.push_back(line);
        EXPECT_EQ(status, CHECK_FAULTS) << c.name;
        ASSERT_EQ(faults.size(), 1u) << c.name << ":\n" << err.str();
        EXPECT_EQ(faults[0].rfind(mod + "/" + c.name + ": ", 0), 0u) << faults[0];
        EXPECT_NE(faults[0].find(c.said), std::string::npos) << faults[0];
        EXPECT_LT(seconds, baseline + 2.0) << faults[0];
    }
}
