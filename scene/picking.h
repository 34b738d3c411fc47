// Picking and placement: the ray under the cursor, the scene's triangles for the BSP tree
// that picking casts into, and where a dragged or planted thing lands.
#pragma once

#include <d3dx9.h>

#include <vector>

#include "bsp/bsp_geometry.h"
#include "scene/scene.h"

// The ray from the camera through the cursor's pixel, in world space, of unit direction.
Ray PickRay(IDirect3DDevice9* device, int cursorX, int cursorY);

// Every triangle of the objects (all their faces) and of the trees (the first subset's
// faces at each tree's place), skipping those with two equal corners, in the reverse of the
// order they were gathered: the last one gathered becomes the root of the tree.
std::vector<BspTriangle> GatherTriangles(Scene& scene);

// Where the ray first meets the placement ground (the square of half-size groundHalfSize at
// y = 0) or, beyond it, the sky cube of half-size skyHalfSize around the camera.
D3DXVECTOR3 PlacePoint(const Ray& ray, const D3DXVECTOR3& camera, float groundHalfSize, float skyHalfSize);
