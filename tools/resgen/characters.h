// The nine generated MD2 characters, one per model folder of glasshall: what each is made of
// (shapes on the joints of its skeleton), its build, how it moves and how its skin is painted.
#pragma once

#include <string>
#include <vector>

#include "tools/resgen/motions.h"
#include "tools/resgen/rig.h"
#include "tools/resgen/skin_painter.h"

namespace resgen {

enum class Shape { Box, Tube, Ball };

// One shape on a joint. size: a box's half sizes, a ball's radii, or a tube's radius across
// (x), half length (y) and radius sideways (z). tilt turns the shape (degrees about x, then
// y, then z) before it moves to centre.
struct PartSpec {
    int mesh;  // index into CharacterSpec::meshNames
    Shape shape;
    int joint;
    Vec3 centre;
    Vec3 size;
    int skin;        // region index
    int front = -1;  // a box's front face, a tube's caps; -1: the same as skin
    Vec3 tilt{};
    float topScale = 1;  // a tube's top end, relative to its bottom
    int segments = 8;
    int rings = 6;
};

struct CharacterSpec {
    std::string folder;
    std::vector<std::string> meshNames;  // file base names: NAME.md2 with its skin NAME.bmp
    int frameCount;
    Proportions proportions;
    MotionStyle style;
    std::vector<SkinRegion> regions;
    std::vector<PartSpec> parts;
};

// Index 0 to 8, in glasshall's model order.
const std::vector<CharacterSpec>& Characters();

// Shorthands for the tables.
PartSpec Box(int joint, Vec3 centre, Vec3 halfSize, int skin, int front = -1);
PartSpec Tube(int joint, Vec3 centre, float radius, float halfLength, int skin, float topScale = 1);
PartSpec Ball(int joint, Vec3 centre, Vec3 radii, int skin, int segments = 8, int rings = 6);
PartSpec Tilted(PartSpec part, Vec3 tilt);
PartSpec OnMesh(PartSpec part, int mesh);

// The region indices a humanoid body is painted with.
struct BodySkins {
    int head, neck, chest, waist, hips, shoulder, upperArm, forearm, hand, thigh, shin, foot;
};
// Radii of a humanoid body's parts.
struct BodyBuild {
    Vec3 head{4.5f, 5.5f, 4.6f};
    float chestDepth = 4.5f;
    float arm = 1.8f;
    float leg = 2.6f;
};
// Adds a head, neck, chest, waist, hips, arms with hands and legs with feet.
void AddHumanoidBody(CharacterSpec* character, const BodySkins& skins, const BodyBuild& build);

CharacterSpec MakeAlita();
CharacterSpec MakeKnight();
CharacterSpec MakeDroid();
CharacterSpec MakeSithLord();
CharacterSpec MakeRegult();
CharacterSpec MakeUnit00();
CharacterSpec MakeYoshi();
CharacterSpec MakeMan();
CharacterSpec MakeWitchblade();

}  // namespace resgen
