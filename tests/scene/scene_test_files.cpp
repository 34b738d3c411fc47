#include "tests/scene/scene_test_files.h"

#include <host.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace scene_test {

ResourceFolder::ResourceFolder() {
    static int serial = 0;
    root = fs::temp_directory_path() / ("scene_test_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    fs::remove_all(root);
    resource = root / "Resource";
    fs::create_directories(resource);
    fs::create_directories(root / "bin");
    host::SetResourceFolder(resource.string());
}

ResourceFolder::~ResourceFolder() {
    host::SetResourceFolder("");
    std::error_code ignored;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

void ResourceFolder::Write(const std::string& name, const std::string& bytes) const { WriteBytes(Path(name), bytes); }

std::string ResourceFolder::Read(const std::string& name) const { return ReadBytes(Path(name)); }

void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string BoxesXFile(const std::vector<Box>& boxes) {
    std::string text = "xof 0303txt 0032\nMesh Boxes {\n " + std::to_string(8 * boxes.size()) + ";\n";
    char line[160];
    for (size_t b = 0; b < boxes.size(); ++b) {
        const Box& box = boxes[b];
        for (int i = 0; i < 8; ++i) {
            std::snprintf(line, sizeof line, " %f;%f;%f;%s\n", (i & 1) ? box.high.x : box.low.x,
                          (i & 2) ? box.high.y : box.low.y, (i & 4) ? box.high.z : box.low.z,
                          b + 1 == boxes.size() && i == 7 ? ";" : ",");
            text += line;
        }
    }
    // Two triangles on each side; corner i has bit 0 for x, bit 1 for y, bit 2 for z.
    constexpr int kFaces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                                   {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    const size_t faces = 12 * boxes.size();
    text += " " + std::to_string(faces) + ";\n";
    for (size_t b = 0; b < boxes.size(); ++b) {
        for (int f = 0; f < 12; ++f) {
            const int first = static_cast<int>(8 * b);
            std::snprintf(line, sizeof line, " 3;%d,%d,%d;%s\n", first + kFaces[f][0], first + kFaces[f][1],
                          first + kFaces[f][2], b + 1 == boxes.size() && f == 11 ? ";" : ",");
            text += line;
        }
    }
    text += " MeshMaterialList {\n  1;\n  " + std::to_string(faces) + ";\n  ";
    for (size_t f = 0; f < faces; ++f) text += f + 1 < faces ? "0," : "0;;\n";
    text += "  Material {\n   1.0;1.0;1.0;1.0;;\n   10.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n }\n}\n";
    return text;
}

TreeMeshBytes& TreeMeshBytes::U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
}

TreeMeshBytes& TreeMeshBytes::U16(uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
}

TreeMeshBytes& TreeMeshBytes::F32(float value) {
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return U32(bits);
}

TreeMeshBytes& TreeMeshBytes::Name(const std::u16string& units) {
    U32(static_cast<uint32_t>(units.size()));
    for (char16_t unit : units) U16(static_cast<uint16_t>(unit));
    return *this;
}

TreeMeshBytes SmallTree() {
    TreeMeshBytes file;
    file.U32(4).U32(6).U32(2);          // faces, vertices, textures
    file.U32(3).U32(1);                 // faces per texture
    file.Name(u"..\\Resource\\bark.bmp").Name(u"..\\Resource\\leaf.bmp");
    for (int i = 0; i < 6; ++i) {
        file.F32(i / 8.0f).F32(1 - i / 8.0f);
        for (float coordinate : kSmallTreeCorners[i]) file.F32(coordinate);
    }
    for (uint16_t index : kSmallTreeIndices) file.U16(index);
    file.U32(0).U32(0).U32(0).U32(1);  // subset of each face
    return file;
}

std::string TinyBitmap() {
    // BITMAPFILEHEADER (14 bytes), BITMAPINFOHEADER (40), two rows of 2 pixels padded to 8 bytes.
    TreeMeshBytes b;
    b.U16(0x4D42).U32(14 + 40 + 16).U32(0).U32(14 + 40);
    b.U32(40).U32(2).U32(2).U16(1).U16(24).U32(0).U32(16).U32(2835).U32(2835).U32(0).U32(0);
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 6; ++i) b.bytes.push_back(0x80);
        b.U16(0);
    }
    return b.Text();
}

}  // namespace scene_test
