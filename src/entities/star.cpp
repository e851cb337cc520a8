#include "entities/star.h"

#include <cmath>

#include "entities/gameEvents.h"
#include "entities/worldState.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"

float gravityKick(float radius, float density, float d, int dt)
{
    // 4/3 * 3.14 * r^3 in double, as the pull was tuned with.
    float mass = float(4.1866666666666665 * radius * radius * radius);
    return float(mass / (d * d) * dt * 0.000001 * density);
}

float gravityReach(float radius, float density) { return 10 * radius * density; }

point gravityPull(point centre, point body, float radius, float density, float d, int dt)
{
    if (!(d > 0)) return point{0, 0};  // at the very centre there is no direction to pull in
    float kick = gravityKick(radius, density, d, dt);
    if (!std::isfinite(kick)) return point{0, 0};  // a body too massive for float would poison the velocity
    point towards = normalize(point{centre.x - body.x, centre.y - body.y});
    return point{towards.x * kick, towards.y * kick};
}

static void fallOut(const Projectile& shot, WorldState& world) { standardExplosion(shot.location, world); }

static void fallOut(const Ship& ship, WorldState& world)
{
    standardExplosion(ship.location, world);
    GameEvent destroyed{GameEventKind::ShipDestroyed, ship.location};
    destroyed.type = ship.type;
    destroyed.target = int(ship.getID());
    tell(destroyed);
}

// Anything whose centre comes within the radius falls in and explodes; the rest
// within reach is pulled. Shared by the projectile and ship lists.
template <class Body>
static void swallowOrPullAll(std::list<Body>& bodies, FallenBodies<Body>& fallen, WorldState& world, point centre,
                             float radius, float density, int dt)
{
    float reach = gravityReach(radius, density);
    size_t before = 0;
    for (auto it = bodies.begin(); it != bodies.end();) {
        float d = pointDistance(centre, it->location);
        if (d <= radius) {
            fallOut(*it, world);
            it = fallen.take(bodies, it, before);
            continue;
        }
        if (d <= reach) it->addVelocity(gravityPull(centre, it->location, radius, density, d, dt));
        ++it;
        ++before;
    }
}

void swallowOrPull(WorldState& world, point centre, float radius, float density, int dt)
{
    swallowOrPullAll(world.projectiles, world.fallenProjectiles, world, centre, radius, density, dt);
    swallowOrPullAll(world.ships, world.fallenShips, world, centre, radius, density, dt);
}

Star::Star(point location, float radius, float density, int texture, std::string name)
    : location(location), radius(radius), density(density), texture(texture), name(name)
{
}

void Star::addPlanet(Planet p) { planets.push_back(p); }

void Star::update(WorldState& world, Player* player, int dt)
{
    for (Planet& planet : planets) planet.update(world, player, dt, location);
    swallowOrPull(world, location, radius, density, dt);

    if (player) {
        // The player is not destroyed by a star, only burnt for every frame it stays inside.
        float d = pointDistance(location, player->location);
        if (d <= radius) standardExplosion(player->location, world);
        if (d < gravityReach(radius, density) && !player->isLanded())
            player->addVelocity(gravityPull(location, player->location, radius, density, d, dt));
    }
}

void drawStarSystem(const Star& star)
{
    batch.blend(BLEND_SRC_ALPHA, BLEND_ONE_MINUS_SRC_ALPHA);
    for (const Planet& planet : star.planets) planet.draw();
    batch.blend(BLEND_SRC_ALPHA, BLEND_ONE);  // stars glow
    if (onScreen(star.location, star.radius * SQUARE_CORNER)) star.draw();
}

void Star::draw() const
{
    batch.bindTexture(textureAt(textures, texture));
    batch.square(location, radius);
}

float Star::getRadius() const { return radius; }
int Star::getTexture() const { return texture; }
std::string Star::getName() const { return name; }
