// Reading the parts of an MD2 file that drawing needs: the header, the key frames (decoded
// into floating-point vertices) and the command list. The file is untrusted: every count and
// offset is checked against the file's length before anything is allocated or read, and a
// command list is accepted only if it is terminated and names no vertex outside a frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// A decoded key-frame vertex in the mesh's axes (y up), already scaled, with the index of
// its normal in the MD2 normal table as stored in the file.
struct Md2FrameVertex {
    float x, y, z;
    int normalIndex;
};
static_assert(sizeof(Md2FrameVertex) == 16);

struct Md2Geometry {
    int frameCount = 0;
    int vertexCount = 0;
    int frameSize = 0;
    std::vector<Md2FrameVertex> frameVertices;  // frame f's vertex i at f * vertexCount + i
    std::vector<int32_t> commands;              // the command list exactly as stored
};

// Reads an MD2 version 8 file from its start, decoding positions as
// (b0 s.x + t.x, b2 s.z + t.z, b1 s.y + t.y) × scale: the file's third axis is up. False for
// anything that is not a complete, consistent file (geometry is then left as it was).
bool ReadMd2Geometry(FILE* file, float scale, Md2Geometry* geometry);

// True when the words hold a command list that ends with a 0 count within them, each of its
// commands fits in the words and holds at most vertexCount vertices, and every vertex index
// lies in 0 .. vertexCount - 1.
bool IsValidCommandList(const int32_t* words, size_t wordCount, int vertexCount);
