// Writes DirectX .x files in the text form: a hierarchy of frames, each with its transform
// and its meshes (positions, normals, texture coordinates, and one material per polygon from
// the materials the mesh's own list defines).
#pragma once

#include <string>
#include <vector>

#include "tools/resgen/mesh_parts.h"

namespace resgen {

struct XMaterialDef {
    std::string name;
    float diffuse[4] = {1, 1, 1, 1};  // r, g, b, a
    float power = 0;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture;  // file name beside the .x file, or empty
};

struct XFrameDef {
    std::string name;
    // Row-vector transform to the parent frame, row by row (translation in the last row).
    float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<MeshPart> meshes;
    std::vector<XFrameDef> children;
};

// A frame that takes geometry made with y up (the scenes' own axes) to a file whose z is up,
// scaled by `scale` and then moved by `offset` (in file units): file = (x, -z, y) * scale +
// offset. Programs stand such files up again with a quarter turn about x.
XFrameDef UpFrame(const std::string& name, float scale, Vec3 offset);

bool WriteXFile(const std::string& path, const std::vector<XMaterialDef>& materials, const XFrameDef& root);

}  // namespace resgen
