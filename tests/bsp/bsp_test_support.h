// Helpers for the BSP tests: triangles written out, random triangle soups and rays, the
// nearest hit found by testing every triangle, and a walk over every node with its ancestors.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bsp/bsp_tree.h"

namespace bsp_test {

inline BspTriangle Tri(D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c) { return BspTriangle{a, b, c}; }

// The triangle (0,0,0), (1,0,0), (0,1,0) lies in z = 0 and its winding normal
// (1,0,0) x (-1,1,0) = (0,0,1) points to +z: its front is z > 0.
BspTriangle GroundTriangle();

// `count` triangles with corners uniform in a cube of side `extent` about the origin, each
// with sides of at most `size`.
std::vector<BspTriangle> RandomSoup(uint32_t seed, int count, float extent, float size);
// A ray from a point uniform in the cube of side `extent` along a uniform unit direction.
Ray RandomRay(std::mt19937& random, float extent);

// The smallest RayTriangle distance over every triangle (+infinity when none is hit).
double NearestByTestingAll(const std::vector<BspTriangle>& triangles, const Ray& ray);

// Calls visit for every node with the path from the root to it: for each ancestor, the
// ancestor and whether the node lies in its front subtree.
struct Ancestor {
    const BspNode* node;
    bool front;
};
void ForEachNode(const BspTree& tree, const std::function<void(const BspNode&, const std::vector<Ancestor>&)>& visit);

// Twice the area and the unnormalised normal of a triangle, in double precision.
double DoubleArea(const BspTriangle& t);
D3DXVECTOR3 Normal(const BspTriangle& t);

// The .bsp bytes of a tree given in pre-order: a node as marker 1 and its nine floats, an
// empty subtree as marker 0.
void PutNode(std::vector<uint8_t>* bytes, const BspTriangle& t);
void PutEmpty(std::vector<uint8_t>* bytes);

// A path in the system's temporary folder, unique to this process.
std::string TempPath(const std::string& name);
std::wstring Wide(const std::string& text);

}  // namespace bsp_test
