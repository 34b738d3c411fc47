// A small character rig for the generated MD2 characters: a skeleton of joints built from a
// character's proportions, poses of joint angles, and the joints' transforms in a pose.
//
// Character space: y up, the character faces +x and its left side is +z (the left-handed
// space the programs draw in); units are the MD2 file's, and the feet stand on y = 0.
#pragma once

#include <array>

#include "tools/resgen/vec3.h"

namespace resgen {

// A rotation (column vectors: Apply gives m × v) and a translation applied after it.
struct Transform {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 origin;
    Vec3 Rotate(Vec3 v) const;
    Vec3 Apply(Vec3 v) const { return Rotate(v) + origin; }
};
Transform operator*(const Transform& outer, const Transform& inner);
// Right-handed rotations by degrees about one axis (as in the usual maths texts).
Transform RotationX(float degrees);
Transform RotationY(float degrees);
Transform RotationZ(float degrees);
Transform Translation(Vec3 offset);

enum Joint {
    Pelvis,  // the root: everything hangs from it
    Spine,   // at the pelvis, pointing up to the neck
    Head,    // at the neck
    LeftShoulder, LeftElbow, LeftHand,
    RightShoulder, RightElbow, RightHand,
    LeftHip, LeftKnee, LeftAnkle,
    RightHip, RightKnee, RightAnkle,
    TailBase, TailTip,  // pointing back (-x)
    JointCount,
};

// Lengths and widths of a character, in file units.
struct Proportions {
    float thigh = 12, shin = 12, ankleHeight = 2;
    float hipWidth = 4;       // half the distance between the hips
    float torso = 18;         // pelvis to neck
    float shoulderWidth = 8;  // half the distance between the shoulders
    float shoulderDrop = 2;   // shoulders below the neck
    float neck = 2;           // neck to the head joint
    float upperArm = 10, forearm = 9;
    float tail = 0;           // length of each of the two tail segments; 0 for none
};

// A pose in degrees. For every joint: swing turns the segment's far end forward (limbs,
// spine and head) or up (tail); spread turns it away from the body (limbs) or to the left
// (spine, head); twist turns it about its own length (a head or spine to the right, a tail
// to the left). The pelvis is placed by shift (forward) and side (to
// the left) and turned by pitch (forward), roll (to the left) and turn (to the right); lift
// is how far its lowest point is off the ground (in a jump).
struct JointAngles {
    float swing = 0, spread = 0, twist = 0;
};
struct Pose {
    std::array<JointAngles, JointCount> joints{};
    float lift = 0, shift = 0, side = 0;
    float pitch = 0, roll = 0, turn = 0;
};

struct Skeleton {
    explicit Skeleton(const Proportions& proportions);
    // Every joint's transform from joint space into character space, in this pose.
    std::array<Transform, JointCount> Place(const Pose& pose) const;

    Proportions proportions;
    float hipHeight;  // the pelvis above the ground when standing
    std::array<int, JointCount> parent;
    std::array<Vec3, JointCount> offset;  // from the parent, in the parent's space
};

}  // namespace resgen
