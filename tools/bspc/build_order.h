// The one free choice in building a BSP tree is the order of its triangle list: the first
// triangle becomes the root and each later one a node where its path ends. This picks, among
// a few candidate orders, the one whose tree has the fewest nodes (fewest cuts), then the
// smallest depth.
#pragma once

#include <string>
#include <vector>

#include "bsp/bsp_geometry.h"
#include "bsp/bsp_tree.h"

struct BuildOrder {
    std::string name;  // which candidate won
    std::vector<BspTriangle> triangles;
    BspShape shape;    // of the tree it builds
};

// Orders tried: a greedy choice of splitters that cut few triangles and keep both sides
// even, largest triangles first, a few fixed shuffles and the mesh's own face order.
std::vector<BuildOrder> CandidateOrders(const std::vector<BspTriangle>& triangles);
// The best candidate; its shape is filled in. With no triangles, an empty order.
BuildOrder ChooseBuildOrder(const std::vector<BspTriangle>& triangles);
