// The generated characters as MD2 files: they load in glasshall's reader, every table agrees
// with the command list, the frames are named by animation, and the poses do what their
// animations say (standing on the floor, leaving it in a jump, lying down in a death).
#include "tools/resgen/md2_characters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "md2/md2_file.h"

namespace {

using namespace resgen;

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return int32_t(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                   uint32_t(bytes[offset + 3]) << 24);
}
int ShortAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return int16_t(bytes[offset] | bytes[offset + 1] << 8);
}

Md2Geometry Decode(const std::vector<uint8_t>& bytes) {
    Md2Geometry geometry;
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    EXPECT_TRUE(ReadMd2Geometry(file, 0.1f, &geometry));
    std::fclose(file);
    return geometry;
}

// Height of the lowest and highest point of a decoded frame, in world units.
void Heights(const Md2Geometry& geometry, int frame, float* low, float* high) {
    *low = 1e9f, *high = -1e9f;
    for (int i = 0; i < geometry.vertexCount; ++i) {
        const float y = geometry.frameVertices[size_t(frame) * geometry.vertexCount + i].y;
        *low = std::min(*low, y), *high = std::max(*high, y);
    }
}

class Md2Characters : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const CharacterSpec& character : Characters()) built.push_back(BuildCharacter(character));
    }
    static std::vector<CharacterFiles> built;
};
std::vector<CharacterFiles> Md2Characters::built;

TEST_F(Md2Characters, NineFoldersOfGlasshallWithTheirMeshes) {
    const std::vector<std::string> folders = {"alita3", "ddz",   "droid", "lordmaul",  "regult",
                                              "unit00", "yoshi", "man",   "witchblade"};
    ASSERT_EQ(Characters().size(), folders.size());
    for (size_t i = 0; i < folders.size(); ++i) {
        EXPECT_EQ(Characters()[i].folder, folders[i]);
        EXPECT_EQ(built[i].meshes.size(), folders[i] == "lordmaul" ? 2u : 1u) << folders[i];
        EXPECT_EQ(built[i].meshes[0].name, folders[i]);
    }
    EXPECT_EQ(built[3].meshes[1].name, "weapon");
}

TEST_F(Md2Characters, LoadInTheReaderWithAllFramesAndBothKindsOfCommand) {
    for (size_t c = 0; c < built.size(); ++c) {
        for (const CharacterMesh& mesh : built[c].meshes) {
            const std::vector<uint8_t> bytes = EncodeMd2(mesh.content);
            const Md2Geometry geometry = Decode(bytes);
            EXPECT_EQ(geometry.frameCount, Characters()[c].folder == "man" ? 198 : 199) << mesh.name;
            // Within the limits of the original engine's readers.
            EXPECT_LE(geometry.vertexCount, 2048) << mesh.name;
            EXPECT_LE(IntAt(bytes, 32), 4096) << mesh.name;
            EXPECT_EQ(IntAt(bytes, 64), int32_t(bytes.size())) << "end offset";
            int strips = 0, fans = 0;
            for (size_t w = 0; geometry.commands[w] != 0;) {
                const int count = geometry.commands[w];
                (count > 0 ? strips : fans) += 1;
                w += 1 + 3 * size_t(std::abs(count));
            }
            EXPECT_GT(strips, 0) << mesh.name;
            EXPECT_GT(fans, 0) << mesh.name;
        }
    }
}

// Every triangle drawn by the command list is in the triangle table once, with the texture
// coordinates the command gives its corners.
TEST_F(Md2Characters, TriangleAndTextureTablesMatchTheCommandList) {
    for (const CharacterFiles& files : built) {
        for (const CharacterMesh& mesh : files.meshes) {
            const std::vector<uint8_t> bytes = EncodeMd2(mesh.content);
            const int skinWidth = IntAt(bytes, 8), skinHeight = IntAt(bytes, 12);
            const int texCoordOffset = IntAt(bytes, 48), triangleOffset = IntAt(bytes, 52);
            const int triangles = IntAt(bytes, 32), commandOffset = IntAt(bytes, 60);
            using Corner = std::pair<int, std::pair<float, float>>;  // vertex, (s, t)
            std::multiset<std::vector<Corner>> fromTable, fromCommands;
            auto rotated = [](std::vector<Corner> t) {  // the same triangle from its least corner
                std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
                return t;
            };
            for (int i = 0; i < triangles; ++i) {
                std::vector<Corner> t;
                for (int k = 0; k < 3; ++k) {
                    const size_t at = size_t(triangleOffset) + size_t(i) * 12;
                    const int st = ShortAt(bytes, at + 6 + 2 * k);
                    t.push_back({ShortAt(bytes, at + 2 * k),
                                 {float(ShortAt(bytes, texCoordOffset + 4 * st)) / skinWidth,
                                  float(ShortAt(bytes, texCoordOffset + 4 * st + 2)) / skinHeight}});
                }
                fromTable.insert(rotated(t));
            }
            for (size_t w = size_t(commandOffset); IntAt(bytes, w) != 0;) {
                const int count = IntAt(bytes, w);
                const int n = std::abs(count);
                std::vector<Corner> v;
                for (int k = 0; k < n; ++k) {
                    float s, t;
                    const int32_t sBits = IntAt(bytes, w + 4 + 12 * k), tBits = IntAt(bytes, w + 8 + 12 * k);
                    std::memcpy(&s, &sBits, 4);
                    std::memcpy(&t, &tBits, 4);
                    v.push_back({IntAt(bytes, w + 12 + 12 * k), {s, t}});
                }
                for (int k = 0; k + 2 < n; ++k) {
                    if (count < 0) fromCommands.insert(rotated({v[0], v[k + 1], v[k + 2]}));
                    else if (k % 2 == 0) fromCommands.insert(rotated({v[k], v[k + 1], v[k + 2]}));
                    else fromCommands.insert(rotated({v[k], v[k + 2], v[k + 1]}));
                }
                w += 4 + 12 * size_t(n);
            }
            EXPECT_EQ(fromTable, fromCommands) << mesh.name;
        }
    }
}

TEST_F(Md2Characters, FramesAreNamedByAnimationAndSkinsByFile) {
    const Md2Content& yoshi = built[6].meshes[0].content;
    EXPECT_EQ(yoshi.frames[0].name, "stand01");
    EXPECT_EQ(yoshi.frames[39].name, "stand40");
    EXPECT_EQ(yoshi.frames[40].name, "run01");
    EXPECT_EQ(yoshi.frames[186].name, "death201");
    EXPECT_EQ(yoshi.frames[198].name, "death308");
    EXPECT_EQ(yoshi.skinNames, std::vector<std::string>{"yoshi.bmp"});
    const std::vector<uint8_t> bytes = EncodeMd2(yoshi);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[size_t(IntAt(bytes, 44))])), "yoshi.bmp");
    const size_t frame40 = size_t(IntAt(bytes, 56)) + 40 * size_t(IntAt(bytes, 16));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[frame40 + 24])), "run01");
}

TEST_F(Md2Characters, StandOnTheFloorLeaveItInJumpsAndLieDownToDie) {
    for (size_t c = 0; c < built.size(); ++c) {
        const Md2Geometry body = Decode(EncodeMd2(built[c].meshes[0].content));
        const std::string& name = Characters()[c].folder;
        float low, high, standing;
        Heights(body, 0, &low, &standing);
        EXPECT_NEAR(low, -2.5f, 0.02f) << name << " stands on the floor";
        standing -= low;
        EXPECT_GT(standing, 3.0f) << name;
        Heights(body, 70, &low, &high);  // the middle of the jump
        EXPECT_GT(low, -2.5f + 0.8f) << name;
        Heights(body, 185, &low, &high);  // the end of the first death
        EXPECT_NEAR(low, -2.5f, 0.02f) << name;
        EXPECT_LT(high - low, standing * 0.75f) << name << " lies down";
    }
}

TEST_F(Md2Characters, NineDifferentBuilds) {
    std::set<std::pair<int, int>> builds;  // (vertices, height in tenths)
    for (const CharacterFiles& files : built) {
        const Md2Geometry body = Decode(EncodeMd2(files.meshes[0].content));
        float low, high;
        Heights(body, 0, &low, &high);
        builds.insert({body.vertexCount, int((high - low) * 10)});
    }
    EXPECT_EQ(builds.size(), 9u);
}

TEST_F(Md2Characters, SkinLowerHalfMirrorsTheUpperAndEveryCoordinateIsPainted) {
    for (size_t c = 0; c < built.size(); ++c) {
        const std::vector<uint8_t>& skin = built[c].skin;
        ASSERT_EQ(skin.size(), size_t(SkinWidth) * SkinHeight * 3);
        const size_t row = size_t(SkinWidth) * 3;
        for (int y = 0; y < SkinHeight / 2; ++y)
            ASSERT_TRUE(std::equal(&skin[y * row], &skin[(y + 1) * row], &skin[(SkinHeight - 1 - y) * row])) << y;
        for (const CharacterMesh& mesh : built[c].meshes) {
            for (const RigCommand& command : mesh.content.commands) {
                for (const CommandVertex& v : command.vertices) {
                    const uint8_t* p =
                        &skin[(size_t(std::min(v.t, SkinHeight - 1)) * SkinWidth + std::min(v.s, SkinWidth - 1)) * 3];
                    ASSERT_FALSE(p[0] == 128 && p[1] == 128 && p[2] == 128)
                        << Characters()[c].folder << " " << v.s << "," << v.t;
                }
            }
        }
    }
}

TEST_F(Md2Characters, SameFilesOnEveryRun) {
    const CharacterFiles again = BuildCharacter(Characters()[6]);
    EXPECT_EQ(EncodeMd2(again.meshes[0].content), EncodeMd2(built[6].meshes[0].content));
    EXPECT_EQ(again.skin, built[6].skin);
}

TEST(Md2Writer, NormalsBecomeTheNearestTableEntry) {
    EXPECT_EQ(NearestNormal({0, 0, 1}), 5);  // the table's straight up (file axes)
    EXPECT_EQ(NearestNormal({-0.52f, 0.01f, 0.86f}), 0);
    EXPECT_EQ(NearestNormal({-0.69f, -0.58f, -0.43f}), 161);
}

}  // namespace
