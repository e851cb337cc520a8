#include "entities/planet.h"

#include <algorithm>
#include <cmath>

#include "core/report.h"
#include "entities/gameEvents.h"
#include "entities/worldState.h"
#include "entities/player.h"
#include "entities/star.h"
#include "entities/timer.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"

// Orbits are given in degrees; HALF_TURN (3.14) is the factor the orbits were laid out with.
Planet::Planet(int id, float radius, float density, float orbitRadius, float orbitSpeed, float initLoc,
               float rotationalSpeed, float initRot, int texture, std::string name)
    : id(id), radius(radius), density(density), orbitRadius(orbitRadius), orbitSpeed(float(orbitSpeed * HALF_TURN / 180)),
      orbitAngle(float(initLoc * HALF_TURN / 180)), rotationalSpeed(rotationalSpeed), rotation(initRot),
      texture(texture), name(name)
{
    sayLine(this->name.c_str());
}

// The landed player rests on the surface, turning with the spin; its velocity is
// what the surface moved this update, kept when it takes off.
static void carryPlayer(Planet& planet, Player& player, int dt)
{
    planet.landingAngle += dt * planet.rotationalSpeed * RADIANS_PER_DEGREE;
    float height = planet.radius + player.getRadius();
    point before = player.location;
    // A planet may orbit beyond the playfield; its passenger stays on the field's edge.
    player.location.x = std::clamp(std::cos(planet.landingAngle) * height + planet.location.x, -PLAYFIELD_LIMIT,
                                   PLAYFIELD_LIMIT);
    player.location.y = std::clamp(std::sin(planet.landingAngle) * height + planet.location.y, -PLAYFIELD_LIMIT,
                                   PLAYFIELD_LIMIT);
    player.setAngle(planet.landingAngle);
    player.setVelocity(point{player.location.x - before.x, player.location.y - before.y});
}

static void touchDown(Planet& planet, Player& player, WorldState& world)
{
    planet.landingAngle =
        std::atan2(player.location.y - planet.location.y, player.location.x - planet.location.x);
    float relativeSpeed = pointDistance(player.getVelocity(), planet.orbitVelocity);
    GameEvent touched{relativeSpeed < 1.0f ? GameEventKind::Landed : GameEventKind::Crashed, player.location};
    touched.planet = planet.id;
    if (relativeSpeed < 1.0f) {
        player.setLanded(planet.id);
        tell(touched);
        return;
    }
    // Too fast: the ship still ends up on the ground, but pays for it.
    standardExplosion(player.location, world);
    tell(touched);
    player.setLanded(planet.id);
    float damage = float((relativeSpeed - 1.0) * 100);
    player.takeDamage(damage);
    tellPlayerDamaged(player, damage, HitBy::Crash);
}

void Planet::update(WorldState& world, Player* player, int dt, point center)
{
    if (dt == 0) return;  // nothing moved, and the orbit velocity would divide by zero
    rotation += dt * rotationalSpeed;

    point before = location;
    orbitAngle += dt * orbitSpeed;
    location.x = std::cos(orbitAngle) * orbitRadius + center.x;
    location.y = std::sin(orbitAngle) * orbitRadius + center.y;
    orbitVelocity = point{(location.x - before.x) / dt, (location.y - before.y) / dt};

    swallowOrPull(world, location, radius, density, dt);

    if (player) {
        float d = pointDistance(location, player->location);
        float rp = player->getRadius();
        if (player->isLanded()) {
            // Any planet whose surface is this close carries a landed ship.
            if (d < radius + rp + 10) carryPlayer(*this, *player, dt);
        } else if (d <= radius + rp) {
            touchDown(*this, *player, world);
        } else if (d < gravityReach(radius, density)) {
            player->addVelocity(gravityPull(location, player->location, radius, density, d, dt));
        }
    }
}

void Planet::draw() const
{
    // Set even when culled: it is the one state a planet leaves behind. The radar
    // draws with no camera known, so its planets are never culled.
    batch.textureMode(TEXTURE_REPLACE);
    if (!onScreen(location, radius * SQUARE_CORNER)) return;
    batch.bindTexture(textureAt(textures, texture));
    batch.square(location, radius, rotation);
}

float Planet::getRadius() const { return radius; }
std::string Planet::getName() const { return name; }
