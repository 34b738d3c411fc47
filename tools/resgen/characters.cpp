#include "tools/resgen/characters.h"

namespace resgen {

PartSpec Box(int joint, Vec3 centre, Vec3 halfSize, int skin, int front) {
    PartSpec part{0, Shape::Box, joint, centre, halfSize, skin};
    part.front = front;
    return part;
}

PartSpec Tube(int joint, Vec3 centre, float radius, float halfLength, int skin, float topScale) {
    PartSpec part{0, Shape::Tube, joint, centre, {radius, halfLength, radius}, skin};
    part.topScale = topScale;
    return part;
}

PartSpec Ball(int joint, Vec3 centre, Vec3 radii, int skin, int segments, int rings) {
    PartSpec part{0, Shape::Ball, joint, centre, radii, skin};
    part.segments = segments;
    part.rings = rings;
    return part;
}

PartSpec Tilted(PartSpec part, Vec3 tilt) {
    part.tilt = tilt;
    return part;
}

PartSpec OnMesh(PartSpec part, int mesh) {
    part.mesh = mesh;
    return part;
}

// Limbs hang from their joints: a tube from the joint down to the next one.
void AddHumanoidBody(CharacterSpec* character, const BodySkins& skins, const BodyBuild& build) {
    const Proportions& p = character->proportions;
    std::vector<PartSpec>& parts = character->parts;
    parts.push_back(Ball(Head, {0.3f, build.head.y * 0.85f, 0}, build.head, skins.head, 12, 8));
    parts.push_back(Tube(Spine, {0, p.torso + p.neck * 0.5f, 0}, 1.6f, p.neck * 0.5f + 1, skins.neck));
    PartSpec chest = Tube(Spine, {0, p.torso * 0.62f, 0}, build.chestDepth, p.torso * 0.38f, skins.chest, 1.05f);
    chest.size.z = p.shoulderWidth - 1;
    chest.segments = 10;
    parts.push_back(chest);
    PartSpec waist = Tube(Spine, {0, p.torso * 0.22f, 0}, build.chestDepth * 0.85f, p.torso * 0.22f, skins.waist, 1.1f);
    waist.size.z = p.hipWidth + 1.6f;
    parts.push_back(waist);
    parts.push_back(Box(Pelvis, {0, 0, 0}, {build.chestDepth * 0.85f, 3, p.hipWidth + 2.2f}, skins.hips));
    for (int shoulder : {LeftShoulder, RightShoulder}) {
        parts.push_back(Ball(shoulder, {0, -0.5f, 0}, {build.arm * 1.3f, build.arm * 1.3f, build.arm * 1.3f},
                             skins.shoulder, 8, 4));
        parts.push_back(Tube(shoulder, {0, -p.upperArm / 2, 0}, build.arm, p.upperArm / 2, skins.upperArm, 1.1f));
        parts.push_back(
            Tube(shoulder + 1, {0, -p.forearm / 2, 0}, build.arm * 0.85f, p.forearm / 2, skins.forearm, 1.15f));
        parts.push_back(Ball(shoulder + 2, {0.3f, -1.6f, 0}, {1.5f, 2.0f, 1.0f}, skins.hand, 6, 4));
    }
    for (int hip : {LeftHip, RightHip}) {
        parts.push_back(Tube(hip, {0, -p.thigh / 2, 0}, build.leg, p.thigh / 2, skins.thigh, 1.15f));
        parts.push_back(Tube(hip + 1, {0, -p.shin / 2, 0}, build.leg * 0.8f, p.shin / 2, skins.shin, 1.2f));
        parts.push_back(
            Box(hip + 2, {1.8f, -p.ankleHeight / 2, 0}, {3.3f, p.ankleHeight / 2 + 0.3f, 1.6f}, skins.foot));
    }
}

const std::vector<CharacterSpec>& Characters() {
    static const std::vector<CharacterSpec> characters = {
        MakeAlita(), MakeKnight(), MakeDroid(), MakeSithLord(), MakeRegult(),
        MakeUnit00(), MakeYoshi(), MakeMan(), MakeWitchblade(),
    };
    return characters;
}

}  // namespace resgen
