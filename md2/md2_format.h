// The MD2 model file, version 8, as it lies on disk: little-endian ints and floats. Read by
// the loader (md2_mesh.cpp) and written by the resource generator, so both take their sizes
// and offsets from here.
//
//   header (68 bytes)   17 ints: magic, version, skin size, frame size, counts, offsets
//   skin names          64 bytes each
//   texture coordinates two shorts (s, t) in skin pixels, t from the top row
//   triangles           three vertex indices, then three texture-coordinate indices (shorts)
//   frames              scale (3 floats), translation (3 floats), name (16 bytes), then one
//                       packed vertex per model vertex: x, y, z bytes and a normal index
//   command list        ints: a count c (c > 0 a strip of c vertices, c < 0 a fan of -c,
//                       0 the end), then per vertex float s, float t and the vertex index
#pragma once

#include <cstdint>

namespace md2 {

constexpr int32_t FileMagic = 0x32504449;  // the bytes "IDP2"
constexpr int32_t FileVersion = 8;

// Byte offsets of the header's ints.
enum HeaderField : int {
    MagicField = 0,
    VersionField = 4,
    SkinWidthField = 8,
    SkinHeightField = 12,
    FrameSizeField = 16,
    SkinCountField = 20,
    VertexCountField = 24,
    TexCoordCountField = 28,
    TriangleCountField = 32,
    CommandWordsField = 36,
    FrameCountField = 40,
    SkinOffsetField = 44,
    TexCoordOffsetField = 48,
    TriangleOffsetField = 52,
    FrameOffsetField = 56,
    CommandOffsetField = 60,
    EndOffsetField = 64,
};
constexpr int HeaderSize = 68;

constexpr int SkinNameSize = 64;
constexpr int TexCoordSize = 4;   // two shorts
constexpr int TriangleSize = 12;  // six shorts

// A frame record: scale and translation of the packed positions, a name, then the vertices.
constexpr int FrameScaleOffset = 0;
constexpr int FrameTranslationOffset = 12;
constexpr int FrameNameOffset = 24;
constexpr int FrameNameSize = 16;
constexpr int FrameHeaderSize = 40;
constexpr int PackedVertexSize = 4;  // three position bytes and a normal index

// Command list: one count word, then three words (s, t, vertex index) per vertex.
constexpr int CommandWordSize = 4;
constexpr int WordsPerCommandVertex = 3;

// The most a model holds, as Quake II's own tools and engine allow: the files of the kind are
// far smaller (a character has a few hundred vertices and under 200 frames), so a header
// asking for more is not an MD2 model.
constexpr int MaxVertices = 2048;
constexpr int MaxFrames = 512;
constexpr int MaxCommandWords = 16384;

}  // namespace md2
