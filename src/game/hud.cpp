#include "game/hud.h"

#include <GL/glew.h>

#include <cstdio>

#include "entities/worldState.h"
#include "entities/player.h"
#include "core/diagnostics.h"
#include "game/gameMain.h"
#include "render/font.h"
#include "render/textures.h"
#include "render/background.h"
#include "render/batch.h"
#include "render/view.h"

static const float BACK_LAYER_Z = -10000;

void drawBackground()
{
    // The far copy lies behind the world plane, so it slides by more slowly: parallax.
    drawDust(textureAt(textures, TEX_DUST), PLAYFIELD_LIMIT, DustLayer{0, 20}, DustLayer{-BACK_LAYER_Z, 4});
}

void drawBoundary()
{
    const float e = PLAYFIELD_LIMIT;
    const float z = BACK_LAYER_Z;
    batch.flush();
    float saved[4];
    glGetFloatv(GL_CURRENT_COLOR, saved);
    glColor3f(1, 1, 1);
    glBegin(GL_LINE_STRIP);
    glVertex3f(-e, -e, 0);
    glVertex3f(-e, e, 0);
    glVertex3f(e, e, 0);
    glVertex3f(e, -e, 0);
    glVertex3f(-e, -e, 0);
    glColor3f(1, 0, 0);
    glVertex3f(-e, -e, z);
    glVertex3f(-e, -e, z);
    glVertex3f(-e, e, z);
    glVertex3f(e, e, z);
    glVertex3f(e, -e, z);
    glVertex3f(-e, -e, z);
    glEnd();
    glColor4fv(saved);
}

// A textured square centred on p, rotated by `degrees`.
static void drawMarker(point p, float degrees, int textureIndex, float halfSize)
{
    batch.bindTexture(textureAt(textures, textureIndex));
    batch.square(p, halfSize, degrees);
    batch.bindTexture(0);
}

void drawMouse(point p) { drawMarker(p, 0, TEX_MOUSE, 30); }

void drawEnemy(point p, float theta)
{
    const float reach = 40 * SQUARE_CORNER;
    // Far out a hull is smaller than a pixel, and most light none.
    if (!onScreen(p, reach) || !mayLightPixel(point{p.x - reach, p.y - reach}, point{p.x + reach, p.y + reach})) return;
    drawMarker(p, theta * 57.32f, TEX_ENEMY, 40);
}

void drawRadarBlip(point p, int textureIndex, float halfSize) { drawMarker(p, 0, textureIndex, halfSize); }

void drawFrameGraph(const std::vector<int>& frameTimes, unsigned frameIndex)
{
    batch.flush();
    // Grid lines at 0, 1, ..., 9 ms of the graph below.
    glColor3f(0.2f, 0.2f, 0.2f);
    glBegin(GL_LINES);
    for (int y = 5; y <= 32; y += 3) {
        glVertex2f(0, float(y));
        glVertex2f(float(w), float(y));
    }
    glEnd();

    glColor3f(0.3f, 0.3f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    const size_t count = frameTimes.size();
    const float step = float(w) / float(count ? count : 1);
    glBegin(GL_LINE_STRIP);
    // The per-frame line on standard output; a log of it shows one line per frame.
    std::printf("\n");
    std::fflush(stdout);
    // frameIndex is the oldest entry, so the strip runs from oldest to newest.
    for (size_t i = 0; i < count; ++i) {
        int t = frameTimes[(i + frameIndex) % count];
        glVertex2f(float(i) * step, 3.0f * float(t) + 5);
    }
    glEnd();
}

static std::string countText(const char* label, size_t n) { return label + toString(float(n)); }

void drawDebugTexts(DebugTexts& texts, WorldState& world, Player* player, Font* font)
{
    texts.projectiles = countText("Projectiles: ", world.projectiles.size());
    texts.timers = countText("Timers: ", world.timers.size());
    texts.ships = countText("Ships: ", world.ships.size());
    if (player) texts.hitPoints = "Player HP: " + toString(player->getHealth());
    if (!font) return;

    font->displayText(texts.fps, 0, 0, 20, false);
    font->displayText(texts.ships, 0, 30, 20, false);
    font->displayText(texts.projectiles, 0, 60, 20, false);
    font->displayText(texts.timers, 0, 90, 20, false);
    font->displayText(texts.hitPoints, 0, 120, 20, false);
    if (player) font->displayText(toString(float(*player->getPlanetIdPointer())), 0, 150, 20, false);
}
