#include "entities/projectile.h"

// Stub: projectiles are built with the combat work.
Projectile::Projectile(point location, float angleDeg, WorldState&, int type, float vx, float vy)
    : location(location), type(type), angle(angleDeg * 0.017444f), lifetime(0), velocity{vx, vy}, damage(0)
{
}
void Projectile::calcTheta() {}
void Projectile::addVelocity(point v) { velocity.x += v.x; velocity.y += v.y; }
bool Projectile::affectedByGrav() const { return true; }
bool Projectile::update(int, WorldState&, int) { return true; }
bool Projectile::handleCollision(point previous, WorldState& world, int now)
{
    return handleCollision(previous, world, now, 50);
}
bool Projectile::handleCollision(point, WorldState&, int, int) { return false; }
bool projectileEvent(WorldState&, point, int, int) { return false; }
