// The shared tree mesh: its file read field by field into a mesh on the trace device, every
// malformed file refused without a mesh, and the moves that place it at each tree.
#include "scene/tree_mesh.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <optional>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

// Byte offsets in SmallTree(), counted by hand: 12 bytes of counts, 8 of faces per texture,
// two names of 4 + 20 × 2 bytes, 6 vertices of 20 bytes, 12 indices of 2, 4 ids of 4.
constexpr size_t kFaceCountAt = 0, kVertexCountAt = 4, kTextureCountAt = 8, kFacesPerTextureAt = 12;
constexpr size_t kFirstNameAt = 20, kVerticesAt = 108, kIndicesAt = 228, kAttributesAt = 252, kFileSize = 268;

std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, size_t at, uint32_t value, int width = 4) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
}

class TreeMeshTest : public SceneTest {
protected:
    void ReleaseDeviceObjects() override { tree.Release(); }

    bool LoadBytes(const std::vector<uint8_t>& bytes) {
        folder->Write("tree.mesh", std::string(bytes.begin(), bytes.end()));
        return tree.Load(device, L"..//Resource//tree.mesh", 1.0f);
    }

    std::vector<TreeVertex> Vertices() {
        void* data = nullptr;
        EXPECT_EQ(tree.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const auto* first = static_cast<const TreeVertex*>(data);
        std::vector<TreeVertex> vertices(first, first + tree.mesh->GetNumVertices());
        tree.mesh->UnlockVertexBuffer();
        return vertices;
    }

    TreeMesh tree;
};

TEST_F(TreeMeshTest, ParsesEveryFieldOfAWellFormedFile) {
    const std::vector<uint8_t> bytes = SmallTree().bytes;
    ASSERT_EQ(bytes.size(), kFileSize);
    const std::optional<TreeMeshFile> file = ParseTreeMesh(bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->faceCount, 4u);
    EXPECT_EQ(file->vertexCount, 6u);
    EXPECT_EQ(file->facesPerTexture, (std::vector<uint32_t>{3, 1}));
    EXPECT_EQ(file->textureNames, (std::vector<std::wstring>{L"..\\Resource\\bark.bmp", L"..\\Resource\\leaf.bmp"}));
    ASSERT_EQ(file->vertices.size(), 6u);
    EXPECT_EQ(file->vertices[4].x, 4.0f);
    EXPECT_EQ(file->vertices[4].y, 5.0f);
    EXPECT_EQ(file->vertices[4].z, 6.0f);
    EXPECT_EQ(file->vertices[4].u, 0.5f);
    EXPECT_EQ(file->vertices[4].v, 0.5f);
    EXPECT_EQ(file->indices, std::vector<uint16_t>(std::begin(kSmallTreeIndices), std::end(kSmallTreeIndices)));
    EXPECT_EQ(file->attributes, (std::vector<uint32_t>{0, 0, 0, 1}));
}

TEST_F(TreeMeshTest, LoadStoresPositionsFirstAndTextureCoordinatesLast) {
    folder->Write("bark.bmp", TinyBitmap());  // leaf.bmp stays missing
    ASSERT_TRUE(LoadBytes(SmallTree().bytes));
    ASSERT_NE(tree.mesh, nullptr);
    EXPECT_EQ(tree.mesh->GetFVF(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_TEX1));
    EXPECT_EQ(tree.mesh->GetNumBytesPerVertex(), 20u);
    EXPECT_EQ(tree.mesh->GetNumFaces(), 4u);
    EXPECT_EQ(tree.faceCount, 4u);
    EXPECT_EQ(tree.vertexCount, 6u);
    EXPECT_EQ(tree.textureCount, 2u);
    EXPECT_EQ(tree.facesPerTexture, (std::vector<DWORD>{3, 1}));
    EXPECT_EQ(tree.position, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(tree.scale, 1.0f);

    // Memory holds x, y, z, u, v: the raw floats, not the struct the code uses.
    void* data = nullptr;
    ASSERT_EQ(tree.mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    const float* floats = static_cast<const float*>(data);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(floats[5 * i + 0], kSmallTreeCorners[i][0]) << "vertex " << i;
        EXPECT_EQ(floats[5 * i + 1], kSmallTreeCorners[i][1]) << "vertex " << i;
        EXPECT_EQ(floats[5 * i + 2], kSmallTreeCorners[i][2]) << "vertex " << i;
        EXPECT_EQ(floats[5 * i + 3], i / 8.0f) << "vertex " << i;
        EXPECT_EQ(floats[5 * i + 4], 1 - i / 8.0f) << "vertex " << i;
    }
    tree.mesh->UnlockVertexBuffer();

    ASSERT_EQ(tree.mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    EXPECT_EQ(std::memcmp(data, kSmallTreeIndices, sizeof kSmallTreeIndices), 0);
    tree.mesh->UnlockIndexBuffer();
    DWORD* ids = nullptr;
    ASSERT_EQ(tree.mesh->LockAttributeBuffer(D3DLOCK_READONLY, &ids), D3D_OK);
    EXPECT_EQ(std::vector<DWORD>(ids, ids + 4), (std::vector<DWORD>{0, 0, 0, 1}));
    tree.mesh->UnlockAttributeBuffer();

    // The missing picture leaves its subset untextured, without a message.
    ASSERT_EQ(tree.textures.size(), 2u);
    EXPECT_NE(tree.textures[0], nullptr);
    EXPECT_EQ(tree.textures[1], nullptr);
    EXPECT_TRUE(boxes.empty());

    ASSERT_TRUE(tree.Lock());
    const BspTriangle face = tree.Face(3);  // indices 1, 4, 5
    tree.Unlock();
    EXPECT_EQ(face.p1, D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(face.p2, D3DXVECTOR3(4, 5, 6));
    EXPECT_EQ(face.p3, D3DXVECTOR3(-1, 7, 2));
}

TEST_F(TreeMeshTest, DrawsEachSubsetWithItsTextureThenClearsIt) {
    folder->Write("leaf.bmp", TinyBitmap());
    ASSERT_TRUE(LoadBytes(SmallTree().bytes));
    host::ClearTrace(device);
    tree.Draw();
    std::vector<std::string> textureAndDraws;
    for (const std::string& call : host::TraceCalls(device)) {
        if (call.rfind("SetTexture", 0) == 0) textureAndDraws.push_back(call);
        if (call.rfind("DrawIndexedPrimitive(", 0) == 0) textureAndDraws.push_back("Draw");
    }
    EXPECT_EQ(textureAndDraws, (std::vector<std::string>{"SetTexture(0, null)", "Draw", "SetTexture(0, ptr)", "Draw",
                                                         "SetTexture(0, null)"}));
    EXPECT_EQ(CountOf("SetMaterial"), 0);
}

TEST_F(TreeMeshTest, MissingFileLeavesNoMeshAndShowsNothing) {
    EXPECT_FALSE(tree.Load(device, L"..//Resource//tree.mesh", 1.0f));
    EXPECT_EQ(tree.mesh, nullptr);
    EXPECT_TRUE(boxes.empty());
    tree.Draw();
    tree.Move(D3DXVECTOR3(5, 6, 7));  // without a mesh only the place is kept
    EXPECT_EQ(tree.position, D3DXVECTOR3(5, 6, 7));
    EXPECT_FALSE(tree.Lock());
}

TEST_F(TreeMeshTest, RefusesCountsIndicesAndIdsBeyondWhatTheFileHolds) {
    const std::vector<uint8_t> good = SmallTree().bytes;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"face count beyond the file", Patched(good, kFaceCountAt, 0x40000000)},
        {"face count one too many", Patched(good, kFaceCountAt, 5)},
        {"vertex count beyond the file", Patched(good, kVertexCountAt, 0xFFFFFFFF)},
        {"vertex count one too many", Patched(good, kVertexCountAt, 7)},
        {"more vertices than 16-bit indices reach", Patched(good, kVertexCountAt, 70000)},
        {"texture count beyond the file", Patched(good, kTextureCountAt, 0xFFFFFFFF)},
        {"faces of a texture beyond the face count", Patched(good, kFacesPerTextureAt, 5)},
        {"name length beyond the file", Patched(good, kFirstNameAt, 0xFFFFFFFF)},
        {"index equal to the vertex count", Patched(good, kIndicesAt + 2 * 7, 6, 2)},
        {"index far beyond the vertex count", Patched(good, kIndicesAt, 0xFFFF, 2)},
        {"subset id equal to the texture count", Patched(good, kAttributesAt + 4 * 3, 2)},
        {"subset id far beyond", Patched(good, kAttributesAt, 0x80000000)},
    };
    // The last index and the last id are in range: the checks are not off by one.
    ASSERT_TRUE(ParseTreeMesh(Patched(good, kIndicesAt + 2 * 11, 5, 2)).has_value());
    ASSERT_TRUE(ParseTreeMesh(Patched(good, kAttributesAt, 1)).has_value());
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseTreeMesh(c.bytes).has_value()) << c.what;
        EXPECT_FALSE(LoadBytes(c.bytes)) << c.what;
        EXPECT_EQ(tree.mesh, nullptr) << c.what;
    }
    EXPECT_TRUE(boxes.empty());
}

// Every subset is drawn each frame, so a file of millions of empty subsets is no tree.
TEST_F(TreeMeshTest, RefusesMoreTexturesThanATreeHas) {
    auto withTextures = [](uint32_t textures) {
        std::vector<uint8_t> bytes;
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        u32(1), u32(3), u32(textures);
        for (uint32_t t = 0; t < 2 * textures; ++t) u32(0);  // no faces, then an empty name, each
        for (int v = 0; v < 3 * 5; ++v) u32(0);
        bytes.insert(bytes.end(), {0, 0, 1, 0, 2, 0});
        u32(0);
        return bytes;
    };
    EXPECT_TRUE(ParseTreeMesh(withTextures(kMaxTreeTextures)).has_value());
    EXPECT_FALSE(ParseTreeMesh(withTextures(kMaxTreeTextures + 1)).has_value());
}

TEST_F(TreeMeshTest, RefusesANameBeyondASaneLengthButTakesAPathLongName) {
    TreeMeshBytes huge;
    huge.U32(1).U32(3).U32(1).U32(1).Name(std::u16string(100000, u'a'));
    for (int i = 0; i < 15; ++i) huge.F32(0);
    huge.U16(0).U16(1).U16(2).U32(0);
    EXPECT_FALSE(ParseTreeMesh(huge.bytes).has_value());

    TreeMeshBytes longName;
    longName.U32(1).U32(3).U32(1).U32(1).Name(std::u16string(260, u'a'));
    for (int i = 0; i < 15; ++i) longName.F32(0);
    longName.U16(0).U16(1).U16(2).U32(0);
    const std::optional<TreeMeshFile> file = ParseTreeMesh(longName.bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->textureNames[0], std::wstring(260, L'a'));
}

TEST_F(TreeMeshTest, RefusesTheFileCutAtEveryLength) {
    const std::vector<uint8_t> good = SmallTree().bytes;
    for (size_t length = 0; length < good.size(); ++length) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
        EXPECT_FALSE(ParseTreeMesh(cut).has_value()) << length << " bytes";
        if (length % 16 == 0 || length + 1 == good.size()) {
            EXPECT_FALSE(LoadBytes(cut)) << length << " bytes";
            EXPECT_EQ(tree.mesh, nullptr) << length << " bytes";
        }
    }
    EXPECT_TRUE(LoadBytes(good));
}

TEST_F(TreeMeshTest, NameEndsAtItsFirstNulAndKeepsCharactersBeyondTheBasicPlane) {
    TreeMeshBytes bytes;
    bytes.U32(1).U32(3).U32(2).U32(1).U32(0);
    bytes.Name(std::u16string(u"leaf.dds\0junk", 13));
    bytes.Name(u"\u6811\U0001F332.dds");  // "树", a tree emoji (a surrogate pair), ".dds"
    for (int i = 0; i < 15; ++i) bytes.F32(0);
    bytes.U16(0).U16(1).U16(2).U32(1);
    const std::optional<TreeMeshFile> file = ParseTreeMesh(bytes.bytes);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->textureNames[0], L"leaf.dds");
    EXPECT_EQ(file->textureNames[1], L"\u6811\U0001F332.dds");
}

// The names come from the file: one naming a device that never ends or a FIFO that nobody
// writes must neither hang the load nor use up the memory.
TEST_F(TreeMeshTest, TextureNamedAfterADeviceOrAFifoLeavesItsSubsetUntextured) {
    ASSERT_EQ(mkfifo(folder->Path("pipe").c_str(), 0600), 0);
    TreeMeshBytes bytes;
    bytes.U32(1).U32(3).U32(2).U32(1).U32(0).Name(u"/dev/zero").Name(u"..\\Resource\\pipe");
    for (int i = 0; i < 15; ++i) bytes.F32(0);
    bytes.U16(0).U16(1).U16(2).U32(1);
    ASSERT_TRUE(LoadBytes(bytes.bytes));
    EXPECT_EQ(tree.textures, (std::vector<IDirect3DTexture9*>{nullptr, nullptr}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TreeMeshTest, MovingTwiceToOnePlaceChangesNothing) {
    ASSERT_TRUE(LoadBytes(SmallTree().bytes));
    const D3DXVECTOR3 place(0.1f, -0.7f, 312.3f);
    tree.Move(place);
    const std::vector<TreeVertex> once = Vertices();
    EXPECT_FLOAT_EQ(once[4].x, 4.1f);
    EXPECT_FLOAT_EQ(once[4].y, 4.3f);
    EXPECT_FLOAT_EQ(once[4].z, 318.3f);
    EXPECT_EQ(once[4].u, 0.5f) << "texture coordinates stay";
    tree.Move(place);
    const std::vector<TreeVertex> twice = Vertices();
    EXPECT_EQ(std::memcmp(once.data(), twice.data(), once.size() * sizeof(TreeVertex)), 0);
}

TEST_F(TreeMeshTest, RescaleScalesAboutTheOriginNotThePosition) {
    ASSERT_TRUE(LoadBytes(SmallTree().bytes));
    tree.Move(D3DXVECTOR3(10, 0, 0));
    tree.Rescale(2.0f);
    const std::vector<TreeVertex> vertices = Vertices();
    EXPECT_FLOAT_EQ(vertices[4].x, 28.0f);  // (4 + 10) × 2
    EXPECT_FLOAT_EQ(vertices[4].y, 10.0f);
    EXPECT_FLOAT_EQ(vertices[4].z, 12.0f);
    EXPECT_EQ(tree.scale, 2.0f);
}

}  // namespace
