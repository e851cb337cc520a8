// Effects drawn by shader programs: the particle emitters (tables, uniforms,
// clock, drawing through the shipped programs) and the trails (sampling,
// clearing, the ribbon).
#include <gtest/gtest.h>

#include "entities/trail.h"
#include "render/emitter.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

namespace {
class Effects : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        shaders = shippedPrograms();
        pixelProjection();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // the additive pass
    }
    void TearDown() override { glDisable(GL_BLEND); }

    static Emitter quietEmitter(const EmitterTable& table)
    {
        StdoutCapture quiet;
        return Emitter(table);
    }
    static float uniformValue(const Emitter& e, int slot)
    {
        float value = -1;
        glGetUniformfv(e.program(), e.uniforms[size_t(slot)], &value);
        return value;
    }

    TablesGuard tables;
};

EmitterTable withRow(EmitterTable table, size_t row, EmitterRow value)
{
    table[0][row] = value;
    return table;
}
}  // namespace

TEST_F(Effects, EmitterFindsItsKindsUniformsInSlotOrder)
{
    const struct {
        float kind;
        std::vector<const char*> names;
    } cases[] = {{0, {"time_0_X", "particleHCthrust", "Flame"}}, {1, {"time_0_X", "Flame", "particleSystemHeight"}}};
    for (const auto& c : cases) {
        StdoutCapture capture;
        Emitter e(emitterTableOf(8, c.kind));
        EXPECT_EQ(capture.text(), "Emitter construct\nshader size: 3\n");
        EXPECT_EQ(e.program(), shaders[size_t(c.kind)]);
        ASSERT_EQ(e.uniforms.size(), 3u);
        for (size_t slot = 0; slot < 3; ++slot) {
            EXPECT_EQ(e.uniforms[slot], glGetUniformLocation(e.program(), c.names[slot])) << c.names[slot];
            EXPECT_GE(e.uniforms[slot], 0) << c.names[slot];
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Effects, EmitterClockSumsTheUpdatesAndTheShaderSeesSeconds)
{
    Emitter e = quietEmitter(emitterTableOf(0, 0));  // no quads: nothing drawn, the clock still runs
    for (int dt : {16, 17, 16}) e.update(dt, point{640, 512}, 0, true);
    EXPECT_EQ(e.time, 49);
    EXPECT_FLOAT_EQ(uniformValue(e, 0), 0.049f);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);

    e.updateValue(1.0f, 1);
    EXPECT_FLOAT_EQ(uniformValue(e, 1), 1.0f);  // the thrust flag of a flame
    e.updateValue(5.0f, 3);                     // no such slot: nothing happens
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Effects, EmitterWithoutAUsableTableOrProgramDrawsNothingAndSetsNothing)
{
    const EmitterTable good = emitterTableOf(50, 0);
    const struct {
        const char* what;
        EmitterTable table;
        int kind;
        int quads;
    } cases[] = {
        {"no block", {}, -1, 0},
        {"eleven rows", {EmitterBlock(11, EmitterRow{1})}, -1, 1},
        {"empty row 0", withRow(good, 0, {}), 0, 0},
        {"empty row 11", withRow(good, 11, {}), -1, 50},
        {"kind 2", withRow(good, 11, {2}), -1, 50},
        {"kind 0.5", withRow(good, 11, {0.5f}), -1, 50},
        {"negative quads", withRow(good, 0, {-3}), 0, 0},
        {"absurd quads", withRow(good, 0, {1e30f}), 0, 65536},
    };
    for (const auto& c : cases) {
        Emitter e = quietEmitter(c.table);
        EXPECT_EQ(e.kind(), c.kind) << c.what;
        EXPECT_EQ(e.quadCount(), c.quads) << c.what;
        if (c.kind < 0) EXPECT_TRUE(e.uniforms.empty()) << c.what;
        e.updateValue(1.0f, 1);
        e.update(16, point{640, 512}, 0, true);
        EXPECT_EQ(e.time, 16) << c.what;
        if (c.kind < 0 || c.quads == 0) EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0) << c.what;
        glClear(GL_COLOR_BUFFER_BIT);
    }
    shaders.resize(1);  // the swirl's program was never built
    Emitter swirl = quietEmitter(emitterTableOf(50, 1));
    EXPECT_EQ(swirl.program(), 0u);
    EXPECT_TRUE(swirl.uniforms.empty());
    swirl.updateValue(250, 2);
    swirl.update(16, point{640, 512}, 0, true);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Effects, FlameBurnsBehindTheNozzleOnlyWhileThrusting)
{
    Emitter flame = quietEmitter(emitterTableOf(300, 0));
    flame.updateValue(0.0f, 1);
    flame.update(16, point{640, 300}, 0, true);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);

    flame.updateValue(1.0f, 1);
    flame.update(16, point{640, 300}, 0, true);
    int behind = litPixels(590, 300, 100, 230);  // the effect runs up its own y axis from 20 units out
    EXPECT_GT(behind, 400);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), behind);

    glClear(GL_COLOR_BUFFER_BIT);
    flame.update(16, point{640, 300}, 180, true);  // turned round: it burns downward
    EXPECT_GT(litPixels(590, 70, 100, 230), 400);
    EXPECT_EQ(litPixels(590, 300, 100, 230), 0);
}

// ---- Trails --------------------------------------------------------------------

TEST(Trails, SamplesEveryIntervalCarryingTheRemainder)
{
    Trail trail(20, point{0, 0}, 20, 10, 1, 0, 0);
    const struct {
        int since;
        int head;
    } frames[] = {{16, 0}, {12, 1}, {8, 2}, {4, 3}, {0, 4}, {16, 4}};
    for (size_t f = 0; f < 6; ++f) {
        trail.update(point{float(f), 0}, 16);
        EXPECT_EQ(trail.sinceSample, frames[f].since) << "frame " << f + 1;
        EXPECT_EQ(trail.head, frames[f].head) << "frame " << f + 1;
        EXPECT_EQ(trail.points[size_t(trail.head)].x, trail.head == 0 ? 0 : float(trail.head)) << f;
    }
}

TEST(Trails, LongFramesWriteOneSlotPerIntervalAndBadIntervalsNeverSpin)
{
    const struct {
        int length, interval, dt;
        int head, since, written;  // slots holding the new position
    } cases[] = {
        {20, 20, 100, 5, 0, 5},
        {3, 20, 100, 1, 0, 4},  // five samples round a ring of four
        {1, 20, 45, 0, 5, 2},
        {20, 0, 16, 1, 0, 1},   // no positive interval: one sample per update
        {20, -5, 16, 1, 0, 1},
        {100, 1, 2000000000, 2000000000 % 101, 0, 101},
    };
    for (const auto& c : cases) {
        Trail trail(c.length, point{0, 0}, c.interval, 10, 1, 1, 1);
        trail.update(point{7, 7}, c.dt);
        EXPECT_EQ(trail.head, c.head) << c.length << " " << c.interval << " " << c.dt;
        EXPECT_EQ(trail.sinceSample, c.since);
        EXPECT_EQ(std::count_if(trail.points.begin(), trail.points.end(), [](point p) { return p.x == 7; }),
                  c.written);
    }
    EXPECT_EQ(Trail(-4, point{0, 0}, 20, 1, 1, 1, 1).points.size(), 1u);
}

TEST(Trails, ClearCollapsesTheRingButKeepsItsPlace)
{
    Trail trail(4, point{0, 0}, 10, 10, 1, 1, 1);
    trail.update(point{50, 0}, 35);
    trail.clear(point{-3, 9});
    EXPECT_EQ(trail.head, 3);
    EXPECT_EQ(trail.sinceSample, 5);
    for (point p : trail.points) EXPECT_TRUE(p.x == -3 && p.y == 9);
}

TEST_F(Effects, RibbonFadesFromTheOldestSampleToTheBody)
{
    Trail trail(20, point{100, 512}, 20, 10, 0, 1, 1);
    for (int i = 1; i <= 20; ++i) trail.update(point{100 + 50.0f * i, 512}, 20);
    trail.draw(point{1100, 512});
    std::array<unsigned char, 4> tail = pixelAt(250, 512), body = pixelAt(1050, 512);
    EXPECT_GT(body[1], tail[1] + 60);  // green grows toward the body
    EXPECT_GT(litPixels(1040, 490, 20, 44), litPixels(240, 490, 20, 44));  // and so does the width
    EXPECT_EQ(litPixels(0, 532, 1280, 492), 0);   // no wider than 20 units each side
    EXPECT_GT(pixelAt(1050, 524)[1], 0);

    glClear(GL_COLOR_BUFFER_BIT);
    trail.clear(point{1100, 512});
    trail.draw(point{1100, 512});
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);  // a cleared trail is a ribbon of no length

    shaders.resize(2);  // no ribbon program: nothing is drawn through the fixed pipeline either
    trail.update(point{1200, 512}, 20);
    trail.draw(point{1200, 700});
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
