#include "tools/resgen/scenery_models.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/noise.h"
#include "tools/resgen/scenery_textures.h"
#include "tools/resgen/x_file_writer.h"

namespace resgen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kTextureSize = 256;

// Each model is made in scene units with y up and its foot at the origin; UpFrame lays it
// down in the file so the program's quarter turn stands it up again.
bool WriteModel(const std::string& path, const std::vector<XMaterialDef>& materials, std::vector<MeshPart> parts) {
    XFrameDef frame = UpFrame("Object", 1.0f, {0, 0, 0});
    frame.meshes = std::move(parts);
    return WriteXFile(path, materials, frame);
}

XMaterialDef Textured(const char* name, const char* texture, float power = 8) {
    return {name, {1, 1, 1, 1}, power, {0.2f, 0.2f, 0.2f}, {0, 0, 0}, texture};
}

// A quad with its picture stretched once over it: corners from bottom left, counter-clockwise
// seen from the side `normal` points to.
void AddPicture(MeshPart* part, Vec3 bottomLeft, Vec3 bottomRight, Vec3 topRight, Vec3 topLeft, Vec3 normal,
                uint32_t material) {
    const uint32_t a = part->AddVertex(bottomLeft, normal, {0, 1}), b = part->AddVertex(bottomRight, normal, {1, 1});
    const uint32_t c = part->AddVertex(topRight, normal, {1, 0}), d = part->AddVertex(topLeft, normal, {0, 0});
    // Seen from the normal's side these run counter-clockwise; Direct3D's front winds the other way.
    part->AddPolygon({a, d, c, b}, material);
}

// A gable roof over x in [-hx, hx], z in [-hz, hz], eaves at y0, ridge at y1 along x.
void AddGableRoof(MeshPart* roof, MeshPart* gables, float hx, float hz, float y0, float y1, uint32_t roofMaterial,
                  uint32_t gableMaterial) {
    for (float side : {-1.0f, 1.0f}) {
        const Vec3 normal = Normalised({0, hz, side * (y1 - y0)});
        const Vec3 eaveA = {-hx, y0, side * hz}, eaveB = {hx, y0, side * hz}, ridgeA = {-hx, y1, 0}, ridgeB = {hx, y1, 0};
        if (side > 0) {
            AddPicture(roof, eaveB, eaveA, ridgeA, ridgeB, normal, roofMaterial);
        } else {
            AddPicture(roof, eaveA, eaveB, ridgeB, ridgeA, normal, roofMaterial);
        }
        const float x = side * hx;
        AddCap(gables, {{x, y0, -hz}, {x, y0, hz}, {x, y1, 0}}, {side, 0, 0}, gableMaterial,
               [&](Vec3 p) { return Vec2{(p.z + hz) / (2 * hz), 1 - (p.y - y0) / (y1 - y0) * 0.5f}; });
    }
}

bool WriteHouse(const std::string& folder) {
    enum : uint32_t { kFront, kWall, kRoof };
    MeshPart walls("Walls"), roof("Roof");
    constexpr float hx = 20, hz = 15, wall = 22, ridge = 37;
    AddPicture(&walls, {-hx, 0, -hz}, {hx, 0, -hz}, {hx, wall, -hz}, {-hx, wall, -hz}, {0, 0, -1}, kFront);
    AddPicture(&walls, {hx, 0, hz}, {-hx, 0, hz}, {-hx, wall, hz}, {hx, wall, hz}, {0, 0, 1}, kWall);
    AddPicture(&walls, {-hx, 0, hz}, {-hx, 0, -hz}, {-hx, wall, -hz}, {-hx, wall, hz}, {-1, 0, 0}, kWall);
    AddPicture(&walls, {hx, 0, -hz}, {hx, 0, hz}, {hx, wall, hz}, {hx, wall, -hz}, {1, 0, 0}, kWall);
    AddGableRoof(&roof, &walls, hx + 2.5f, hz + 3, wall - 1, ridge, kRoof, kWall);
    AddBox(&walls, {9, 26, 4}, {13, 43, 8}, kWall, 0.05f);  // the chimney
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/house.x",
                      {Textured("Front", "house_front.bmp"), Textured("Wall", "house_wall.bmp"),
                       Textured("Roof", "roof_tiles.bmp")},
                      {walls, roof}) &&
           WriteColourBitmap(dir + "/house_front.bmp", kTextureSize, kTextureSize, MakeHouseWall(kTextureSize, true)) &&
           WriteColourBitmap(dir + "/house_wall.bmp", kTextureSize, kTextureSize, MakeHouseWall(kTextureSize, false)) &&
           WriteColourBitmap(dir + "/roof_tiles.bmp", kTextureSize, kTextureSize, MakeRoofTiles(kTextureSize));
}

bool WriteWell(const std::string& folder) {
    enum : uint32_t { kStone, kWood };
    MeshPart ring("Ring"), frame("Frame");
    constexpr float outer = 7, inner = 5.5f, rim = 6;
    AddLathe(&ring, {0, 0, 0}, rim, [&](float) { return outer; }, 16, 1, kStone, 4, false);
    // The inside wall faces inwards: made as an outside and then turned over.
    MeshPart inside("Inside");
    AddLathe(&inside, {0, 0, 0}, rim, [&](float) { return inner; }, 16, 1, kStone, 3, false);
    for (auto& polygon : inside.polygons) std::reverse(polygon.begin(), polygon.end());
    for (Vec3& normal : inside.normals) normal = normal * -1.0f;
    // The top of the ring between the two walls.
    AddSurface(&ring, 16, 1, [&](float s, float t) {
        const float angle = -2 * kPi * s, r = outer + (inner - outer) * t;
        return Vec3{r * std::cos(angle), rim, r * std::sin(angle)};
    }, kStone);
    AddBox(&frame, {-6.5f, rim, -0.6f}, {-5.3f, 17, 0.6f}, kWood, 0.2f);
    AddBox(&frame, {5.3f, rim, -0.6f}, {6.5f, 17, 0.6f}, kWood, 0.2f);
    AddBox(&frame, {-7, 15, -0.4f}, {7, 15.8f, 0.4f}, kWood, 0.2f);
    MeshPart roof("Roof");
    AddGableRoof(&roof, &frame, 8, 5, 16.5f, 21, kWood, kWood);
    AddLathe(&frame, {0, 9, 0}, 3, [](float t) { return 1.4f + 0.2f * t; }, 10, 1, kWood, 2);  // the bucket
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/well.x", {Textured("Stone", "stone.bmp"), Textured("Wood", "planks.bmp")},
                      {ring, inside, frame, roof}) &&
           WriteColourBitmap(dir + "/stone.bmp", kTextureSize, kTextureSize, MakeStoneWall(kTextureSize)) &&
           WriteColourBitmap(dir + "/planks.bmp", kTextureSize, kTextureSize, MakePlanks(kTextureSize));
}

// A boulder: a sphere pushed in and out by noise, its underside flattened onto the ground.
bool WriteRock(const std::string& folder, const char* name, uint32_t seed) {
    MeshPart rock("Rock");
    const LatticeNoise bumps(seed, 8);
    auto surface = [&](float s, float t) {
        const float angle = -2 * kPi * s, polar = kPi * (1 - t);
        const Vec3 unit = {std::sin(polar) * std::cos(angle), std::cos(polar), std::sin(polar) * std::sin(angle)};
        const float r = 9.0f * (0.75f + 0.5f * Fractal(bumps, s * 8, t * 4, 3));
        return Vec3{unit.x * r * 1.3f, std::max(0.0f, unit.y * r * 0.8f + 2.5f), unit.z * r};
    };
    AddSurface(&rock, 12, 7, surface, 0, false, [](float s, float t) { return Vec2{s * 3, t * 2}; });
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/" + name, {Textured("Rock", "rock.bmp", 4)}, {rock});
}

bool WriteFence(const std::string& folder) {
    MeshPart fence("Fence");
    constexpr int kPosts = 7;
    constexpr float kSpacing = 10;
    const float start = -kSpacing * (kPosts - 1) / 2;
    for (int i = 0; i < kPosts; ++i) {
        const float x = start + i * kSpacing;
        AddBox(&fence, {x - 0.6f, 0, -0.6f}, {x + 0.6f, 10, 0.6f}, 0, 0.2f);
    }
    for (float y : {3.5f, 7.5f}) AddBox(&fence, {start - 1, y, -0.9f}, {-start + 1, y + 1.2f, -0.6f}, 0, 0.1f);
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/fence.x", {Textured("Wood", "planks.bmp")}, {fence});
}

// A wheel on the x axis: a ring of rim and a hub, `radius` across.
void AddWheel(MeshPart* part, Vec3 centre, float radius, float width, uint32_t material) {
    auto rim = [&](float s, float t) {
        const float angle = 2 * kPi * s;
        return centre + Vec3{width * (t - 0.5f), radius * std::cos(angle), radius * std::sin(angle)};
    };
    AddSurface(part, 12, 1, rim, material, false, [](float s, float t) { return Vec2{s * 4, t * 0.2f}; });
    for (float side : {-0.5f, 0.5f}) {
        std::vector<Vec3> disc;
        for (int i = 0; i < 12; ++i) {
            const float angle = 2 * kPi * i / 12;
            disc.push_back(centre + Vec3{width * side, radius * std::cos(angle), radius * std::sin(angle)});
        }
        AddCap(part, disc, {side * 2, 0, 0}, material, [&](Vec3 p) {
            return Vec2{0.5f + (p.z - centre.z) / (2 * radius), 0.5f - (p.y - centre.y) / (2 * radius)};
        });
    }
}

bool WriteCart(const std::string& folder) {
    enum : uint32_t { kWood, kWheel };
    MeshPart body("Body"), wheels("Wheels");
    AddBox(&body, {-6, 5, -9}, {6, 6, 9}, kWood, 0.1f);          // the bed
    AddBox(&body, {-6, 6, -9}, {-5.2f, 9, 9}, kWood, 0.1f);      // the sides
    AddBox(&body, {5.2f, 6, -9}, {6, 9, 9}, kWood, 0.1f);
    AddBox(&body, {-5.2f, 6, 8.2f}, {5.2f, 9, 9}, kWood, 0.1f);
    AddBox(&body, {-5.2f, 6, -9}, {5.2f, 9, -8.2f}, kWood, 0.1f);
    AddBox(&body, {-4, 4.4f, -20}, {-3.2f, 5.2f, -9}, kWood, 0.1f);  // the shafts
    AddBox(&body, {3.2f, 4.4f, -20}, {4, 5.2f, -9}, kWood, 0.1f);
    AddWheel(&wheels, {-7, 4.5f, 0}, 4.5f, 1, kWheel);
    AddWheel(&wheels, {7, 4.5f, 0}, 4.5f, 1, kWheel);
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/cart.x", {Textured("Wood", "planks.bmp"), Textured("Wheel", "wheel.bmp")},
                      {body, wheels}) &&
           WriteColourBitmap(dir + "/wheel.bmp", kTextureSize, kTextureSize, MakeWheel(kTextureSize));
}

bool WriteHaystack(const std::string& folder) {
    MeshPart hay("Hay");
    AddLathe(&hay, {0, 0, 0}, 14, [](float t) { return 10.0f * std::sqrt(std::max(0.0f, 1 - t * t)) + 0.3f; }, 12, 5,
             0, 3);
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/haystack.x", {Textured("Hay", "hay.bmp", 2)}, {hay}) &&
           WriteColourBitmap(dir + "/hay.bmp", kTextureSize, kTextureSize, MakeHay(kTextureSize));
}

bool WriteBarrel(const std::string& folder) {
    MeshPart barrel("Barrel");
    AddLathe(&barrel, {0, 0, 0}, 8, [](float t) { return 3.0f * (1 + 0.14f * std::sin(kPi * t)); }, 12, 3, 0, 2);
    const std::string dir = folder + "/" + kSceneryFolder;
    return WriteModel(dir + "/barrel.x", {Textured("Staves", "barrel.bmp", 12)}, {barrel}) &&
           WriteColourBitmap(dir + "/barrel.bmp", kTextureSize, kTextureSize, MakeBarrelStaves(kTextureSize));
}

}  // namespace

const std::vector<SceneryPlacement>& SceneryPlacements() {
    static const std::vector<SceneryPlacement> placements = {
        {"house.x", 1.0f, 60, 230},    {"well.x", 1.0f, -30, 160},     {"rock1.x", 1.0f, -165, 250},
        {"rock2.x", 1.4f, 175, 105},   {"fence.x", 1.0f, 55, 285},     {"cart.x", 1.0f, -95, 115},
        {"haystack.x", 1.0f, 150, 245}, {"barrel.x", 1.0f, 30, 185},
    };
    return placements;
}

bool WriteSceneryModels(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder + "/" + kSceneryFolder, error);
    const std::string dir = folder + "/" + kSceneryFolder;
    return !error && WriteHouse(folder) && WriteWell(folder) && WriteRock(folder, "rock1.x", 401) &&
           WriteRock(folder, "rock2.x", 409) &&
           WriteColourBitmap(dir + "/rock.bmp", kTextureSize, kTextureSize, MakeRock(kTextureSize)) &&
           WriteFence(folder) && WriteCart(folder) && WriteHaystack(folder) && WriteBarrel(folder);
}

}  // namespace resgen
