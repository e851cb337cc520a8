#include <GL/glew.h>
#include <GL/glu.h>

#include "entities/worldState.h"
#include "entities/player.h"
#include "core/diagnostics.h"
#include "game/gameMain.h"
#include "game/hud.h"
#include "render/batch.h"
#include "render/textures.h"

// Short-range radar: one game unit is this many pixels.
static const float RADAR_SCALE = 0.00825f;
// Long-range map: one game unit is this many units of the map's box.
static const float MAP_SCALE = 0.00084f;

bool withinRange(point thing, point player, float range) { return pointDistance(thing, player) < range; }

struct Corner {
    float x, y, s, t;
};

// A frame image as one quad, corners in the order given.
static void frameQuad(const Corner (&corners)[4])
{
    point at[4], texCoords[4];
    for (int i = 0; i < 4; ++i) {
        at[i] = point{corners[i].x, corners[i].y};
        texCoords[i] = point{corners[i].s, corners[i].t};
    }
    batch.quad(point{0, 0}, 0, at, texCoords);
}

// The radar image runs top-down (t = 0 along the window's top edge); the map's runs bottom-up.
static const Corner radarFrame[4] = {{0, 0, 0, 0}, {0, -200, 0, 1}, {200, -200, 1, 1}, {200, 0, 1, 0}};
static const Corner mapFrame[4] = {{-200, -200, 0, 0}, {-200, 0, 0, 1}, {0, 0, 1, 1}, {0, -200, 1, 0}};

// Pushes a projection that maps game units round the player into the given box.
static void pushRadarProjection(double left, double right, double bottom, double top, float scale, point centre)
{
    batch.flush();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(left, right, bottom, top);
    glScalef(scale, scale, 0);
    glTranslatef(-centre.x, -centre.y, 0);
    glMatrixMode(GL_MODELVIEW);
}

static void popRadarProjection()
{
    batch.flush();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    reportError();
}

void topLeftUI(WorldState& world, Player* player)
{
    if (!player) return;
    const point me = player->location;
    batch.bindTexture(textureAt(textures, TEX_RADAR));
    frameQuad(radarFrame);

    // Origin at the centre of the frame, one unit per pixel before the scale.
    pushRadarProjection(-100, w - 100, 100 - h, 100, RADAR_SCALE, me);
    drawRadarBlip(me, TEX_PLAYER_RADAR, 500);
    for (const Ship& ship : world.ships)
        if (withinRange(ship.location, me, RADAR_RANGE)) drawRadarBlip(ship.location, TEX_ENEMY_RADAR, 500);
    for (Star& star : world.stars) {
        if (withinRange(star.location, me, RADAR_RANGE)) star.draw();
        // A planet can be in range while its star is not.
        for (Planet& planet : star.planets)
            if (withinRange(planet.location, me, RADAR_RANGE)) planet.draw();
    }
    popRadarProjection();
}

void topRightUI(WorldState& world, Player* player)
{
    if (!player) return;
    const point me = player->location;
    batch.bindTexture(textureAt(textures, TEX_MAP));
    frameQuad(mapFrame);

    // The box is w + 200 by h + 200 over the window, so the player sits 86.5
    // pixels from the right and 83.7 from the top, not at the frame's centre.
    pushRadarProjection(-w - 100, 100, -h - 100, 100, MAP_SCALE, me);
    // The marker colour tints the white dot.
    batch.textureMode(TEXTURE_MODULATE);
    for (const Star& star : world.stars) {
        if (withinRange(star.location, me, MAP_RANGE)) {
            batch.colour(1, 0.2f, 0.2f);
            drawRadarBlip(star.location, TEX_WHITE_DOT, 10000);
        }
        for (const Planet& planet : star.planets) {
            if (!withinRange(planet.location, me, MAP_RANGE)) continue;
            batch.colour(0, 1, 0.2f);
            drawRadarBlip(planet.location, TEX_WHITE_DOT, 8000);
        }
    }
    batch.textureMode(TEXTURE_REPLACE);
    drawRadarBlip(me, TEX_PLAYER_RADAR, 10000);
    popRadarProjection();
}
