#include "fuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void enterScratchDirectory()
{
    // /dev/shm keeps the per-input file writes off the disk where it exists.
    char pattern[64] = "/dev/shm/vumtal-fuzz-XXXXXX";
    char* dir = mkdtemp(pattern);
    if (!dir) {
        char fallback[64] = "/tmp/vumtal-fuzz-XXXXXX";
        dir = mkdtemp(fallback);
    }
    if (!dir || chdir(dir) != 0) {
        std::perror("fuzz: scratch directory");
        std::abort();
    }
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}

void writeFile(const char* file, const uint8_t* data, size_t size)
{
    FILE* out = std::fopen(file, "wb");
    if (!out) std::abort();
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
}

void writeFile(const char* file, const std::string& text)
{
    writeFile(file, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
