#include "render/imagePreload.h"

#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
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
    std::vector<Decoded> results;  // written by the worker only until imagesDone
    std::mutex lock;
    std::condition_variable done;
    bool imagesDone = false;

    void finish()
    {
        if (worker.joinable()) worker.join();
    }
    // The images are needed before what runs alongside them is done.
    void waitForImages()
    {
        if (!worker.joinable()) return;
        std::unique_lock<std::mutex> held(lock);
        done.wait(held, [this] { return imagesDone; });
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

void decodeAll(Preload& p, const std::function<void()>& alongside)
{
    std::vector<Decoded>& results = p.results;
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
    {
        std::lock_guard<std::mutex> held(p.lock);
        p.imagesDone = true;
    }
    p.done.notify_all();
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
        p.worker = std::thread(decodeAll, std::ref(p), alongside);
    } catch (const std::system_error&) {
        p.results.clear();  // no thread to be had: images are decoded when asked for
        if (alongside) alongside();
    }
}

void finishImagePreload() { preload().finish(); }

bool takeTextureImage(const std::string& file, TextureImage& out)
{
    Preload& p = preload();
    p.waitForImages();
    for (Decoded& d : p.results) {
        if (d.taken || d.file != file) continue;
        d.taken = true;
        out = std::move(d.image);
        d.image = TextureImage{};
        return d.ok;
    }
    return decodeTextureImage(file, out);
}
