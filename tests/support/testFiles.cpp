#include "support/testFiles.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {
std::vector<std::string>& scratchDirs()
{
    static std::vector<std::string> dirs;
    return dirs;
}

void removeScratchDirs()
{
    for (const std::string& dir : scratchDirs()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}
}  // namespace

std::string makeScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vumtal-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    std::string dir = mkdtemp(buffer.data());
    if (scratchDirs().empty()) std::atexit(removeScratchDirs);
    scratchDirs().push_back(dir);
    return dir;
}

std::string writeFile(const std::string& dir, const std::string& name, const std::string& text)
{
    std::string path = dir + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void expectAllIn(const std::string& text, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\nin:\n" << text;
}

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir) : previous(std::filesystem::current_path().string())
{
    std::filesystem::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() { std::filesystem::current_path(previous); }

StreamCapture::StreamCapture(std::FILE* stream) : stream(stream)
{
    std::fflush(stream);
    path = makeScratchDir() + "/stream.txt";
    savedFd = dup(fileno(stream));
    std::FILE* target = std::fopen(path.c_str(), "w");
    dup2(fileno(target), fileno(stream));
    std::fclose(target);
}

StreamCapture::~StreamCapture() { text(); }

std::string StreamCapture::text()
{
    if (!done) {
        std::fflush(stream);
        dup2(savedFd, fileno(stream));
        close(savedFd);
        done = true;
    }
    return readFile(path);
}

long peakResidentMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A PNG whose header declares width x height, followed by about idatBytes of a zlib stream.
std::string hugePngBytes(uint32_t width, uint32_t height, size_t idatBytes)
{
    auto chunk = [](const std::string& type, const std::string& body) {
        std::string out;
        for (int shift : {24, 16, 8, 0}) out += char(body.size() >> shift);
        const std::string crcd = type + body;
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(crcd.data()), uInt(crcd.size()));
        out += crcd;
        for (int shift : {24, 16, 8, 0}) out += char(crc >> shift);
        return out;
    };
    std::string ihdr;
    for (uint32_t side : {width, height})
        for (int shift : {24, 16, 8, 0}) ihdr += char(side >> shift);
    ihdr += std::string{8, 0, 0, 0, 0};  // 8-bit grey
    std::string raw(idatBytes, 0);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = char(i * 2654435761u >> 13);
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, 0);
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(packedSize);
    return "\x89PNG\r\n\x1a\n" + chunk("IHDR", ihdr) + chunk("IDAT", packed) + chunk("IEND", "");
}

// A 4 KB TGA whose header declares 32768 x 32769 pixels.
std::string hugeTgaBytes()
{
    std::string tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, char(0x80), 1, char(0x80), 32, 0x28};
    tga.resize(4096, char(0x7f));
    return tga;
}
