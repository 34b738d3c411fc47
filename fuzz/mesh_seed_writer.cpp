// Writes the seeds of the .bsp and X-mesh fuzzers: small trees (one node, a node with both
// subtrees, a short chain, a cut-off file) and X files as text, binary and compressed, with
// frames, a polygon, materials with a texture, normals, texture coordinates and colours.
#include "../tests/support/x_binary_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace demo_test;

namespace {

void Node(std::vector<uint8_t>* bytes, float z) {
    const float values[9] = {0, 0, z, 1, 0, z, 0, 1, z};
    bytes->push_back(1);
    for (float value : values) {
        uint8_t raw[4];
        std::memcpy(raw, &value, 4);
        bytes->insert(bytes->end(), raw, raw + 4);
    }
}

void WriteTrees(const std::string& folder) {
    std::vector<uint8_t> one;
    Node(&one, 0);
    one.insert(one.end(), {0, 0});
    WriteBytes(folder + "/one.bsp", one);
    std::vector<uint8_t> both;
    Node(&both, 0), Node(&both, 1), both.insert(both.end(), {0, 0}), Node(&both, -1), both.insert(both.end(), {0, 0});
    WriteBytes(folder + "/both.bsp", both);
    std::vector<uint8_t> chain;
    for (int i = 0; i < 6; ++i) Node(&chain, float(i));
    chain.insert(chain.end(), 7, 0);
    WriteBytes(folder + "/chain.bsp", chain);
    std::vector<uint8_t> cut = chain;
    cut.resize(37 * 2 + 20);
    WriteBytes(folder + "/cut.bsp", cut);
}

const char kText[] = R"(xof 0303txt 0032
Frame Outer {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 10.0,0.0,0.0,1.0;; }
 Mesh Pentagon {
  5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.5;1.0;0.0;, 0.5;1.5;0.0;, -0.5;1.0;0.0;;
  2; 5;0,1,2,3,4;, 3;0,2,4;;
  MeshNormals { 2; 0.0;0.0;-1.0;, 0.0;0.6;-0.8;; 2; 5;0,0,0,0,0;, 3;1,1,1;; }
  MeshTextureCoords { 5; 0.1;0.2;, 0.3;0.4;, 0.5;0.6;, 0.7;0.8;, 0.9;1.0;; }
  MeshVertexColors { 5; 0;1.0;0.0;0.0;1.0;;, 1;0.0;1.0;0.0;1.0;;, 2;0.0;0.0;1.0;1.0;;, 3;1.0;1.0;1.0;0.5;;, 4;0.0;0.0;0.0;0.0;;; }
  MeshMaterialList { 2; 2; 1, 0;;
   Material Red { 1.0;0.0;0.0;0.5;; 20.0; 0.25;0.5;0.75;; 0.1;0.2;0.3;; TextureFilename { "wood.bmp"; } }
   Material Blue { 0.0;0.0;1.0;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
  }
 }
 Frame Inner {
  FrameTransformMatrix { 0.0,1.0,0.0,0.0, -1.0,0.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,0.0,1.0;; }
  Mesh Tri { 3; 0.0;0.0;1.0;, 1.0;0.0;1.0;, 0.0;1.0;1.0;; 1; 3;0,1,2;; }
 }
}
)";

// Templates declared in the file, materials referenced by name and GUID, a mesh placed by a
// reference in a frame, vertex colours, and objects the mesh does not use.
const char kReferences[] = R"(xof 0303txt 0032
template Vector { <3D82AB5E-62DA-11CF-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Note { <01234567-89AB-CDEF-0123-456789ABCDEF> STRING text; array DWORD codes[2]; [...] }
Header { 1; 0; 1; }
Material Red { 1.0;0.0;0.0;1.0;; 8.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFileName { "maps\\red.bmp"; } }
Material Green { <0F0E0D0C-0B0A-0908-0706-050403020100> 0;1;0;1;; 1; 0;0;0;; 0;0;0;; }
Mesh Quad {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 2; 3;0,1,2;, 3;0,2,3;;
 MeshMaterialList { 2; 1; 1;; {Red} {<0F0E0D0C-0B0A-0908-0706-050403020100>} }
 MeshVertexColors { 2; 0; 1;0;0;1;;, 2; 0;0;1;0.5;;; }
 MeshNormals { 2; 0;0;1;, 0;0;-1;; 2; 3;0,0,0;, 3;1,1,1;; }
 Note { "a } in a string"; 1, 2; }
}
Frame Placed {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }
 {Quad}
 FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }
 {Quad}
}
AnimationSet { Animation { {Placed} AnimationKey { 0; 1; 0; 4; 1.0, 0.0, 0.0, 0.0;;; } } }
)";

std::vector<uint8_t> Binary() {
    XBinaryWriter x;
    x.Begin("Frame", "Outer").Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 0, 0, 1});
    x.Close();
    x.Begin("Mesh", "Pentagon").Integers({5}).Floats({0, 0, 0, 1, 0, 0, 1.5f, 1, 0, 0.5f, 1.5f, 0, -0.5f, 1, 0});
    x.Integers({2, 5, 0, 1, 2, 3, 4, 3, 0, 2, 4});
    x.Begin("MeshMaterialList").Integers({2, 2, 1, 0});
    x.Begin("Material", "Red").Floats({1, 0, 0, 0.5f, 20, 0.25f, 0.5f, 0.75f, 0.1f, 0.2f, 0.3f});
    x.Begin("TextureFilename").String("wood.bmp").Close().Close();
    x.Begin("Material", "Blue").Floats({0, 0, 1, 1, 5, 0, 0, 0, 0, 0, 0}).Close();
    x.Close();
    x.Begin("MeshTextureCoords").Integers({5}).Floats({0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f});
    x.Close().Close().Close();
    return x.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mesh_seed_writer BSP_DIR X_DIR\n");
        return 1;
    }
    WriteTrees(argv[1]);
    const std::string x = argv[2];
    const std::vector<uint8_t> text(kText, kText + std::strlen(kText));
    WriteBytes(x + "/frames.x", text);
    WriteBytes(x + "/pentagon_bin.x", Binary());
    WriteBytes(x + "/frames_tzip.x", CompressedX(text));
    WriteBytes(x + "/pentagon_bzip.x", CompressedX(Binary()));
    WriteBytes(x + "/references.x", std::vector<uint8_t>(kReferences, kReferences + std::strlen(kReferences)));
    return 0;
}
