// The X reader's own rules, end to end through D3DXLoadMeshFromXW: binary tokens of every kind,
// 64-bit floats, templates declared in the file, references, objects the mesh does not use,
// the frame walk and vertex order D3DX gives, the text separators, and hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "d3dx/x_tokens.h"
#include "tests/platform/d3dx/x_mesh_fixture.h"

using namespace x_mesh_test;

namespace {

// Binary token codes, as Microsoft documents them.
enum : uint16_t {
    kOpenBrace = 10,
    kCloseBrace = 11,
    kOpenBracket = 14,
    kCloseBracket = 15,
    kDot = 18,
    kSemicolon = 20,
    kTemplate = 31,
    kDword = 41,
    kFloat = 42,
    kArray = 52,
};

// Material's standard GUID, 3D82AB4D-62DA-11CF-AB39-0020AF71E433.
const std::vector<uint8_t> kMaterialGuidTail = {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33};

}  // namespace

// A template "Paint" declared in binary with Material's GUID, so its objects are materials;
// nVertices as a lone integer, the positions split over two float lists, nFaces and every face
// in one integer list, and a {<GUID>} reference to a top-level material.
TEST_F(XMeshTest, BinaryTokensOfEveryKindGiveTheMesh) {
    XBinaryWriter x;
    x.Token(kTemplate).Name("Paint").Token(kOpenBrace).Guid(0x3D82AB4D, 0x62DA, 0x11CF, kMaterialGuidTail);
    x.Token(kArray).Token(kFloat).Name("values").Token(kOpenBracket).Integer(11).Token(kCloseBracket).Token(kSemicolon);
    x.Token(kDword).Name("spare").Token(kSemicolon);
    x.Token(kOpenBracket).Token(kDot).Token(kDot).Token(kDot).Token(kCloseBracket).Token(kCloseBrace);
    x.Begin("Material", "Blue").Guid(0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16});
    x.Floats({0, 0, 1, 1, 5, 0, 0, 0, 0, 0, 0}).Close();
    x.Begin("Mesh", "Pair").Integer(4).Token(kSemicolon).Floats({0, 0, 0, 1, 0, 0}).Floats({1, 1, 0, 0, 1, 0});
    x.Integers({2, 3, 0, 1, 2, 3, 0, 2, 3});
    x.Begin("MeshMaterialList").Integers({2, 2, 1, 0});
    x.Begin("Paint", "Red").Floats({1, 0, 0, 1, 7, 0, 0, 0, 0, 0, 0});
    x.Begin("TextureFilename").String("red.bmp").Close().Close();
    x.Token(kOpenBrace).Guid(0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}).Token(kCloseBrace);
    x.Close().Close();
    ASSERT_EQ(Load(x.Bytes()), D3D_OK);
    ASSERT_EQ(count, 2u) << "the mesh's two materials only, not the top-level Blue as well";
    ExpectColour(Material(0).MatD3D.Diffuse, 1, 0, 0, 1);
    EXPECT_STREQ(Material(0).pTextureFilename, "red.bmp");
    ExpectColour(Material(1).MatD3D.Diffuse, 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(Material(1).MatD3D.Power, 5.0f);
    ASSERT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(Attributes(), (std::vector<DWORD>{0, 1}));
    const std::vector<DWORD> indices = Indices();
    // Face 1 (0, 2, 3) has material 0 and comes first after sorting.
    EXPECT_EQ(Position(indices[1]), D3DXVECTOR3(1, 1, 0));
    EXPECT_EQ(Position(indices[2]), D3DXVECTOR3(0, 1, 0));
}

TEST_F(XMeshTest, SixtyFourBitFloatsAreNarrowedToFloats) {
    XBinaryWriter x{XBinaryWriter::WideFloats{}};
    const double third = 1.0 / 3.0;
    x.Begin("Mesh").Integers({3}).Doubles({third, 0, 0, 1, 0, 0, 0, 1e300, 0}).Integers({1, 3, 0, 1, 2}).Close();
    ASSERT_EQ(Load(x.Bytes()), D3D_OK);
    EXPECT_EQ(Position(0).x, static_cast<float>(third));
    EXPECT_EQ(Position(2).y, HUGE_VALF) << "beyond the float range: infinity";
}

// Templates restated and one of the file's own, an object named with another letter case,
// and objects the mesh does not use, some of them malformed for what they are: the pentagon
// loads exactly as without them.
TEST_F(XMeshTest, DeclaredTemplatesAndUnusedObjectsLeaveTheMeshAsItIs) {
    std::string text = kPentagonText;
    text.insert(text.find("Mesh Pentagon"), R"(
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Note { <01234567-89AB-CDEF-0123-456789ABCDEF> STRING text; DWORD n; array DWORD codes[n]; [...] }
Header { 1; 0; 1; }
AnimTicksPerSecond { 4800; }
Note { "a } and a { in a string"; 2; 7, 8; }
AnimationSet Walk { Animation { {Pentagon} AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; } } }
)");
    text.insert(text.find(" MeshTextureCoords"), R"(
 XSkinMeshHeader { 1; 2; 1; }
 SkinWeights { "Bone"; 2; 900, 901; 0.5, 0.5; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }
 Unknown { 1; 2; Nested { "x"; } }
)");
    const size_t texture = text.find("TextureFilename");
    text.replace(texture, std::strlen("TextureFilename"), "TextureFileName");
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ExpectPentagon();
}

TEST_F(XMeshTest, MaterialListsReferringByNameGetThoseMaterialsInReferenceOrder) {
    const char text[] = R"(xof 0303txt 0032
Material Unused { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }
Material Green { 0;1;0;1;; 0; 0;0;0;; 0;0;0;; }
Material Red { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "red.bmp"; } }
Mesh Pair {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshMaterialList { 2; 2; 0, 1;; {Red} {Green} }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ASSERT_EQ(count, 2u);
    ExpectColour(Material(0).MatD3D.Diffuse, 1, 0, 0, 1);
    EXPECT_STREQ(Material(0).pTextureFilename, "red.bmp");
    ExpectColour(Material(1).MatD3D.Diffuse, 0, 1, 0, 1);
    EXPECT_EQ(Attributes(), (std::vector<DWORD>{0, 1}));
}

// One frame: mesh A, +2 in z, mesh B, +3 in z, mesh C, then a child frame (+10) with mesh D
// and, after it, the frame's own mesh E; a top-level mesh F beside the frame stays unmoved,
// and a frame elsewhere places a reference to A by its own transform (+100).
TEST_F(XMeshTest, FramesAreWalkedInFileOrderAndTransformsApplyToWhatFollows) {
    auto triangle = [](const char* name) {
        return std::string("Mesh ") + name + " { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    };
    auto moveZ = [](int z) {
        return "FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0," + std::to_string(z) + ",1;; }\n";
    };
    const std::string text = "xof 0303txt 0032\n" + triangle("F") + "Frame Outer {\n" + triangle("A") + moveZ(2) +
                             triangle("B") + moveZ(3) + triangle("C") + "Frame Inner {\n" + moveZ(10) +
                             triangle("D") + "}\n" + triangle("E") + "}\nFrame Other {\n" + moveZ(100) + "{A}\n}\n";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ASSERT_EQ(mesh->GetNumFaces(), 7u);
    EXPECT_EQ(mesh->GetNumVertices(), 21u) << "every mesh's vertices kept, meshes one after another";
    // F, A, B, C, D (inside Inner: 5 + 10), E, and A again under Other.
    const std::vector<DWORD> indices = Indices();
    std::vector<float> z;
    for (size_t face = 0; face < indices.size() / 3; ++face) z.push_back(Position(indices[face * 3]).z);
    EXPECT_EQ(z, (std::vector<float>{0, 0, 2, 5, 15, 5, 100}));
}

// Four vertices, the last used by no face; normals for the faces; a colour for vertex 0 only.
TEST_F(XMeshTest, VerticesStayInFileOrderAndUncolouredOnesAreWhiteWithoutAlpha) {
    const char text[] = R"(xof 0303txt 0032
Mesh Partial {
 4; 0;0;0;, 1;0;0;, 0;1;0;, 9;9;9;;
 1; 3;2,1,0;;
 MeshNormals { 1; 0;0;-2;; 1; 3;0,0,0;; }
 MeshVertexColors { 1; 0; 1;0;0;1;;; }
}
)";
    ASSERT_EQ(Load(Bytes(text)), D3D_OK);
    ASSERT_EQ(mesh->GetNumVertices(), 4u);
    EXPECT_EQ(Indices(), (std::vector<DWORD>{2, 1, 0}));
    // Position, normal, colour: seven floats a vertex.
    const std::vector<float> unused = Vertex(3);
    EXPECT_EQ(D3DXVECTOR3(unused[0], unused[1], unused[2]), D3DXVECTOR3(9, 9, 9));
    EXPECT_EQ(D3DXVECTOR3(unused[3], unused[4], unused[5]), D3DXVECTOR3(0, 0, 0)) << "no face gave it a normal";
    EXPECT_EQ(Vertex(0)[5], -1.0f);
    auto colour = [&](DWORD vertex) {
        DWORD c;
        std::memcpy(&c, &Vertex(vertex)[6], sizeof(c));
        return c;
    };
    EXPECT_EQ(colour(0), 0xFFFF0000u);
    EXPECT_EQ(colour(1), 0x00FFFFFFu);
    EXPECT_EQ(colour(3), 0x00FFFFFFu);
}

// In text every number needs a ',' or ';' after it: one ',', or any run of ';' with at most
// one ',' after it.
TEST_F(XMeshTest, TextSeparatorsFollowTheRulesD3DXEnforces) {
    auto file = [](const std::string& faces) {
        return Bytes("xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; " + faces + " }\n");
    };
    for (const char* good : {"1; 3; 0; 1; 2;;", "1, 3, 0, 1, 2,", "1;;;;;, 3;0,1,2;;;", "1;\n3 ;0 , 1 ,2 ;;"}) {
        EXPECT_EQ(Load(file(good)), D3D_OK) << good;
    }
    for (const char* bad : {"1; 3; 0,, 1, 2;;", "1; 3; 0,; 1, 2;;", "1; 3; 0 1 2;;", "1; 3; 0, 1, 2"}) {
        EXPECT_EQ(Load(file(bad)), D3DXERR_INVALIDDATA) << bad;
    }
}

TEST_F(XMeshTest, HostileFilesFailWithoutAMesh) {
    const std::vector<uint8_t> binary = PentagonBinary();
    for (size_t size = 0; size < binary.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(FAILED(Load(std::vector<uint8_t>(binary.begin(), binary.begin() + size))));
        EXPECT_EQ(mesh, nullptr);
    }
    const std::string triangle = "3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;";
    const std::string material = "Material M { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }\n";
    for (const std::string& text : std::vector<std::string>{
             "Mesh { " + triangle + " MeshMaterialList { 1; 1; 0;; TextureFilename { \"open; } } }",
             "Mesh { " + triangle + " MeshMaterialList { 1; 1; 0;; {Nothing} } }",
             material + "Frame F { {Nowhere} Mesh { " + triangle + " } }",
             "Frame Loop { Mesh { " + triangle + " } {Loop} }",
             "Frame Up { Frame Down { {Up} } Mesh { " + triangle + " } }",
             "Mesh { 4294967296; }",
             "Mesh { " + triangle + " MeshNormals { 1; 0;0;1;; 1; 3;0,0,1;; } }",
             "Mesh { " + triangle + " MeshTextureCoords { 2; 0;0;, 1;1;; } }",
         }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Load(Bytes("xof 0303txt 0032\n" + text + "\n")), D3DXERR_INVALIDDATA);
        EXPECT_EQ(mesh, nullptr);
    }
    // A binary list promising far more numbers than the file holds.
    XBinaryWriter x;
    x.Begin("Mesh").Integers({3});
    std::vector<uint8_t> bytes = x.Bytes();
    const uint8_t hugeList[] = {7, 0, 0xFF, 0xFF, 0xFF, 0x3F};
    bytes.insert(bytes.end(), std::begin(hugeList), std::end(hugeList));
    EXPECT_EQ(Load(bytes), D3DXERR_INVALIDDATA);
}

// The text lexer's floats against strtof's reading of the same digits, bit for bit.
TEST(XLexerTest, TextFloatsAreTheNearestFloat) {
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        std::string digits = std::to_string(random() % 1000000000u >> (random() % 30));
        const size_t point = random() % (digits.size() + 1);
        std::string number = (random() % 2 ? "-" : "") + digits.substr(0, point) + "." + digits.substr(point);
        if (point == 0) number.insert(number.find('.'), "0");
        if (random() % 8 == 0) number += "e" + std::to_string(int(random() % 60) - 30);
        const std::string file = number + ";";
        platform::d3dx::XBody body;
        body.bytes = platform::d3dx::Bytes(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        platform::d3dx::XLexer lexer(body);
        platform::d3dx::XTokenValue token;
        std::string error;
        ASSERT_TRUE(lexer.Next(&token, &error)) << number << ": " << error;
        ASSERT_EQ(token.kind, platform::d3dx::XToken::Float) << number;
        const float expected = std::strtof(number.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&token.number, &expected, sizeof(float)), 0) << number;
    }
}
