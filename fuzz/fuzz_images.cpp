// The image readers: an input is one file, read as the game reads any image
// (PNG or TGA by content), with the mipmaps made.
#include "render/textureImage.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeFile("image", data, size);
    resetImageBudget();
    TextureImage image;
    if (decodeTextureImage("image", image) && image.levels.front().size() !=
                                                   size_t(image.width) * size_t(image.height) * size_t(image.channels))
        __builtin_trap();  // level 0 is always whole
    return 0;
}
