#include "tools/resgen/rig.h"

#include <cmath>

namespace resgen {
namespace {

constexpr float RadiansPerDegree = 3.14159265358979f / 180.0f;

// How each joint's angles turn into rotations: the sign that makes swing move its far end
// forward (or up, for the tail), and the signs of spread and twist for its side of the body.
struct JointSigns {
    float swing, spread, twist;
};
constexpr JointSigns Signs[JointCount] = {
    {-1, 1, 1},                              // pelvis
    {-1, 1, 1}, {-1, 1, 1},                  // spine, head: pointing up
    {1, -1, 1}, {1, -1, 1}, {1, -1, 1},      // left arm: pointing down, outward is +z
    {1, 1, -1}, {1, 1, -1}, {1, 1, -1},      // right arm: outward is -z
    {1, -1, 1}, {1, -1, 1}, {1, -1, 1},      // left leg
    {1, 1, -1}, {1, 1, -1}, {1, 1, -1},      // right leg
    {-1, 1, 1}, {-1, 1, 1},                  // tail: pointing back, swing lifts it
};

Transform Rotation(int axis, float degrees) {
    const float radians = degrees * RadiansPerDegree, c = std::cos(radians), s = std::sin(radians);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    Transform t;
    t.m[a][a] = c;
    t.m[a][b] = -s;
    t.m[b][a] = s;
    t.m[b][b] = c;
    return t;
}

Transform JointRotation(int joint, const JointAngles& angles) {
    const JointSigns& sign = Signs[joint];
    return RotationX(sign.spread * angles.spread) * RotationZ(sign.swing * angles.swing) *
           RotationY(sign.twist * angles.twist);
}

}  // namespace

Vec3 Transform::Rotate(Vec3 v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Transform operator*(const Transform& outer, const Transform& inner) {
    Transform t;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            t.m[r][c] = outer.m[r][0] * inner.m[0][c] + outer.m[r][1] * inner.m[1][c] + outer.m[r][2] * inner.m[2][c];
    t.origin = outer.Apply(inner.origin);
    return t;
}

Transform RotationX(float degrees) { return Rotation(0, degrees); }
Transform RotationY(float degrees) { return Rotation(1, degrees); }
Transform RotationZ(float degrees) { return Rotation(2, degrees); }

Transform Translation(Vec3 offset) {
    Transform t;
    t.origin = offset;
    return t;
}

Skeleton::Skeleton(const Proportions& p) : proportions(p) {
    hipHeight = p.thigh + p.shin + p.ankleHeight;
    const float shoulderHeight = p.torso - p.shoulderDrop;
    auto set = [this](Joint joint, int parentJoint, Vec3 from) {
        parent[joint] = parentJoint;
        offset[joint] = from;
    };
    set(Pelvis, -1, {0, hipHeight, 0});
    set(Spine, Pelvis, {0, 0, 0});
    set(Head, Spine, {0, p.torso + p.neck, 0});
    set(LeftShoulder, Spine, {0, shoulderHeight, p.shoulderWidth});
    set(LeftElbow, LeftShoulder, {0, -p.upperArm, 0});
    set(LeftHand, LeftElbow, {0, -p.forearm, 0});
    set(RightShoulder, Spine, {0, shoulderHeight, -p.shoulderWidth});
    set(RightElbow, RightShoulder, {0, -p.upperArm, 0});
    set(RightHand, RightElbow, {0, -p.forearm, 0});
    set(LeftHip, Pelvis, {0, 0, p.hipWidth});
    set(LeftKnee, LeftHip, {0, -p.thigh, 0});
    set(LeftAnkle, LeftKnee, {0, -p.shin, 0});
    set(RightHip, Pelvis, {0, 0, -p.hipWidth});
    set(RightKnee, RightHip, {0, -p.thigh, 0});
    set(RightAnkle, RightKnee, {0, -p.shin, 0});
    set(TailBase, Pelvis, {-2, 1, 0});
    set(TailTip, TailBase, {-p.tail, 0, 0});
}

// lift is left to whoever stands the character on the ground.
std::array<Transform, JointCount> Skeleton::Place(const Pose& pose) const {
    std::array<Transform, JointCount> placed;
    const Vec3 pelvis = offset[Pelvis] + Vec3{pose.shift, 0, pose.side};
    placed[Pelvis] = Translation(pelvis) * RotationY(pose.turn) * RotationZ(-pose.pitch) * RotationX(pose.roll);
    // Parents come before their children in the joint order.
    for (int joint = Pelvis + 1; joint < JointCount; ++joint) {
        placed[joint] = placed[parent[joint]] * Translation(offset[joint]) * JointRotation(joint, pose.joints[joint]);
    }
    return placed;
}

}  // namespace resgen
