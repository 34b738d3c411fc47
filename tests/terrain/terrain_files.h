// Heightmap files for the terrain tests, written into a fresh temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace terrain_test {

// A folder of its own for each test, removed at exit.
std::string TempFolder();
// Writes a valid 8-bit greyscale bitmap (row 0 = bottom row) and returns its path.
std::string WriteHeightmap(const std::string& name, int width, int height, const std::vector<uint8_t>& rows);
// Writes raw bytes as a file and returns its path.
std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::wstring Wide(const std::string& path);

}  // namespace terrain_test
