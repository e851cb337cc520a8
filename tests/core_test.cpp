// Geometry, units, text, the XML and Lua adapters, and where data files come from.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/basics.h"
#include "core/random.h"
#include "core/dataFiles.h"
#include "core/luaTable.h"
#include "core/options.h"
#include "core/xmlAttributes.h"
#include "support/testFiles.h"

TEST(Geometry, DistancesAndSquares)
{
    EXPECT_FLOAT_EQ(square(-3), 9);
    EXPECT_FLOAT_EQ(pointDistance({0, 0}, {3, 4}), 5);
    EXPECT_FLOAT_EQ(sqPointDistance({1, 1}, {4, 5}), 25);
}

TEST(Geometry, NormalizeGivesUnitVectorAndNanForZero)
{
    point n = normalize({3, 4});
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.y, 0.8f);
    point z = normalize({0, 0});
    EXPECT_TRUE(std::isnan(z.x));
    EXPECT_TRUE(std::isnan(z.y));
}

TEST(Geometry, IntersectionIsStrictAtTheBoundary)
{
    EXPECT_FALSE(intersectCircleLine({0, 0}, {10, 0}, {5, 3}, 3));
    EXPECT_TRUE(intersectCircleLine({0, 0}, {10, 0}, {5, 3}, 3.001f));
}

TEST(Geometry, IntersectionClampsToTheSegmentEnds)
{
    EXPECT_TRUE(intersectCircleLine({0, 0}, {10, 0}, {-4, 0}, 5));   // end a lies inside
    EXPECT_FALSE(intersectCircleLine({0, 0}, {10, 0}, {-6, 0}, 5));  // beyond a, out of reach
    EXPECT_TRUE(intersectCircleLine({0, 0}, {10, 0}, {14, 0}, 5));   // end b lies inside
}

TEST(Geometry, ZeroLengthSegmentNeverIntersects)
{
    EXPECT_FALSE(intersectCircleLine({1, 1}, {1, 1}, {1, 1}, 100));
}

TEST(Geometry, MouseToGameMapsPercentIntoTheRectangle)
{
    point p = mouseToGame({50, 50}, -100, 100, -50, 50);
    EXPECT_FLOAT_EQ(p.x, 0);
    EXPECT_FLOAT_EQ(p.y, 0);
    point corner = mouseToGame({0, 100}, -100, 100, -50, 50);
    EXPECT_FLOAT_EQ(corner.x, -100);
    EXPECT_FLOAT_EQ(corner.y, 50);
}

TEST(Geometry, RandLocStaysInsideThePlayfield)
{
    std::srand(1);
    for (int i = 0; i < 100000; ++i) {
        float v = randLoc();
        ASSERT_GE(v, -100000);
        ASSERT_LE(v, 99999);
        ASSERT_EQ(v, std::floor(v));
    }
}

TEST(Geometry, RandLocArithmeticOnKnownDraws)
{
    // The same arithmetic randLoc applies to rand(): ((7 r) mod 200000) - 100000.
    auto fromDraw = [](int r) { return float((7 * r) % 200000 - 100000); };
    EXPECT_EQ(fromDraw(0), -100000);
    EXPECT_EQ(fromDraw(28571), 99997);
    EXPECT_EQ(fromDraw(28572), -99996);
    // Both draw from the bound generator: the same seed gives the same draws.
    Random random(42);
    Random same(42);
    RandomScope bound(random);
    const int r = int(same.next() >> 17);
    EXPECT_EQ(randLoc(), fromDraw(r));
    EXPECT_EQ(rand15(), int(same.next() >> 17));
}

TEST(Random, SeedsGiveTheirOwnSequencesOnEveryPlatform)
{
    // PCG32's published first outputs for seed 42, stream 54.
    Random reference(42, 54);
    const std::uint32_t expected[] = {0xa15c02b7, 0x7b47f409, 0xba1d3330, 0x83d2f293, 0xbfa4784b, 0xcbed606e};
    for (std::uint32_t value : expected) EXPECT_EQ(reference.next(), value);
    Random a(1), b(1), c(2);
    EXPECT_EQ(a.next(), b.next());
    EXPECT_NE(Random(1).next(), c.next());
    {
        Random inner(7);
        RandomScope outer(a);
        {
            RandomScope nested(inner);
            EXPECT_EQ(&activeRandom(), &inner);
        }
        EXPECT_EQ(&activeRandom(), &a);  // the scope it replaced comes back
    }
    EXPECT_NE(&activeRandom(), &a);
    for (int i = 0; i < 1000; ++i) {
        const int v = rand15();
        ASSERT_TRUE(v >= 0 && v < 32768) << v;
    }
}

TEST(Units, ConversionsAreIdentityAndPixelToGameTruncates)
{
    point p = gameToPixel(point{1.5f, -2});
    EXPECT_FLOAT_EQ(p.x, 1.5f);
    EXPECT_FLOAT_EQ(gameToPixel(7), 7.0f);
    EXPECT_EQ(pixelToGame(-2.7f), -2);
    EXPECT_EQ(pixelToGame(2.7f), 2);
    EXPECT_EQ(pixelToGame(5), 5);
}

TEST(Text, ToStringUsesStreamDefaultFormatting)
{
    EXPECT_EQ(toString(20.0f), "20");
    EXPECT_EQ(toString(0.5f), "0.5");
    EXPECT_EQ(toString(1234567.0f), "1.23457e+06");
    EXPECT_EQ(toString(-94.0f), "-94");
    EXPECT_EQ(toString(-1.0f), "-1");
    EXPECT_EQ(toString(61 / (1016.0f / 1000)), "60.0394");
    EXPECT_EQ(toString(42), "42");
}

class XmlAttributes : public ::testing::Test {
protected:
    void SetUp() override
    {
        text = std::string("<e a=\"12abc\" b=\"\" c=\"3.5\" name=\"Terra\"/>");
        doc.parse<0>(&text[0]);
        node = doc.first_node("e");
    }
    std::string text;
    rapidxml::xml_document<char> doc;
    XmlNode* node = nullptr;
};

TEST_F(XmlAttributes, ReadersTurnMissingIntoEmptyOrZero)
{
    EXPECT_EQ(getVal(node, "name"), "Terra");
    EXPECT_EQ(getVal(node, "missing"), "");
    EXPECT_EQ(getVal(node, "b"), "");
    EXPECT_TRUE(checkVal(node, "b"));
    EXPECT_FALSE(checkVal(node, "missing"));
    EXPECT_FLOAT_EQ(getValF(node, "a"), 12);
    EXPECT_FLOAT_EQ(getValF(node, "c"), 3.5f);
    EXPECT_FLOAT_EQ(getValF(node, "missing"), 0);
    EXPECT_FLOAT_EQ(getValF(node, "name"), 0);
}

TEST_F(XmlAttributes, NamesCompareByFullLengthAndCase)
{
    EXPECT_FALSE(checkVal(node, "nam"));
    EXPECT_FALSE(checkVal(node, "Name"));
}

class LuaTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        L = luaL_newstate();
        luaL_openlibs(L);
        ASSERT_EQ(luaL_dostring(L, "t = {n = 5, s = 'abc', f = 2.5, b = true, t = {}, fn = print}"), 0);
        lua_getglobal(L, "t");
    }
    void TearDown() override { lua_close(L); }
    lua_State* L = nullptr;
};

TEST_F(LuaTables, ReadersConvertAndLeaveTheStackAlone)
{
    EXPECT_EQ(getLuaTableString(L, "n", -1), "5");
    EXPECT_EQ(getLuaTableString(L, "s", -1), "abc");
    EXPECT_EQ(getLuaTableString(L, "missing", -1), "");
    EXPECT_FLOAT_EQ(getLuaTableFloat(L, "f", -1), 2.5f);
    EXPECT_FLOAT_EQ(getLuaTableFloat(L, "missing", -1), 0);
    EXPECT_FLOAT_EQ(getLuaTableFloat(L, "t", -1), 0);
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(LuaTables, StringReaderGivesEmptyTextForValuesWithoutText)
{
    EXPECT_EQ(getLuaTableString(L, "b", -1), "");
    EXPECT_EQ(getLuaTableString(L, "t", -1), "");
    EXPECT_EQ(getLuaTableString(L, "fn", -1), "");
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(LuaTables, WritersSetFieldsOfTheTopTable)
{
    pushBoolOnTable(L, "flag", true);
    pushFloatOnTable(L, "x", 1.25f);
    pushStringOnTable(L, "name", "Terra");
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(getLuaTableString(L, "name", -1), "Terra");
    EXPECT_FLOAT_EQ(getLuaTableFloat(L, "x", -1), 1.25f);
    lua_getfield(L, -1, "flag");
    EXPECT_TRUE(lua_toboolean(L, -1));
}

// ---- Command line and data folders -----------------------------------------------

namespace {

struct CommandLineRun {
    int status;
    std::string out, err;
};

CommandLineRun runCommandLine(std::vector<std::string> args)
{
    args.insert(args.begin(), "vumtal");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    std::ostringstream out, err;
    const int status = readCommandLine(int(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

int lineCount(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(CommandLine, EveryBadInputIsOneLineAndItsStatus)
{
    const std::string top = makeScratchDir();
    writeFile(top, "data/test.xml", "<universe/>");
    writeFile(top, "mod/ui.lua", "");
    writeFile(top, "plain.txt", "");
    mkdir((top + "/empty").c_str(), 0755);
    ScopedWorkingDir cd(top);
    const struct {
        std::vector<std::string> args;
        const char* environment;  // $VUMTAL_DATA, or nullptr for unset
        int status;
        const char* line;  // on standard error, the whole of it; nullptr for nothing
    } cases[] = {
        {{"--bogus"}, nullptr, 2, "unknown option --bogus; usage: vumtal [--data DIR] [--mod DIR]... [--mute]"},
        {{"--data"}, nullptr, 2, "--data needs a DIR"},
        {{"--data", "--mod", "mod"}, nullptr, 2, "--data needs a DIR"},
        {{"--mod="}, nullptr, 2, "--mod needs a DIR"},
        {{"--help=yes"}, nullptr, 2, "--help takes no value"},
        {{"data"}, nullptr, 2, "unexpected argument data"},
        {{"--data", "plain.txt"}, nullptr, 1, "--data plain.txt: cannot be read (not a folder)"},
        {{"--data", "gone"}, nullptr, 1, "--data gone: cannot be read (No such file or directory)"},
        {{"--data", "empty"}, nullptr, 1, "--data empty: no test.xml there"},
        {{"--data", "data", "--mod", "gone"}, nullptr, 1, "--mod gone: cannot be read"},
        {{"--data", "data", "--mod", "mod", "--mod", "./mod/"}, nullptr, 2, "--mod ./mod/: given twice (as mod)"},
        {{}, nullptr, 1, "no data folder: no test.xml in the working directory, or "},
        {{}, "empty", 1, "no data folder: no test.xml in the working directory, $VUMTAL_DATA (empty), or "},
        {{}, "data", OPTIONS_GO_ON, nullptr},
        {{"--data", "data", "--mod", "mod", "--mod", "empty"}, "gone", OPTIONS_GO_ON, nullptr},
        {{"--version"}, nullptr, 0, nullptr},
        {{"--help", "--bogus"}, nullptr, 2, "unknown option --bogus"},
        {{"--mute=yes"}, nullptr, 2, "--mute takes no value"},
        {{"--data", "data", "--mute"}, nullptr, OPTIONS_GO_ON, nullptr},
        {{"--seed", "12x"}, nullptr, 2, "--seed needs a whole number from 0 to 18446744073709551615, not 12x"},
        {{"--seed=-1"}, nullptr, 2, "--seed needs a whole number from 0 to 18446744073709551615, not -1"},
        {{"--seed", "18446744073709551616"}, nullptr, 2, "--seed needs a whole number from 0 to "},
        {{"--data", "data", "--seed", "18446744073709551615"}, nullptr, OPTIONS_GO_ON, nullptr},
    };
    for (const auto& c : cases) {
        const std::string label = ::testing::PrintToString(c.args);
        if (c.environment) setenv("VUMTAL_DATA", c.environment, 1);
        else unsetenv("VUMTAL_DATA");
        const CommandLineRun run = runCommandLine(c.args);
        EXPECT_EQ(run.status, c.status) << label << run.err;
        if (!c.line) {
            EXPECT_EQ(run.err, "") << label;
            continue;
        }
        EXPECT_EQ(lineCount(run.err), 1) << label << run.err;
        EXPECT_EQ(run.err.find(std::string("vumtal: ") + c.line), 0u) << label << run.err;
        EXPECT_EQ(run.out, "") << label;
    }
    unsetenv("VUMTAL_DATA");
    EXPECT_EQ(runCommandLine({"--version"}).out, std::string("vumtal ") + versionText() + "\n");
    const CommandLineRun help = runCommandLine({"--help"});
    EXPECT_EQ(help.out.find(gameUsage() + "\n"), 0u) << help.out;
    EXPECT_TRUE(parseOptions(2, std::vector<char*>{const_cast<char*>("vumtal"), const_cast<char*>("--mute")}.data()).mute);
    const Options seeded =
        parseOptions(3, std::vector<char*>{const_cast<char*>("vumtal"), const_cast<char*>("--seed"), const_cast<char*>("0042")}.data());
    EXPECT_TRUE(seeded.seedGiven);
    EXPECT_EQ(seeded.seed, 42u);
    dataFolders = DataFolders();
}

TEST(DataFiles, ModsOverrideTheDataFolderFileByFileAndTheLastModWins)
{
    const std::string top = makeScratchDir();
    for (const char* path : {"data/test.xml", "data/ui.lua", "data/dust.png", "data/shipdata.txt", "early/ui.lua",
                             "early/dust.png", "late/ui.lua"})
        writeFile(top, path, "x");
    mkdir((top + "/late/dust.png").c_str(), 0755);  // not a file: it hides nothing
    ScopedWorkingDir cd(top);
    const struct {
        DataFolders folders;
        const char* name;
        const char* path;
    } cases[] = {
        {{"", {}}, "shipdata.txt", "shipdata.txt"},  // the working directory keeps names bare
        {{"data", {}}, "shipdata.txt", "data/shipdata.txt"},
        {{"data", {"early", "late"}}, "shipdata.txt", "data/shipdata.txt"},
        {{"data", {"early", "late"}}, "ui.lua", "late/ui.lua"},
        {{"data", {"late", "early"}}, "ui.lua", "early/ui.lua"},
        {{"data", {"early", "late"}}, "dust.png", "early/dust.png"},
        {{"data", {"early"}}, "missing.png", "data/missing.png"},
    };
    for (const auto& c : cases) {
        dataFolders = c.folders;
        EXPECT_EQ(dataFile(c.name), c.path) << c.name;
    }
    dataFolders = DataFolders();
    EXPECT_TRUE(isDataFolder(top + "/data"));
    EXPECT_FALSE(isDataFolder(top + "/early"));
}
