#include "render/textures.h"

#include <GL/glew.h>
#include <SOIL.h>

#include <algorithm>
#include <iterator>

#include "core/dataFiles.h"
#include "core/diagnostics.h"
#include "render/imagePreload.h"

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

// Image rows are packed tight. GL's default reads rows padded to 4 bytes,
// which skews grey and RGB images whose rows are not a multiple of 4 bytes
// (any of their smallest mipmap levels).
struct TightRows {
    GLint saved = 4;
    TightRows()
    {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~TightRows() { glPixelStorei(GL_UNPACK_ALIGNMENT, saved); }
};

static unsigned uploadTextureImage(const TextureImage& image)
{
    static const GLenum formats[] = {0, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA};
    const GLenum format = formats[image.channels];
    unsigned name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    TightRows tight;
    // Set first, so that the driver makes room for every level at once.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    for (size_t level = 0; level < image.levels.size(); ++level)
        glTexImage2D(GL_TEXTURE_2D, GLint(level), GLint(format), std::max(image.width >> level, 1),
                     std::max(image.height >> level, 1), 0, format, GL_UNSIGNED_BYTE, image.levels[level].data());
    // What SOIL leaves on a texture it makes.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    return name;
}

static bool fitsTexture(const TextureImage& image)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    setLargestTextureSide(largest);  // images decoded from now on are checked against it too
    return image.width <= largest && image.height <= largest;
}

static bool powerOfTwoSides(const TextureImage& image)
{
    return (image.width & (image.width - 1)) == 0 && (image.height & (image.height - 1)) == 0;
}

// An image whose sides are not powers of two: SOIL's upload (never its
// decoder) scales it to powers of two, and the driver makes the mipmaps.
static unsigned uploadScaled(const TextureImage& image)
{
    TightRows tight;
    // Level 0 is bottom row first already, so SOIL is not asked to flip it.
    unsigned name = SOIL_create_OGL_texture(image.levels[0].data(), image.width, image.height, image.channels,
                                            SOIL_CREATE_NEW_ID, SOIL_FLAG_POWER_OF_TWO);
    if (name == 0) return 0;
    glBindTexture(GL_TEXTURE_2D, name);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return name;
}

// Appends the texture (0 on failure, so later indices never shift) and leaves it bound.
static void loadInto(const std::string& file, std::vector<unsigned>& table, const char* failurePrefix)
{
    // Images are decoded (usually ahead, while the window opened) with their
    // mipmaps made in software: llvmpipe's glGenerateMipmap compiles a blit on
    // first use, which cost more than loading all the images.
    const std::string refused = dataFileExists(file) ? dataFileProblem(file, MAX_IMAGE_FILE) : "";
    if (!refused.empty()) {  // before any decoder opens it: a FIFO would hold the game
        report({file, "", refused + "; that image draws nothing", Severity::Error});
        table.push_back(0);
        return;
    }
    TextureImage image;
    const bool decoded = takeTextureImage(file, image);
    if (decoded && !fitsTexture(image))
        image.failure = "image refused: " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                        " pixels is over the driver's largest texture";
    else if (decoded) {
        const unsigned name = powerOfTwoSides(image) ? uploadTextureImage(image) : uploadScaled(image);
        if (name != 0) {
            table.push_back(name);
            return;
        }
        image.failure = std::string("cannot be made a texture: ") + SOIL_last_result();
    }
    table.push_back(0);
    if (image.missing)  // the line SOIL always gave a file it could not open
        report({"", "", formatted("%s%s: %s", failurePrefix, file.c_str(), image.failure.c_str()), Severity::Trace});
    else
        report({file, "", image.failure + "; it draws as a missing image", Severity::Error});
}

void preloadTextureImages(std::function<void()> alongside)
{
    std::vector<std::string> files;
    for (const char* file : worldFiles) files.push_back(dataFile(file));
    for (const char* file : projectileFiles) files.push_back(dataFile(file));
    for (const char* file : uiFiles) files.push_back(dataFile(file));
    startImagePreload(files, std::move(alongside));
}

void loadSingleTexture(std::string file, std::vector<unsigned>& table)
{
    loadInto(file, table, "SOIL error loading ");
}

void loadTextures()
{
    glEnable(GL_TEXTURE_2D);
    for (int i = 0; i <= TEX_DUST; ++i) loadSingleTexture(dataFile(worldFiles[i]), textures);
    // The dust field tiles across the whole playfield. It fills the screen
    // twice a frame: one mipmap level per pixel instead of a blend of two takes
    // a fifth off an empty frame zoomed out, and looks the same.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    for (int i = TEX_DUST + 1; i < TEX_COUNT; ++i) loadSingleTexture(dataFile(worldFiles[i]), textures);
    for (const char* file : projectileFiles) loadSingleTexture(dataFile(file), projTextures);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    reportError();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void loadUITextures()
{
    glEnable(GL_TEXTURE_2D);
    for (const char* file : uiFiles) loadInto(dataFile(file), uiTextures, "SOIL loading error on ");
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    reportError();
    glBindTexture(GL_TEXTURE_2D, 0);
}

unsigned textureAt(const std::vector<unsigned>& table, int index)
{
    if (index < 0 || size_t(index) >= table.size()) return 0;
    return table[size_t(index)];
}
