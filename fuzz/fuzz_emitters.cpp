// The emitter tables: the input is "emitterShade0.txt" (a zero byte starts
// "emitterShade1.txt"), read and expanded as at start-up.
#include <cstring>
#include <cstdio>

#include "data/emitterData.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t first = split ? size_t(split - data) : size;
    writeFile(emitterFileName(0).c_str(), data, first);
    if (split)
        writeFile(emitterFileName(1).c_str(), split + 1, size - first - 1);
    else
        std::remove(emitterFileName(1).c_str());
    readAndExpandEmitterData();
    return 0;
}
