#include "render/imagePreload.h"

#include <malloc.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace {

struct Decoded {
    std::string file;
    bool ok = false;
    bool taken = false;
    TextureImage image;
};

struct Preload {
    std::thread worker;
    std::vector<Decoded> results;  // written by the worker only until it is joined

    void finish()
    {
        if (worker.joinable()) worker.join();
    }
    // An early way out of start-up must not leave the thread running.
    ~Preload() { finish(); }
};

Preload& preload()
{
    static Preload p;
    return p;
}

// The driver copies every image into memory of its own, and memory the
// process has never touched is slow to come by: about 2.6 ms a megabyte on the
// virtual machines we measure on, which back memory lazily. So every block
// stays in the one heap (no second arena for this thread, no separate
// mapping for large blocks, nothing handed back to the system), and the
// loader thread touches as much as the images hold: the driver's copies then
// land on pages already mapped, while the main thread was opening the window.
void keepHeapWarm()
{
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
}

// Touched in blocks well under the mmap threshold: one block at or over it would
// be mapped on its own and handed back when released, and the warm-up lost, as
// soon as the images grew past the threshold.
const size_t TOUCH_BLOCK = size_t(4) << 20;

void touchAndRelease(size_t bytes)
{
    std::vector<std::vector<unsigned char>> blocks;
    blocks.reserve(bytes / TOUCH_BLOCK + 1);
    for (size_t left = bytes; left > 0;) {
        const size_t size = std::min(left, TOUCH_BLOCK);
        blocks.emplace_back(size, 1);
        left -= size;
    }
    volatile unsigned char keep = blocks.empty() ? 0 : blocks.back().front();
    (void)keep;
}

void decodeAll(std::vector<Decoded>& results, const std::function<void()>& alongside)
{
    size_t bytes = 0;
    for (Decoded& d : results) {
        d.ok = decodeTextureImage(d.file, d.image);
        for (const auto& level : d.image.levels) bytes += level.size();
    }
    try {
        touchAndRelease(bytes);
    } catch (const std::bad_alloc&) {
        // Only a head start is lost.
    }
    if (alongside) alongside();
}

}  // namespace

void startImagePreload(const std::vector<std::string>& files, std::function<void()> alongside)
{
    Preload& p = preload();
    if (p.worker.joinable() || !p.results.empty()) return;
    keepHeapWarm();
    for (const std::string& file : files) p.results.push_back(Decoded{file, false, false, TextureImage{}});
    try {
        p.worker = std::thread(decodeAll, std::ref(p.results), alongside);
    } catch (const std::system_error&) {
        p.results.clear();  // no thread to be had: images are decoded when asked for
        if (alongside) alongside();
    }
}

void finishImagePreload() { preload().finish(); }

bool takeTextureImage(const std::string& file, TextureImage& out)
{
    Preload& p = preload();
    p.finish();
    for (Decoded& d : p.results) {
        if (d.taken || d.file != file) continue;
        d.taken = true;
        out = std::move(d.image);
        d.image = TextureImage{};
        return d.ok;
    }
    return decodeTextureImage(file, out);
}
