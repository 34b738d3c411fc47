// The surface of a generated character before it is posed: boxes, cylinders and ellipsoids
// attached to joints, each tessellated straight into MD2 drawing commands (strips for sides
// and bands, fans for caps, poles and the tops and bottoms of boxes).
//
// Every triangle winds clockwise seen from outside, which is how Direct3D recognises front
// faces. Texture coordinates are skin pixels, t counted from the top row.
#pragma once

#include <vector>

#include "tools/resgen/rig.h"

namespace resgen {

struct SkinRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// A vertex in its joint's space.
struct RigVertex {
    int joint;
    Vec3 position;
    Vec3 normal;
};

struct CommandVertex {
    int vertex;
    int s, t;
};

struct RigCommand {
    bool fan;
    std::vector<CommandVertex> vertices;
};

struct RigMesh {
    std::vector<RigVertex> vertices;
    std::vector<RigCommand> commands;
};

// Where a shape sits: its joint, and the shape's own space placed in the joint's space.
struct Placement {
    int joint;
    Transform transform;
};

// A box of the given half sizes. Its front (+x) face shows `front`, the others `skin`.
void AddBox(RigMesh* mesh, const Placement& place, Vec3 halfSize, SkinRect skin, SkinRect front);
// A cylinder along y from -halfLength to +halfLength, elliptical (radiusX by radiusZ) and
// narrowed at the top by topScale. The side wraps `side` once round, with its middle column
// at the front; the two caps show `caps`.
void AddCylinder(RigMesh* mesh, const Placement& place, float radiusX, float radiusZ, float halfLength, float topScale,
                 int segments, SkinRect side, SkinRect caps);
// An ellipsoid with the given radii, `skin` wrapped round it with its middle column at the
// front and its top row at the top pole.
void AddEllipsoid(RigMesh* mesh, const Placement& place, Vec3 radii, int segments, int rings, SkinRect skin);

}  // namespace resgen
