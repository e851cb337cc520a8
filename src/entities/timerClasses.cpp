// Explosions (two counter-rotating, shrinking images) and shockwaves (a
// growing ring that damages every enemy ship inside it).
#include "entities/timerClasses.h"

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/ship.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"
#include "core/report.h"
#include "entities/gameEvents.h"

namespace {

const int SHOCKWAVE_SLOT = 2;  // its damage is the shockwave's damage per ms

}  // namespace

TExplosion::TExplosion(int begin, int duration, point location)
    : begin(begin), duration(duration), location(location)
{
}

void TExplosion::execute(int, WorldState&) {}  // it only shows

void TExplosion::draw(int now) const
{
    float s = duration != 0 ? float(begin + duration - now) / duration * size : 0.0f;
    if (!onScreen(location, s * SQUARE_CORNER)) return;
    batch.bindTexture(textureAt(textures, TEX_EXPLOSION));
    batch.square(location, s, float((now - begin) * 360 / 1000));
    batch.square(location, s, float((begin - now) * 360 / 2000));
    batch.bindTexture(0);
}

TShockwave::TShockwave(int size, int begin, int duration, point location)
    : size(size), begin(begin), duration(duration), location(location), rotation(rand15() % 360),
      lastTime(begin)
{
}

float TShockwave::radius(int now) const
{
    return duration != 0 ? (now - begin) * size / duration * 1.56 : 0.0f;
}

void TShockwave::draw(int now) const
{
    float r = radius(now);
    batch.colour(1, 0, 0, 0.3f);  // set even when culled: later drawing sees the colour it leaves
    if (!onScreen(location, r * SQUARE_CORNER)) return;
    batch.bindTexture(textureAt(textures, TEX_BLAST));
    batch.square(location, r, float(rotation));
    batch.bindTexture(0);
}

void TShockwave::execute(int now, WorldState& world)
{
    report({"", "", "Triggered", Severity::Trace});
    float r = radius(now);
    int step = now - lastTime;
    lastTime = now;
    // Without a slot-2 record there is no damage rate to apply.
    if (WEAPONDATA.size() <= size_t(SHOCKWAVE_SLOT)) return;
    float damage = step * WEAPONDATA[SHOCKWAVE_SLOT].damage;
    int reach = pixelToGame(r);
    if (reach <= 0) return;  // no distance is below it
    world.shipGrid.nearPoint(world.ships, location, float(reach), [&](Ship& ship) {
        if (!(reach > pointDistance(location, ship.location))) return;
        ship.takeDamage(damage);
        tellHit(ship, damage, HitBy::Shockwave);
    });
}
