// Firmware image files for tests: a header of five little-endian words and
// numbered 64-byte blocks, written into a temporary directory that goes
// away with the object.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qrv::test {

struct ImageLayout {
    std::int32_t firstStart = 0;
    std::int32_t firstEnd = 0;
    std::int32_t secondStart = 0;
    std::int32_t secondEnd = 0;
    std::int32_t version = 16;
    // Blocks written after the header; -1: exactly as many as the header names.
    int blocks = -1;
};

// Block n is filled with the byte n + 1, so a test can tell blocks apart.
std::vector<std::uint8_t> BlockBytes(int n);
int BlocksNamed(const ImageLayout& layout);
std::vector<std::uint8_t> ImageBytes(const ImageLayout& layout);

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `bytes` to `name` inside the directory and returns its path.
    std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

}  // namespace qrv::test
