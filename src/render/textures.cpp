#include "render/textures.h"

#include <GL/glew.h>
#include <SOIL.h>

#include <cstdio>

#include "game/diagnostics.h"

std::vector<unsigned> textures;
std::vector<unsigned> projTextures;
std::vector<unsigned> uiTextures;

const char* const worldFiles[] = {
    "player.png", "mouse.png", "enemy.png", "explosion.png", "laser.png", "bulletDot.png", "fragment.png",
    "blast.png", "shockwaveBullet.png", "dust.png", "mars.png", "radar.png", "enemyRadar.png",
    "playerRadar.png", "bluestar.png", "dotTriad.png", "diamondParticle.png", "flame.tga", "wormhole1.tga",
    "map.png", "whiteDot.png", "yellowstar.png", "redstar.png", "earth.png", "ice.png", "gasgiant.png",
    "rock.png",
};
static_assert(sizeof(worldFiles) / sizeof(worldFiles[0]) == TEX_COUNT, "one file per world texture index");

const char* const projectileFiles[] = {"bulletDot.png", "fragment.png", "shockwaveBullet.png"};
static_assert(sizeof(projectileFiles) / sizeof(projectileFiles[0]) == PROJTEX_COUNT, "one file per index");

const char* const uiFiles[] = {"buttonUp.png", "buttonSel.png", "buttonDown.png", "buttonDownSel.png",
                                      "arrow.png"};
static_assert(sizeof(uiFiles) / sizeof(uiFiles[0]) == UITEX_COUNT, "one file per UI texture index");

// Appends the texture (0 on failure, so later indices never shift) and leaves it bound.
static void loadInto(const std::string& file, std::vector<unsigned>& table, const char* failurePrefix)
{
    // The driver builds the mipmaps: with the 2048-pixel background that is quicker
    // than SOIL's software chain even under llvmpipe, which compiles a blit for it
    // on first use. SOIL scales an image to powers of two when it makes mipmaps, so
    // ask for that still.
    unsigned name = SOIL_load_OGL_texture(file.c_str(), SOIL_LOAD_AUTO, SOIL_CREATE_NEW_ID,
                                          SOIL_FLAG_POWER_OF_TWO | SOIL_FLAG_INVERT_Y);
    table.push_back(name);
    if (name != 0) {
        glBindTexture(GL_TEXTURE_2D, name);
        glGenerateMipmap(GL_TEXTURE_2D);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        return;
    }
    std::printf("%s%s: %s\n", failurePrefix, file.c_str(), SOIL_last_result());
}

void loadSingleTexture(std::string file, std::vector<unsigned>& table)
{
    loadInto(file, table, "SOIL error loading ");
}

void loadTextures()
{
    glEnable(GL_TEXTURE_2D);
    for (int i = 0; i <= TEX_DUST; ++i) loadSingleTexture(worldFiles[i], textures);
    // The dust field tiles across the whole playfield.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    for (int i = TEX_DUST + 1; i < TEX_COUNT; ++i) loadSingleTexture(worldFiles[i], textures);
    for (const char* file : projectileFiles) loadSingleTexture(file, projTextures);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    reportError();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void loadUITextures()
{
    glEnable(GL_TEXTURE_2D);
    for (const char* file : uiFiles) loadInto(file, uiTextures, "SOIL loading error on ");
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    reportError();
    glBindTexture(GL_TEXTURE_2D, 0);
}

unsigned textureAt(const std::vector<unsigned>& table, int index)
{
    if (index < 0 || size_t(index) >= table.size()) return 0;
    return table[size_t(index)];
}
