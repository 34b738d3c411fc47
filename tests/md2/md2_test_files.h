// MD2 files for the tests, written byte by byte from the format's published layout (17
// header ints, 40-byte frame headers, 4-byte packed vertices, the command list), so that the
// loader is checked against the format and not against itself.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace md2_test {

struct PackedVertex {
    uint8_t x, y, z, normal;
};

struct Frame {
    float scale[3] = {1, 1, 1};
    float translate[3] = {0, 0, 0};
    std::vector<PackedVertex> vertices;
};

struct CommandVertex {
    float s, t;
    int32_t index;
};

// count > 0: a strip of count vertices; count < 0: a fan of -count.
struct Command {
    int32_t count;
    std::vector<CommandVertex> vertices;
};

struct Model {
    int32_t version = 8;
    std::vector<Frame> frames;
    std::vector<int32_t> commandWords;  // as stored, the closing 0 included
    int32_t extraFrameBytes = 0;        // padding after each frame's vertices
};

// Command words with the closing 0.
std::vector<int32_t> Commands(std::initializer_list<Command> commands);

// Header, skin name, frames and commands. Header ints (by byte offset): 16 frame size,
// 24 vertices, 36 command words, 40 frames, 56 frame offset, 60 command offset.
std::vector<uint8_t> Bytes(const Model& model);
void PutInt(std::vector<uint8_t>* bytes, size_t offset, int32_t value);

// A model of `frames` frames and three vertices with one strip over them; vertex i of
// frame f is (i, f, 0) with normal index 5.
Model Triangle(int frames);

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace md2_test
