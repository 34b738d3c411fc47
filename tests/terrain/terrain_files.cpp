#include "tests/terrain/terrain_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/resgen/bitmap_writer.h"

namespace terrain_test {

std::string TempFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "terrain_test_XXXXXX").string();
        return std::string(mkdtemp(pattern.data()));
    }();
    return folder;
}

std::string WriteHeightmap(const std::string& name, int width, int height, const std::vector<uint8_t>& rows) {
    const std::string path = TempFolder() + "/" + name;
    resgen::WriteGreyBitmap(path, width, height, rows);
    return path;
}

std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempFolder() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

}  // namespace terrain_test
