#include "image_file.h"

#include <atomic>
#include <fstream>
#include <random>

namespace qrv::test {

namespace {
int RegionBlocks(std::int64_t start, std::int64_t end) {
    return start < end ? static_cast<int>((end - start + 63) / 64) : 0;
}

void PutWord(std::vector<std::uint8_t>& out, std::int32_t word) {
    const auto value = static_cast<std::uint32_t>(word);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}
}  // namespace

std::vector<std::uint8_t> BlockBytes(int n) { return std::vector<std::uint8_t>(64, static_cast<std::uint8_t>(n + 1)); }

int BlocksNamed(const ImageLayout& layout) {
    const int first = layout.firstStart > 0 ? RegionBlocks(layout.firstStart, layout.firstEnd) : 0;
    return first + RegionBlocks(layout.secondStart, layout.secondEnd);
}

std::vector<std::uint8_t> ImageBytes(const ImageLayout& layout) {
    std::vector<std::uint8_t> out;
    for (std::int32_t word : {layout.firstStart, layout.firstEnd, layout.secondStart, layout.secondEnd, layout.version})
        PutWord(out, word);
    const int blocks = layout.blocks < 0 ? BlocksNamed(layout) : layout.blocks;
    for (int n = 0; n < blocks; ++n) {
        const auto block = BlockBytes(n);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

TempDir::TempDir() {
    // A random tag keeps processes apart (the Windows tests build this too).
    static const unsigned processTag = std::random_device{}();
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("qrv-net-" + std::to_string(processTag) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}

}  // namespace qrv::test
