// The image tables: GL texture names at fixed indices. A failed load keeps
// its index with the name 0, so indices never shift.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum TextureIndex {
    TEX_PLAYER,
    TEX_MOUSE,
    TEX_ENEMY,
    TEX_EXPLOSION,
    TEX_LASER,
    TEX_BULLET_DOT,
    TEX_FRAGMENT,
    TEX_BLAST,
    TEX_SHOCKWAVE_BULLET,
    TEX_DUST,
    TEX_MARS,
    TEX_RADAR,
    TEX_ENEMY_RADAR,
    TEX_PLAYER_RADAR,
    TEX_BLUESTAR,
    TEX_DOT_TRIAD,
    TEX_DIAMOND_PARTICLE,
    TEX_FLAME,
    TEX_WORMHOLE,
    TEX_MAP,
    TEX_WHITE_DOT,
    // Extra star and planet images for the galaxy file; appended so the
    // indices above never move.
    TEX_YELLOWSTAR,
    TEX_REDSTAR,
    TEX_EARTH,
    TEX_ICE,
    TEX_GASGIANT,
    TEX_ROCK,
    TEX_COUNT
};

enum ProjTextureIndex { PROJTEX_BULLET_DOT, PROJTEX_FRAGMENT, PROJTEX_SHOCKWAVE_BULLET, PROJTEX_COUNT };

enum UITextureIndex { UITEX_BUTTON_UP, UITEX_BUTTON_SEL, UITEX_BUTTON_DOWN, UITEX_BUTTON_DOWN_SEL, UITEX_ARROW, UITEX_COUNT };

// The image file behind each index, in load order.
extern const char* const worldFiles[TEX_COUNT];
extern const char* const projectileFiles[PROJTEX_COUNT];
extern const char* const uiFiles[UITEX_COUNT];

extern std::vector<unsigned> textures;
extern std::vector<unsigned> projTextures;
extern std::vector<unsigned> uiTextures;

// Starts decoding every image of the three tables on a second thread, so
// that loadTextures and loadUITextures find them ready, then runs alongside
// on that thread. Optional: without it they decode as they go.
void preloadTextureImages(std::function<void()> alongside = {});

void loadSingleTexture(std::string file, std::vector<unsigned>& table);
void loadTextures();
void loadUITextures();

// The entry of a table at index, or 0 (no texture) when the index names
// nothing: data files name textures by number.
unsigned textureAt(const std::vector<unsigned>& table, int index);
