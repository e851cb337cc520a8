// The player's flight model: thrust, turning, the playfield edge, landing and
// take-off, the input switch, the wormhole arming rule, and the hull drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "entities/player.h"
#include "render/textures.h"
#include "support/glFixture.h"

namespace {
FlightKeys keys(bool thrust, bool reverse, bool left, bool right)
{
    FlightKeys k;
    k.thrust = thrust;
    k.reverse = reverse;
    k.turnLeft = left;
    k.turnRight = right;
    return k;
}
const FlightKeys none;
const FlightKeys thrust = keys(true, false, false, false);
const FlightKeys reverse = keys(false, true, false, false);
}  // namespace

TEST(PlayerFlight, BuiltInShipAndDrawingAngle)
{
    Player p(point{3, 4});
    EXPECT_FLOAT_EQ(p.reversePower, 0.001f);
    EXPECT_FLOAT_EQ(p.turnRate, 0.005f);
    EXPECT_FLOAT_EQ(p.getRadius(), 25);
    EXPECT_FLOAT_EQ(p.getAngle(), -90.0f);  // the hull image points along +y
}

TEST(PlayerFlight, ThrustAddsPowerTimesDtAlongTheHeadingAndMovesInTheSameFrame)
{
    Player p(point{0, 0}, 0.001f, 0.0005f, 0.004f, 1000, 25);
    p.fly(16, thrust);
    EXPECT_FLOAT_EQ(p.velocity.x, 0.016f);
    EXPECT_FLOAT_EQ(p.velocity.y, 0);
    EXPECT_FLOAT_EQ(p.location.x, 0.016f * 16);
    EXPECT_FLOAT_EQ(p.thrusting, 1.0f);

    Player up(point{0, 0}, 0.001f, 0.0005f, 0.004f, 1000, 25);
    up.setAngle(float(M_PI / 2));
    up.fly(100, reverse);  // reverse pushes against the heading
    EXPECT_NEAR(up.velocity.x, 0, 1e-8);  // cos of a float right angle
    EXPECT_FLOAT_EQ(up.velocity.y, -0.05f);
    EXPECT_FLOAT_EQ(up.thrusting, 0.0f);
}

TEST(PlayerFlight, NoDragTheShipKeepsItsVelocity)
{
    Player p(point{0, 0});
    p.setVelocity(point{0.5f, -0.25f});
    for (int i = 0; i < 10; ++i) p.fly(10, none);
    EXPECT_FLOAT_EQ(p.velocity.x, 0.5f);
    EXPECT_FLOAT_EQ(p.location.x, 50);
    EXPECT_FLOAT_EQ(p.location.y, -25);
}

TEST(PlayerFlight, TurnRateIsRadiansPerMillisecondAndOppositeKeysCancel)
{
    Player p(point{0, 0});
    p.fly(100, keys(false, false, true, false));
    EXPECT_FLOAT_EQ(p.angle, 0.5f);
    p.fly(40, keys(false, false, false, true));
    EXPECT_FLOAT_EQ(p.angle, 0.3f);
    p.fly(16, keys(false, false, true, true));
    EXPECT_FLOAT_EQ(p.angle, 0.3f);
}

TEST(PlayerFlight, ThrustAndReverseTogetherThrustForwardOnly)
{
    Player p(point{0, 0});
    p.fly(10, keys(true, true, false, false));
    EXPECT_FLOAT_EQ(p.velocity.x, 0.01f);
    EXPECT_FLOAT_EQ(p.thrusting, 1.0f);
}

TEST(PlayerFlight, PlayfieldEdgeStopsOnlyTheAxisThatCrossedIt)
{
    Player p(point{99990, 0});
    p.setVelocity(point{1, 0.5f});
    p.fly(20, none);
    EXPECT_EQ(p.location.x, PLAYFIELD_LIMIT);
    EXPECT_EQ(p.velocity.x, 0);
    EXPECT_FLOAT_EQ(p.location.y, 10);
    EXPECT_FLOAT_EQ(p.velocity.y, 0.5f);

    Player q(point{0, -99995});
    q.setVelocity(point{0.1f, -1});
    q.fly(10, none);
    EXPECT_EQ(q.location.y, -PLAYFIELD_LIMIT);
    EXPECT_EQ(q.velocity.y, 0);
    EXPECT_FLOAT_EQ(q.velocity.x, 0.1f);
}

TEST(PlayerLanding, ThrustIsRefusedDuringTheTakeoffDelay)
{
    Player p(point{0, 0});
    p.setLanded(7);
    EXPECT_EQ(p.takeoffDelay, 300);
    p.fly(16, thrust);
    EXPECT_TRUE(p.isLanded());
    EXPECT_EQ(p.planetId, 7);
    EXPECT_FLOAT_EQ(p.velocity.x, 0);
    EXPECT_FLOAT_EQ(p.thrusting, 1.0f);  // the flame still shows
    EXPECT_EQ(p.takeoffDelay, 284);
}

TEST(PlayerLanding, LandedShipNeitherTurnsNorMoves)
{
    Player p(point{5, 5});
    p.setLanded(0);
    p.setVelocity(point{2, 2});
    p.fly(50, keys(false, false, true, false));
    EXPECT_FLOAT_EQ(p.angle, 0);
    EXPECT_FLOAT_EQ(p.location.x, 5);
}

TEST(PlayerLanding, ReverseChargeIsSpentAsExtraThrustTimeOnTakeoff)
{
    Player p(point{0, 0});
    p.setLanded(2);
    p.setVelocity(point{0.1f, 0});  // what the planet last gave it
    p.fly(1000, reverse);
    p.fly(1000, reverse);
    EXPECT_EQ(p.launchCharge, 2000);
    EXPECT_FLOAT_EQ(p.velocity.x, 0.1f);  // reverse does not push a landed ship
    p.fly(16, thrust);
    EXPECT_FALSE(p.isLanded());
    EXPECT_EQ(p.planetId, -1);
    EXPECT_EQ(p.launchCharge, 0);
    EXPECT_FLOAT_EQ(p.velocity.x, 0.1f + 0.001f * 2016);
    EXPECT_FLOAT_EQ(p.location.x, p.velocity.x * 16);  // airborne in the take-off frame
}

TEST(PlayerInput, DisabledInputIgnoresKeysButFlightGoesOn)
{
    Player p(point{0, 0});
    p.setLanded(1);
    p.setInput(false);
    p.thrusting = 1.0f;
    p.fly(100, keys(true, false, true, false));
    EXPECT_FLOAT_EQ(p.thrusting, 1.0f);
    EXPECT_FLOAT_EQ(p.angle, 0);
    EXPECT_EQ(p.takeoffDelay, 200);

    Player q(point{0, 0});
    q.setInput(false);
    q.setVelocity(point{1, 0});
    q.fly(10, thrust);
    EXPECT_FLOAT_EQ(q.velocity.x, 1);
    EXPECT_FLOAT_EQ(q.location.x, 10);
    q.fly(90, none);  // this trail samples every 100 ms, landed or not
    EXPECT_EQ(q.trail.head, 1);
    EXPECT_FLOAT_EQ(q.trail.points[1].x, 100);
    EXPECT_EQ(p.trail.head, 1);
}

TEST(PlayerTrail, AWarpRestartsTheTrailWhereTheShipArrives)
{
    Player p(point{1, 2}, 0.001f, 0.0005f, 0.004f, 1000, 25);
    p.setVelocity(point{1, 0});
    for (int i = 0; i < 5; ++i) p.fly(20, none);  // one sample every 20 ms
    EXPECT_EQ(p.trail.head, 5);
    p.location = point{-50, 60};  // where the wormhole puts it
    p.warpWorld(2);
    EXPECT_EQ(p.getWorld(), 2);
    for (point q : p.trail.points) EXPECT_TRUE(q.x == -50 && q.y == 60);
}

TEST(PlayerWormholes, WarpReadinessReturnsOnlyAfterAWholeFrameOutside)
{
    Player p(point{0, 0});
    p.warpReady = false;
    p.outsideWormholes = false;  // a wormhole found us inside last frame
    p.fly(16, none);
    EXPECT_FALSE(p.warpReady);
    EXPECT_TRUE(p.outsideWormholes);
    p.fly(16, none);  // nothing cleared the flag in between
    EXPECT_TRUE(p.warpReady);
}

class PlayerDrawing : public GlTest {};

TEST_F(PlayerDrawing, HullIsASquareOfTheShipsRadiusAtItsPosition)
{
    std::vector<unsigned> saved = textures;
    textures.clear();  // no images loaded: the hull draws untextured
    pixelProjection();
    Player p(point{640, 512});
    p.draw();
    textures = saved;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_GT(pixelAt(640, 512)[0], 200);
    EXPECT_GT(pixelAt(640 + 22, 512 + 22)[0], 200);
    EXPECT_EQ(pixelAt(640 + 28, 512)[0], 0);
}
