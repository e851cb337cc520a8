// Reporting: GL errors, the Lua stack dump and event names.
#include <gtest/gtest.h>

#include "core/diagnostics.h"
#include "game/debugAids.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

TEST(Reports, PrintedAsOneLineOnTheirStreamOrTakenByTheNewestLog)
{
    struct Case {
        Report record;
        const char* line;
        bool onStdout;
    } cases[] = {
        {{"", "", "Opening x", Severity::Note}, "Opening x", true},
        {{"shipdata.txt", "", "cannot open file (gone)", Severity::Missing}, "shipdata.txt: cannot open file (gone)", true},
        {{"test.xml", "star 0 of world 1", "radius=\"inf\" is not a finite number", Severity::Warning},
         "test.xml: star 0 of world 1: radius=\"inf\" is not a finite number", false},  // a diagnostic
        {{"", "", "Triggered", Severity::Trace}, "Triggered", true},
        {{"", "", "Can't open file 'a' for reading", Severity::Error}, "Can't open file 'a' for reading", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reportText(c.record), c.line);
        StdoutCapture out;
        StderrCapture err;
        report(c.record);
        EXPECT_EQ(out.text(), c.onStdout ? c.line + std::string("\n") : "") << c.line;
        EXPECT_EQ(err.text(), c.onStdout ? "" : c.line + std::string("\n")) << c.line;
        ReportLog outer;
        {
            ReportLog inner;
            report(c.record);
            ASSERT_EQ(inner.records.size(), 1u);
            EXPECT_EQ(inner.records[0].severity, c.record.severity);
        }
        sayLine(c.line);
        ASSERT_EQ(outer.records.size(), 1u);  // the inner log had the first; nothing was printed
        EXPECT_EQ(reportText(outer.records[0]), c.line);
    }
    EXPECT_EQ(formatted("%s|%g|%zu", "a", 0.5, size_t(3)), "a|0.5|3");
}

TEST(StackDump, PrintsEveryKindOfValueInItsOwnFormat)
{
    lua_State* L = luaL_newstate();
    lua_pushnumber(L, 3);
    lua_pushstring(L, "abc");
    lua_pushboolean(L, 1);
    lua_pushnil(L);
    lua_newtable(L);
    StdoutCapture out;
    stackDump(L);
    EXPECT_EQ(out.text(), "Stack dump.  Size: 5\n3 . `abc' . true . nil . table . \n End of stack dump\n");
    EXPECT_EQ(lua_gettop(L), 5);
    lua_close(L);
}

TEST(StackDump, EmptyStackPrintsAnEmptyElementLine)
{
    lua_State* L = luaL_newstate();
    StdoutCapture out;
    stackDump(L);
    EXPECT_EQ(out.text(), "Stack dump.  Size: 0\n\n End of stack dump\n");
    lua_close(L);
}

TEST(EventNames, KnownCodesAndTheRest)
{
    SDL_Event event{};
    StdoutCapture out;
    event.type = 2;
    eventTypeDisp(event);
    event.type = 13;
    eventTypeDisp(event);
    event.type = 24;
    eventTypeDisp(event);
    event.type = 0;
    eventTypeDisp(event);
    EXPECT_EQ(out.text(),
              "<KEY DOWN>\n<SOME KIND OF UNHANDLED WINDOW MANAGER EVENT>\n<Unusual SDL event>\n<Unusual SDL event>\n");
}

class GlErrors : public GlTest {};

// Mesa keeps one error flag, so each call reports the error raised since the last one.
TEST_F(GlErrors, ReportsThePendingErrorOnceAndThenNothing)
{
    glEnable(0xFFFF);
    StdoutCapture out;
    reportError();
    EXPECT_EQ(out.text(), "Invalid enumerated argument\n");
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    StdoutCapture second;
    reportError();
    EXPECT_EQ(second.text(), "gl stack underflow\n");
    StdoutCapture none;
    reportError();
    EXPECT_EQ(none.text(), "");
}
