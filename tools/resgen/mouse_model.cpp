#include "tools/resgen/mouse_model.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/mouse_textures.h"
#include "tools/resgen/x_file_writer.h"

namespace resgen {
namespace {

constexpr float kPi = 3.14159265f;

// The model is built in scene units with y up and the cable running away from the viewer
// (+z); the file's root frame scales it by 1 / kMouseScale and lays it down so that the
// program's quarter turn stands it up again, centred at kPlace in front of the camera.
constexpr Vec3 kPlace = {0.0f, -1.5f, 5.4f};

enum Material : uint32_t { kShell, kButtons, kWheel, kCable, kPad };

constexpr float kMouseTurnOnPad = 0.55f;
constexpr Vec3 kMouseOnPad = {-0.2f, 0.0f, -0.25f};

// The shell in plan is a rounded oval, wider at the back; its side rises straight from the
// pad to kWallHeight and turns into a dome that peaks over the palm. A point of the shell is
// named by its angle round the oval (0 at +x, pi/2 at the nose) and k, its distance out from
// the middle (1 on the rim).
constexpr float kHalfLength = 1.15f;
constexpr float kWallHeight = 0.12f;
constexpr float kFoot = 0.01f;  // the shell's underside floats this far above the pad

float SignedPower(float value, float power) { return std::copysign(std::pow(std::fabs(value), power), value); }

float HalfWidth(float angle) { return 0.58f - 0.1f * std::sin(angle); }

// The rim of the oval at an angle, on the pad.
Vec3 Rim(float angle) {
    return {HalfWidth(angle) * SignedPower(std::cos(angle), 0.8f), 0.0f,
            kHalfLength * SignedPower(std::sin(angle), 0.8f)};
}

float DomePeak(float z) { return 0.4f + 0.25f * std::exp(-std::pow((z / kHalfLength + 0.3f) / 0.6f, 2.0f)); }

Vec3 Dome(float angle, float k) {
    const Vec3 rim = Rim(angle);
    const Vec3 plan = {rim.x * k, 0.0f, rim.z * k};
    const float rise = std::sqrt(std::max(0.0f, 1.0f - k * k));
    return {plan.x, kFoot + kWallHeight + (DomePeak(plan.z) - kWallHeight) * rise, plan.z};
}

Vec3 DomeNormal(float angle, float k) {
    const float d = 1e-3f;
    return Normalised(Cross(Dome(angle - d, k) - Dome(angle + d, k), Dome(angle, k - d) - Dome(angle, k + d)));
}

// The shell's textures are laid over it from above: u across (right to left), v from the
// back to the nose.
Vec2 PlanTexCoord(Vec3 p) { return {0.5f - p.x / 1.2f, 0.5f + p.z / (2 * kHalfLength)}; }

void AddShell(MeshPart* part) {
    constexpr int kAround = 56;
    // Walked with the angle decreasing so that the outside is the front of every face.
    auto dome = [](float s, float t) { return Dome(2 * kPi * (1 - s), 1 - t); };
    AddSurface(part, kAround, 14, dome, kShell, false, [&](float s, float t) { return PlanTexCoord(dome(s, t)); });
    auto wall = [](float s, float t) {
        const Vec3 rim = Rim(2 * kPi * (1 - s));
        return Vec3{rim.x, kFoot + kWallHeight * t, rim.z};
    };
    AddSurface(part, kAround, 2, wall, kShell, false, [&](float s, float t) { return PlanTexCoord(wall(s, t)); });
    std::vector<Vec3> outline;
    for (int i = 0; i < kAround; ++i) outline.push_back(Rim(2 * kPi * i / kAround) + Vec3{0, kFoot, 0});
    AddCap(part, outline, {0, -1, 0}, kShell, PlanTexCoord);
}

// The angle in the front right quarter where the shell at distance k is x from the middle.
float AngleAtX(float k, float x) {
    float low = 0.0f, high = kPi / 2;  // x falls from the rim's width to 0 over this range
    for (int i = 0; i < 30; ++i) {
        const float middle = 0.5f * (low + high);
        (Dome(middle, k).x > x ? low : high) = middle;
    }
    return 0.5f * (low + high);
}

// A button: a raised patch over the front quarter of the dome, `side` +1 for the right one,
// with a skirt down to the shell all round.
void AddButton(MeshPart* part, float side) {
    constexpr float kInner = 0.42f, kOuter = 0.95f, kSideAngle = 0.5f, kHalfGap = 0.07f, kLift = 0.014f;
    auto place = [&](float u, float v, float lift) {
        const float k = kInner + (kOuter - kInner) * v;
        float angle = kSideAngle + (AngleAtX(k, kHalfGap) - kSideAngle) * u;
        if (side < 0) angle = kPi - angle;
        return Dome(angle, k) + DomeNormal(angle, k) * lift;
    };
    // The left button mirrors the right, so its grid runs the other way round.
    auto top = [&](float u, float v) { return side > 0 ? place(u, v, kLift) : place(v, u, kLift); };
    AddSurface(part, 10, 12, top, kButtons);
    auto edge = [&](float u0, float v0, float u1, float v1) {
        AddSurface(part, 12, 1, [&](float a, float b) {
            const float u = u0 + (u1 - u0) * a, v = v0 + (v1 - v0) * a;
            return side > 0 ? place(u, v, kLift * (1 - b) - 0.01f * b) : place(v, u, kLift * (1 - b) - 0.01f * b);
        }, kButtons);
    };
    // Walked clockwise seen from above, so each skirt faces outwards.
    edge(0, 0, 0, 1);
    edge(0, 1, 1, 1);
    edge(1, 1, 1, 0);
    edge(1, 0, 0, 0);
}

// The wheel stands in the gap between the buttons, its ridged rim a little proud of them.
void AddWheel(MeshPart* part) {
    constexpr float radius = 0.115f, halfWidth = 0.042f;
    const Vec3 slot = Dome(kPi / 2, 0.6f);
    const Vec3 centre = {0.0f, slot.y - 0.055f, slot.z};
    auto rim = [&](float angle) { return radius * (1.0f + 0.045f * std::cos(28.0f * angle)); };
    AddSurface(part, 56, 2, [&](float a, float w) {
        const float angle = 2 * kPi * a;
        return centre + Vec3{halfWidth * (2 * w - 1), rim(angle) * std::cos(angle), rim(angle) * std::sin(angle)};
    }, kWheel, false, [](float a, float w) { return Vec2{a * 8, w}; });
    for (float side : {-1.0f, 1.0f}) {
        std::vector<Vec3> outline;
        for (int i = 0; i < 56; ++i) {
            const float angle = 2 * kPi * i / 56;
            outline.push_back(centre + Vec3{halfWidth * side, rim(angle) * std::cos(angle), rim(angle) * std::sin(angle)});
        }
        AddCap(part, outline, {side, 0, 0}, kWheel, [](Vec3 p) { return Vec2{p.y, p.z}; });
    }
}

// The cable leaves the nose, drops to the pad and snakes away beyond it.
void AddCable(MeshPart* part) {
    std::vector<Vec3> path;
    const Vec3 nose = Dome(kPi / 2, 0.98f);
    for (int i = 0; i <= 40; ++i) {
        const float u = i / 40.0f;
        const float drop = std::exp(-std::pow(u / 0.06f, 2.0f));
        path.push_back({0.45f * std::sin(u * 2.4f * kPi) * std::min(1.0f, u * 4.0f),
                        0.032f + (nose.y * 0.55f - 0.032f) * drop, nose.z - 0.03f + u * 4.6f});
    }
    AddTube(part, path, 0.03f, 8, kCable);
}

// A rounded-corner pad, its top at y = 0.
void AddPad(MeshPart* part) {
    constexpr float halfX = 1.9f, halfZ = 1.55f, centreZ = 0.0f, corner = 0.25f, thickness = 0.04f;
    std::vector<Vec3> outline;
    const float cx[4] = {halfX - corner, -(halfX - corner), -(halfX - corner), halfX - corner};
    const float cz[4] = {halfZ - corner, halfZ - corner, -(halfZ - corner), -(halfZ - corner)};
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i <= 6; ++i) {
            const float angle = (c + i / 6.0f) * kPi / 2;
            outline.push_back({cx[c] + corner * std::cos(angle), 0.0f, centreZ + cz[c] + corner * std::sin(angle)});
        }
    }
    auto cloth = [&](Vec3 p) { return Vec2{0.5f + p.x / (2 * halfX), 0.5f - (p.z - centreZ) / (2 * halfZ)}; };
    AddCap(part, outline, {0, 1, 0}, kPad, cloth);
    std::vector<Vec3> underside;
    for (const Vec3& p : outline) underside.push_back({p.x, -thickness, p.z});
    AddCap(part, underside, {0, -1, 0}, kPad, cloth);
    const int n = static_cast<int>(outline.size());
    for (int i = 0; i < n; ++i) {
        const Vec3 a = outline[i], b = outline[(i + 1) % n];
        const Vec3 out = Normalised(Cross(b - a, {0, 1, 0}));
        std::vector<Vec3> side = {a, b, {b.x, -thickness, b.z}, {a.x, -thickness, a.z}};
        AddCap(part, side, out, kPad, [](Vec3) { return Vec2{0.0f, 0.0f}; });
    }
}

std::vector<XMaterialDef> MouseMaterials() {
    std::vector<XMaterialDef> materials(5);
    materials[kShell] = {"Shell", {0.16f, 0.17f, 0.19f, 1}, 40, {0.7f, 0.7f, 0.7f}, {0, 0, 0}, "mouse_shell.bmp"};
    materials[kButtons] = {"Buttons", {0.24f, 0.25f, 0.27f, 1}, 30, {0.6f, 0.6f, 0.6f}, {0, 0, 0}, "mouse_buttons.bmp"};
    materials[kWheel] = {"Wheel", {0.06f, 0.06f, 0.06f, 1}, 5, {0.1f, 0.1f, 0.1f}, {0, 0, 0}, "mouse_wheel.bmp"};
    materials[kCable] = {"Cable", {0.85f, 0.85f, 0.87f, 1}, 20, {0.3f, 0.3f, 0.3f}, {0, 0, 0}, ""};
    materials[kPad] = {"Pad", {0.2f, 0.3f, 0.6f, 1}, 2, {0.05f, 0.05f, 0.05f}, {0, 0, 0}, "mousepad.bmp"};
    return materials;
}

// Scene units (y up, z away) to the file's units, which the program scales by kMouseScale
// and turns so that the file's z becomes up: file = (100 x, -100 z, 100 y) + the offset
// that puts the pad's middle at kPlace.
XFrameDef DeskFrame() {
    const float k = 1.0f / kMouseScale;
    return UpFrame("Desk", k, {kPlace.x * k, -kPlace.z * k, kPlace.y * k});
}

}  // namespace

bool WriteMouseFiles(const std::string& folder) {
    XFrameDef desk = DeskFrame();
    MeshPart shell("Shell"), buttons("Buttons"), wheel("Wheel"), cable("Cable"), pad("Pad");
    AddShell(&shell);
    AddButton(&buttons, 1.0f);
    AddButton(&buttons, -1.0f);
    AddWheel(&wheel);
    AddCable(&cable);
    AddPad(&pad);
    // The mouse lies on the pad turned a little to the right, so the viewer sees its side. The
    // turn is made here rather than by a frame of its own: not every reader of X files combines
    // nested frame transforms in the same order.
    for (MeshPart* part : {&shell, &buttons, &wheel, &cable}) TurnAndMove(part, kMouseTurnOnPad, kMouseOnPad);
    desk.meshes = {shell, buttons, wheel, cable, pad};

    constexpr int kTextureSize = 256;
    return WriteXFile(folder + "/mouse.x", MouseMaterials(), desk) &&
           WriteColourBitmap(folder + "/mouse_shell.bmp", kTextureSize, kTextureSize, MakeShellTexture(kTextureSize)) &&
           WriteColourBitmap(folder + "/mouse_buttons.bmp", kTextureSize, kTextureSize,
                             MakeButtonTexture(kTextureSize)) &&
           WriteColourBitmap(folder + "/mouse_wheel.bmp", kTextureSize, kTextureSize, MakeRubberTexture(kTextureSize)) &&
           WriteColourBitmap(folder + "/mousepad.bmp", kTextureSize, kTextureSize, MakePadTexture(kTextureSize));
}

}  // namespace resgen
