// What bspc and the resource generator do with files: build a tree from a posed mesh in the
// best order found and write it; read one back.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "bsp/bsp_tree.h"
#include "tools/bspc/posed_mesh.h"

struct BuildReport {
    std::string order;  // the candidate order that won
    size_t faces = 0;   // triangles taken from the mesh
    BspShape shape;
};

// Nothing when the mesh cannot be loaded or the file written; the reason is on stderr.
std::optional<BuildReport> BuildBspFile(const std::string& meshPath, const std::string& outPath, const MeshPose& pose);
// False, with a line on stderr, when the file cannot be opened.
bool LoadBspFile(const std::string& path, BspTree* tree);
