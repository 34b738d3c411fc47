// A BSP tree of triangles: every node holds one triangle, whose plane divides the space below
// the node into a front and a back half. The order of the triangles given to Build alone
// decides the tree: each becomes a node where its path down from the root ends, and a
// triangle that straddles a node's plane is cut there and its pieces start again at the root.
#pragma once

#include <d3dx9.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "bsp/bsp_geometry.h"

// The fields an insertion reads at every node it passes (the plane and the children) come
// first, together.
struct BspNode {
    BspPlane plane;            // the triangle's plane, worked out once
    BspNode* front = nullptr;  // everything classified Front of this node's plane
    BspNode* back = nullptr;   // everything classified Back
    BspTriangle triangle;
    // Around every triangle of the subtree, its own included: a ray that misses it can skip
    // the whole subtree without changing what the walk finds.
    BspBox bounds;
};

struct BspShape {
    size_t nodes = 0;
    size_t depth = 0;  // nodes on the longest path from the root; 0 for an empty tree
};

class BspTree {
public:
    BspTree() = default;
    BspTree(const BspTree&) = delete;
    BspTree& operator=(const BspTree&) = delete;

    // Inserts the triangle below the node held in the slot: down the side it lies on, or, when
    // it straddles a node's plane, as pieces on the pending stack.
    void Insert(BspNode** slot, const BspTriangle& triangle);
    // Cuts the triangle by the plane and pushes the two or three pieces, each keeping the
    // triangle's winding. A cut that cannot be found shows "Error.Ray Can't hit Plane".
    void Split(const BspTriangle& plane, const BspTriangle& triangle);
    // Builds an empty tree from the list: the first triangle becomes the root. A caller
    // weighing orders may cap the nodes: past nodeLimit the build stops, leaving the tree
    // incomplete, and returns false.
    bool Build(const std::vector<BspTriangle>& triangles, size_t nodeLimit = SIZE_MAX);
    void Clear();

    // Reads a tree written in pre-order (node marker, nine floats, front subtree, back
    // subtree; marker 0 for an empty subtree) below an empty root. A file that ends early
    // leaves the subtrees it does not reach empty. False, said in one line, when the file
    // cannot be opened or is larger than a tree of a million nodes.
    bool Load(const wchar_t* path);
    // Writes the tree in the same form. False when the file cannot be written.
    bool Save(const wchar_t* path) const;

    // The nearest triangle along the ray, visiting the near side of each plane the ray may
    // cross before that plane's triangle and the far side last. False (distance +infinity,
    // the rest of hit untouched) when nothing is hit.
    bool RayCast(const Ray& ray, RayHit* hit) const;

    BspShape Shape() const;
    // The triangles in pre-order (node, front subtree, back subtree).
    std::vector<BspTriangle> Triangles() const;

    BspNode* root = nullptr;
    std::vector<BspTriangle> pending;  // pieces waiting to be inserted; empty between operations

private:
    BspNode* NewNode(const BspTriangle& triangle);
    // Insert, growing the boxes on the way when asked.
    void Descend(BspNode** slot, const BspTriangle& triangle, bool growBounds);
    // The boxes of a tree read from a file, children before parents.
    void ComputeBounds();

    std::deque<BspNode> nodes_;  // every node of the tree, so none is freed twice or lost
    std::vector<BspNode*> path_;  // the nodes an insertion passed, whose boxes grow by it
};
