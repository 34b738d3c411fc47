// X files that are unusual or malformed: compressed blocks that refer back, broken compression,
// bare commas, deep nesting, counts far beyond the file. Each either loads as D3DX would or
// fails with D3DXERR_INVALIDDATA, and never harms the caller.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/d3dx/x_mesh_fixture.h"

using namespace x_mesh_test;

namespace {

// Compresses as D3DX does, with real deflate data: one raw deflate stream, flushed at the end
// of every 32 KiB block so each block starts on a boundary but may refer back to the one
// before it.
std::vector<uint8_t> DeflatedX(const std::vector<uint8_t>& plain) {
    std::vector<uint8_t> out(plain.begin(), plain.begin() + 16);
    std::memcpy(out.data() + 8, "tzip", 4);
    auto put = [&](size_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    put(plain.size(), 4);
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    for (size_t start = 16; start < plain.size(); start += 32768) {
        const size_t length = std::min<size_t>(32768, plain.size() - start);
        std::vector<uint8_t> packed(length + 1024);
        stream.next_in = const_cast<Bytef*>(plain.data() + start);
        stream.avail_in = static_cast<uInt>(length);
        stream.next_out = packed.data();
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, start + length == plain.size() ? Z_FINISH : Z_SYNC_FLUSH);
        packed.resize(packed.size() - stream.avail_out);
        put(length, 2);
        put(packed.size() + 2, 2);
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), packed.begin(), packed.end());
    }
    deflateEnd(&stream);
    return out;
}

// The pentagon file with a long, repetitive comment before the mesh.
std::vector<uint8_t> PaddedPentagon(size_t commentLines) {
    std::string text = kPentagonText;
    std::string comment;
    for (size_t i = 0; i < commentLines; ++i) comment += "// the same comment line, " + std::to_string(i % 7) + "\n";
    text.insert(text.find("Mesh Pentagon"), comment);
    return Bytes(text);
}

}  // namespace

TEST_F(XMeshTest, CompressedBlocksMayReachBackIntoTheBlockBefore) {
    const std::vector<uint8_t> plain = PaddedPentagon(4000);
    ASSERT_GT(plain.size(), 3u * 32768);
    const std::vector<uint8_t> packed = DeflatedX(plain);
    ASSERT_LT(packed.size(), plain.size() / 10) << "really compressed";
    ASSERT_EQ(Load(packed), D3D_OK);
    ExpectPentagon();
    // Several stored blocks.
    ASSERT_EQ(Load(CompressedX(plain)), D3D_OK);
    ExpectPentagon();
}

TEST_F(XMeshTest, BrokenCompressedFilesFailCleanly) {
    const std::vector<uint8_t> good = DeflatedX(PaddedPentagon(2000));
    std::vector<uint8_t> bad = good;
    bad[16 + 4 + 4] = 'X';  // the first block's signature
    EXPECT_EQ(Load(bad), D3DXERR_INVALIDDATA);
    bad = good;
    bad.resize(bad.size() - 10);  // the last block cut short
    EXPECT_EQ(Load(bad), D3DXERR_INVALIDDATA);
    bad = good;
    for (size_t i = 16 + 4 + 6; i < 16 + 4 + 6 + 40; ++i) bad[i] ^= 0x5A;  // deflate data spoiled
    EXPECT_TRUE(FAILED(Load(bad)));
    EXPECT_EQ(mesh, nullptr);
}

// A number written without a decimal point and directly followed by ",digit" must not take the
// comma for a decimal point: this matrix row reads 1, 0, 0, 0.
TEST_F(XMeshTest, IntegerMatrixEntriesSeparatedByBareCommasReadAsNumbers) {
    const char text[] = R"(xof 0303txt 0032
Frame Moved {
 FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,3,4,5,1;; }
 Mesh Tri {
  3; 0;0;0;, 1;0;0;, 0;1;0;;
  1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "a,1.bmp"; } } }
 }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    const std::vector<DWORD> indices = Indices();
    EXPECT_EQ(Position(indices[0]), D3DXVECTOR3(3, 4, 5));
    EXPECT_EQ(Position(indices[1]), D3DXVECTOR3(4, 4, 5));
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(Material(0).pTextureFilename, "a,1.bmp") << "strings keep their commas";
}

// Nesting is walked with the reader's own stack, however deep the file makes it.
TEST_F(XMeshTest, FramesNestedAMillionDeepLoad) {
    constexpr int kDepth = 1000000;
    std::string text = "xof 0303txt 0032\n";
    for (int i = 0; i < kDepth; ++i) text += "Frame{\n";
    text += "Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }\n";
    text += std::string(kDepth, '}');
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);

    demo_test::XBinaryWriter x;
    for (int i = 0; i < kDepth; ++i) x.Begin("Frame");
    x.Begin("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 3, 0, 1, 2}).Close();
    for (int i = 0; i < kDepth; ++i) x.Close();
    ASSERT_EQ(Load(x.Bytes()), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);
    // Unclosed, the same nesting fails without harm.
    text.resize(text.size() - kDepth);
    EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
}

// Each frame is walked with state sized once for the file, not once per frame: a million
// frames side by side read in about the time of one pass over them.
TEST_F(XMeshTest, AMillionFramesSideBySideLoad) {
    constexpr int kFrames = 1000000;
    std::string text = "xof 0303txt 0032\n";
    text.reserve(text.size() + kFrames * 9 + 200);
    for (int i = 0; i < kFrames; ++i) text += "Frame{}\n";
    text += "Frame { Mesh { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; } }\n";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);
}

// Counts are checked against the numbers the file holds before anything is allocated: a tiny
// file declaring a billion vertices (12 GB of them) or a face of four million corners fails
// at once instead of taking the memory.
TEST_F(XMeshTest, CountsFarBeyondTheFileFailWithoutTakingTheirMemory) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Load(Bytes("xof 0303txt 0032\nMesh { 1000000000; }\n")), D3DXERR_INVALIDDATA);
    demo_test::XBinaryWriter x;
    x.Begin("Mesh").Integers({3}).Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}).Integers({1, 4000000, 0, 1, 2}).Close();
    EXPECT_EQ(Load(x.Bytes()), D3DXERR_INVALIDDATA);
    demo_test::XBinaryWriter y;
    y.Begin("Mesh").Integers({300000000}).Close();
    EXPECT_EQ(Load(y.Bytes()), D3DXERR_INVALIDDATA);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10.0) << "read by sizing arrays first, these took over 40 s and 12 GB";
    EXPECT_EQ(mesh, nullptr);
}

// A fuzzer's find: a material list naming materials it does not have, after malformed numbers.
TEST_F(XMeshTest, AMaterialListWithoutItsMaterialsFailsAndTheNextFileLoads) {
    const char text[] =
        "xof 0303txt 0032\n"
        "Fy {; }Mesh Pe{5;0;0;0, 1.;1;0, .5;0;0; 2,2,3,4;2; 1,0;MeshMaterialList { 2; 1,0;\n"
        "}}";
    EXPECT_EQ(Load(Bytes(text)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
    ASSERT_EQ(Load(Bytes(kPentagonText)), D3D_OK) << "and the next file loads";
    ExpectPentagon();
}
