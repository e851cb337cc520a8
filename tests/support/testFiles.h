// Scratch files and working directories for tests that feed the loaders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A fresh empty directory under the system temp dir, removed at process exit.
std::string makeScratchDir();
// Writes text to dir/name (making the folders name passes through) and returns the full path.
std::string writeFile(const std::string& dir, const std::string& name, const std::string& text);
// The whole content of the file at path, byte for byte; empty when it cannot be read.
std::string readFile(const std::string& path);

// A test failure for each of lines that is not somewhere in text, naming it and showing text.
void expectAllIn(const std::string& text, const std::vector<std::string>& lines);

// Runs the enclosed code with the working directory switched to dir.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::string& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

private:
    std::string previous;
};

#include <cstdio>

// Captures everything written to one stream between construction and text().
class StreamCapture {
public:
    explicit StreamCapture(std::FILE* stream);
    ~StreamCapture();
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    std::string text();  // stops capturing and returns what was written

private:
    std::FILE* stream;
    int savedFd = -1;
    std::string path;
    bool done = false;
};

// Standard output: the game's narration.
class StdoutCapture : public StreamCapture {
public:
    StdoutCapture() : StreamCapture(stdout) {}
};

// Standard error: the diagnostics.
class StderrCapture : public StreamCapture {
public:
    StderrCapture() : StreamCapture(stderr) {}
};

// Both: what the game narrates, then its diagnostics.
class OutputCapture {
public:
    std::string text() { return out.text() + err.text(); }

private:
    StdoutCapture out;
    StderrCapture err;
};

// The most memory the process has held so far, in megabytes: a case that
// allocates past its cap moves it.
long peakResidentMb();

// Image files that declare more than any image may hold, small on disk: a PNG
// of width x height followed by about idatBytes of a zlib stream, and a 4 KB
// TGA of 32768 x 32769.
std::string hugePngBytes(uint32_t width, uint32_t height, size_t idatBytes);
std::string hugeTgaBytes();
