// The triangles of an X mesh in the pose a program draws it: loaded, scaled and turned by
// the same MeshModel code the programs use, so a tree built from them matches the drawing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bsp/bsp_geometry.h"

struct MeshPose {
    float scale = 1.0f;
    float rotateX = 0.0f;  // radians about the world's x axis, after the scale
};

// The mesh's faces in face order, without those that have two equal vertices (they make no
// plane). Nothing when the file cannot be loaded; the reason is printed on stderr.
std::optional<std::vector<BspTriangle>> PosedMeshTriangles(const std::string& meshPath, const MeshPose& pose);
