// Decoding the start-up images on a second thread while the window opens.
// Only the decoding moves: every GL call, and every line a failed image
// prints, stays on the main thread in table order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "render/textureImage.h"

// Starts decoding files (in this order) on a second thread, then runs
// alongside there too (other start-up decoding that needs no window). Once
// only; a second call does nothing. It also sets the process's heap to keep
// freed memory for reuse (see keepHeapWarm). Without a thread, alongside runs
// here and now.
void startImagePreload(const std::vector<std::string>& files, std::function<void()> alongside = {});

// Waits for the second thread to finish everything it was given.
void finishImagePreload();

// The decoded image of file with its mipmaps, or false with out.failure set
// when it is refused or cannot be read. Waits for the preload's images the
// first time (not for what runs alongside them); a file it did not decode (or one asked for a second time) is
// decoded here and now.
bool takeTextureImage(const std::string& file, TextureImage& out);
