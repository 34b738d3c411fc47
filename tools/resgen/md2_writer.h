// Writes MD2 model files (version 8) with every table filled: skin names, texture
// coordinates, triangles, named key frames and the command list of strips and fans, so that
// other MD2 readers open them as well as ours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/resgen/rig.h"
#include "tools/resgen/rig_mesh.h"

namespace resgen {

// One key frame in the file's axes (z up): a position and a unit normal per vertex.
struct Md2KeyFrame {
    std::string name;  // at most 15 characters
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
};

struct Md2Content {
    int skinWidth = 0, skinHeight = 0;
    std::vector<std::string> skinNames;  // at most 63 characters each
    std::vector<Md2KeyFrame> frames;     // all with the same number of vertices
    std::vector<RigCommand> commands;    // texture coordinates in skin pixels, t from the top
};

// The file's bytes. Each frame's positions are packed into bytes over the frame's own
// bounding box; each normal becomes the index of the nearest entry of the normal table.
std::vector<uint8_t> EncodeMd2(const Md2Content& content);

bool WriteMd2(const std::string& path, const Md2Content& content);

// Index of the table normal closest in direction to n (file axes).
int NearestNormal(Vec3 n);

}  // namespace resgen
