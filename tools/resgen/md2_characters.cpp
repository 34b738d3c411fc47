#include "tools/resgen/md2_characters.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "md2/animation_ranges.h"
#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/rig_mesh.h"

namespace resgen {
namespace {

// Texture coordinates keep this far inside their region, so filtering never reaches into the
// region next door.
constexpr int SkinInset = 2;

SkinRect Inset(SkinRect rect) {
    return {rect.x + SkinInset, rect.y + SkinInset, rect.width - 2 * SkinInset, rect.height - 2 * SkinInset};
}

RigMesh Tessellate(const CharacterSpec& character, int mesh) {
    RigMesh out;
    for (const PartSpec& part : character.parts) {
        if (part.mesh != mesh) continue;
        const Placement place{part.joint, Translation(part.centre) * RotationZ(part.tilt.z) *
                                              RotationY(part.tilt.y) * RotationX(part.tilt.x)};
        const SkinRect skin = Inset(character.regions[part.skin].rect);
        const SkinRect other = Inset(character.regions[part.front >= 0 ? part.front : part.skin].rect);
        switch (part.shape) {
            case Shape::Box: AddBox(&out, place, part.size, skin, other); break;
            case Shape::Tube:
                AddCylinder(&out, place, part.size.x, part.size.z, part.size.y, part.topScale, part.segments, skin,
                            other);
                break;
            case Shape::Ball: AddEllipsoid(&out, place, part.size, part.segments, part.rings, skin); break;
        }
    }
    return out;
}

int AnimationOf(int frame) {
    for (int animation = 0; animation < AnimationCount; ++animation) {
        if (frame <= AnimationRanges[animation].end) return animation;
    }
    return AnimationCount - 1;
}

// A seed for the skin's noise from the folder's name (FNV-1a), the same on every system.
uint32_t SeedOf(const std::string& text) {
    uint32_t hash = 2166136261u;
    for (char c : text) hash = (hash ^ uint8_t(c)) * 16777619u;
    return hash;
}

// The file's axes: its second axis is our z and its third, up, our y.
Vec3 FileAxes(Vec3 v) { return {v.x, v.z, v.y}; }

// Poses every mesh for one frame and stands the character on the floor: the body's lowest
// point rests lift above it (a weapon may reach below, as a staff held low would).
void AddFrame(const std::vector<RigMesh>& meshes, const Skeleton& skeleton, const CharacterSpec& character, int frame,
              std::vector<CharacterMesh>* out) {
    const int animation = AnimationOf(frame);
    const int start = AnimationRanges[animation].start;
    const int steps = AnimationRanges[animation].end - start + 1;
    const Pose pose = Styled(AnimationPose(animation, frame - start, steps), character.style);
    const auto joints = skeleton.Place(pose);

    float lowest = 1e30f;
    for (const RigVertex& v : meshes[0].vertices) lowest = std::min(lowest, joints[v.joint].Apply(v.position).y);
    const Vec3 raise{StandingBehind, FloorHeight + pose.lift - lowest, 0};

    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", AnimationNames[animation], frame - start + 1);
    for (size_t m = 0; m < meshes.size(); ++m) {
        Md2KeyFrame keyFrame{name, {}, {}};
        for (const RigVertex& v : meshes[m].vertices) {
            keyFrame.positions.push_back(FileAxes(joints[v.joint].Apply(v.position) + raise));
            keyFrame.normals.push_back(FileAxes(joints[v.joint].Rotate(v.normal)));
        }
        (*out)[m].content.frames.push_back(std::move(keyFrame));
    }
}

}  // namespace

CharacterFiles BuildCharacter(const CharacterSpec& character) {
    CharacterFiles files;
    std::vector<RigMesh> meshes;
    for (size_t m = 0; m < character.meshNames.size(); ++m) {
        meshes.push_back(Tessellate(character, int(m)));
        CharacterMesh& mesh = files.meshes.emplace_back();
        mesh.name = character.meshNames[m];
        mesh.content.skinWidth = SkinWidth;
        mesh.content.skinHeight = SkinHeight;
        mesh.content.skinNames = {mesh.name + ".bmp"};
        mesh.content.commands = meshes.back().commands;
    }
    const Skeleton skeleton(character.proportions);
    for (int frame = 0; frame < character.frameCount; ++frame)
        AddFrame(meshes, skeleton, character, frame, &files.meshes);
    files.skin = PaintSkin(character.regions, SeedOf(character.folder));
    return files;
}

bool WriteMd2Characters(const std::string& folder) {
    for (const CharacterSpec& character : Characters()) {
        const std::string directory = folder + "/MD2Model/" + character.folder;
        std::error_code error;
        std::filesystem::create_directories(directory, error);
        if (error) return false;
        const CharacterFiles files = BuildCharacter(character);
        for (const CharacterMesh& mesh : files.meshes) {
            if (!WriteMd2(directory + "/" + mesh.name + ".md2", mesh.content)) return false;
            // Every mesh of a character shares one skin layout; each file has its own copy.
            if (!WriteColourBitmap(directory + "/" + mesh.name + ".bmp", SkinWidth, SkinHeight, files.skin))
                return false;
        }
    }
    return true;
}

}  // namespace resgen
