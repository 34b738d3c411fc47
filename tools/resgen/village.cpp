#include "tools/resgen/village.h"

#include <host.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "scene/picking.h"
#include "scene/scene.h"
#include "tools/common/utf8.h"
#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/dds_writer.h"
#include "tools/resgen/noise.h"
#include "tools/resgen/scenery_models.h"
#include "tools/resgen/texture_painter.h"

namespace resgen {
namespace {

constexpr int kMapSize = 512;
constexpr float kMapWorld = 1024.0f;  // the map covers -512 ... 512 in x and z
constexpr int kFrameSize = 256;
constexpr int kMarkerSize = 32;

struct Point {
    float x, z;
};

// Where the trees stand: groves to the west and east, a row to the north, a few by the pond.
const Point kTrees[] = {
    {-250, 190}, {-228, 262}, {-270, 318}, {-205, 340}, {-300, 240}, {-240, 120},  // west grove
    {240, 40},   {262, 130},  {300, 190},  {236, 300},  {320, 280},  {285, 70},    // east grove
    {-80, 390},  {-10, 410},  {70, 380},   {140, 400},  {205, 360},                // north row
    {-140, 10},  {-260, 0},   {-215, -40},                                          // by the pond
};
constexpr Point kPond = {-200, 60};
constexpr float kPondRadiusX = 68, kPondRadiusZ = 46;
// The village path, and a branch to the cart.
const std::vector<Point> kPath = {{0, -512}, {5, -250}, {-20, 60}, {-30, 148}, {20, 200}, {55, 215}};
const std::vector<Point> kBranch = {{-20, 60}, {-60, 95}, {-92, 108}};

float DistanceToPath(Point p, const std::vector<Point>& path) {
    float best = 1e9f;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const float ax = path[i].x, az = path[i].z, bx = path[i + 1].x - ax, bz = path[i + 1].z - az;
        const float t = std::clamp(((p.x - ax) * bx + (p.z - az) * bz) / (bx * bx + bz * bz), 0.0f, 1.0f);
        best = std::min(best, std::hypot(p.x - ax - t * bx, p.z - az - t * bz));
    }
    return best;
}

std::string Decimal(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

bool WriteText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

std::string ObjectFile() {
    std::string text = "; landscaper's objects: the folder and name of each X file, its size and where it stands.\r\n";
    text += "[3DSNumber]\r\nnum=" + std::to_string(SceneryPlacements().size()) + "\r\n";
    for (size_t i = 0; i < SceneryPlacements().size(); ++i) {
        const SceneryPlacement& object = SceneryPlacements()[i];
        text += "\r\n[3DS" + std::to_string(i) + "]\r\npath=..\\Resource\\" + kSceneryFolder + "\\\r\nname=" +
                object.file + "\r\nsize=" + Decimal(object.size) + "\r\nposx=" + Decimal(object.x) +
                "\r\nposy=" + Decimal(0) + "\r\nposz=" + Decimal(object.z) + "\r\n";
    }
    return text;
}

std::string TreeFile() {
    std::string text = "; landscaper's trees: where each one stands.\r\n[TreeNumber]\r\nnum=" +
                       std::to_string(std::size(kTrees)) + "\r\n";
    for (size_t i = 0; i < std::size(kTrees); ++i) {
        text += "\r\n[Tree" + std::to_string(i) + "]\r\nposx=" + Decimal(kTrees[i].x) + "\r\nposy=" + Decimal(0) +
                "\r\nposz=" + Decimal(kTrees[i].z) + "\r\n";
    }
    return text;
}

// The ground seen from above: grass, the pond with its shore, the paths, worn earth under
// every object and tree, and ploughed fields to the south-east. Row 0 is z = -512.
std::vector<uint8_t> GroundMap() {
    const LatticeNoise meadow(701), soil(703);
    return PaintRgb(kMapSize, kMapSize, 702, [&](float u, float v, float grain) {
        const Point p = {u * kMapWorld - kMapWorld / 2, v * kMapWorld - kMapWorld / 2};
        Colour c = Mix({78, 124, 52}, {112, 150, 64}, Fractal(meadow, u * 12, v * 12, 4));
        if (p.x > 220 && p.x < 460 && p.z > -380 && p.z < -140) {
            const bool furrow = std::fmod(p.x - 220, 12.0f) < 5;
            c = Mix({134, 104, 66}, {112, 84, 52}, furrow ? 1.0f : 0.3f * Fractal(soil, u * 30, v * 30, 2));
        }
        for (const SceneryPlacement& object : SceneryPlacements()) {
            const float worn = 1 - std::hypot(p.x - object.x, p.z - object.z) / (object.size * 30);
            c = Mix(c, {120, 112, 70}, std::clamp(worn * 2, 0.0f, 0.7f));
        }
        for (const Point& tree : kTrees) {
            const float shade = 1 - std::hypot(p.x - tree.x, p.z - tree.z) / 14;
            c = Mix(c, {52, 88, 38}, std::clamp(shade * 2, 0.0f, 0.8f));
        }
        const float path = std::min(DistanceToPath(p, kPath), DistanceToPath(p, kBranch));
        c = Mix(c, {176, 148, 104}, std::clamp((9 - path) / 3, 0.0f, 1.0f));
        const float pond = std::hypot((p.x - kPond.x) / kPondRadiusX, (p.z - kPond.z) / kPondRadiusZ);
        c = Mix(c, {196, 180, 132}, std::clamp((1.12f - pond) * 12, 0.0f, 1.0f));
        c = Mix(c, Mix({52, 110, 150}, {36, 80, 120}, std::clamp(1 - pond, 0.0f, 1.0f)),
                std::clamp((1 - pond) * 16, 0.0f, 1.0f));
        return Grained(c, grain, 12);
    });
}

// A bronze ring with marks at the four points of the compass, clear inside and outside.
std::vector<uint32_t> MinimapFrame() {
    return PaintArgb(kFrameSize, kFrameSize, 711, [&](float u, float v, float grain) {
        const float du = u - 0.5f, dv = v - 0.5f, r = std::hypot(du, dv);
        const float band = std::clamp((0.035f - std::fabs(r - 0.465f)) * 200, 0.0f, 1.0f);
        const bool mark = std::fabs(r - 0.43f) < 0.02f && (std::fabs(du) < 0.012f || std::fabs(dv) < 0.012f);
        Colour c = Mix({120, 84, 40}, {236, 196, 120}, std::clamp(0.5f - dv * 2, 0.0f, 1.0f));
        c.a = 255 * std::max(band, mark ? 1.0f : 0.0f);
        return Grained(c, grain, 8);
    });
}

// An arrow pointing to the picture's top-left corner: the minimap turns that corner to the
// camera's heading.
std::vector<uint32_t> HeadingMarker() {
    return PaintArgb(kMarkerSize, kMarkerSize, 721, [&](float u, float v, float) {
        // Along the diagonal from the bottom-right corner (0) to the top-left one (1), and across it.
        const float along = 1 - (u + v) / 2, across = (u - v) / 2;
        const float halfWidth = along < 0.62f ? 0.07f : (1 - along) * 0.42f;
        const bool inside = along > 0.12f && along < 0.98f && std::fabs(across) < halfWidth;
        Colour c = {255, 236, 80};
        c.a = inside ? 255.0f : 0.0f;
        return c;
    });
}

}  // namespace

bool WriteVillageFiles(const std::string& folder) {
    return WriteText(folder + "/3DResource.ini", ObjectFile()) && WriteText(folder + "/tree.ini", TreeFile()) &&
           WriteColourBitmap(folder + "/MASK.BMP", kMapSize, kMapSize, GroundMap()) &&
           WriteArgbDds(folder + "/V-1-1.dds", kFrameSize, kFrameSize, MinimapFrame()) &&
           WriteArgbDds(folder + "/cur.dds", kMarkerSize, kMarkerSize, HeadingMarker());
}

// The scene is loaded by the program's own code, on a device that only records, from the
// folder as the program sees it.
bool WriteVillageTree(const std::string& folder) {
    bool complete = true;
    host::SetMessageBoxListener([&](const std::wstring&, const std::wstring& text) {
        std::fprintf(stderr, "resgen: %s\n", Utf8(text).c_str());
        complete = false;
    });
    host::SetResourceFolder(folder);
    IDirect3DDevice9* device = host::CreateTraceDevice();
    host::SetTraceRecording(device, false);
    bool saved = false;
    {
        Scene scene;
        scene.Init(device, kStandUpTurn);
        scene.LoadObjects(L"..\\Resource\\3DResource.ini");
        scene.LoadTrees(L"..//Resource//tree.ini", 1.0f);
        BspTree tree;
        tree.Build(GatherTriangles(scene));
        saved = tree.Save(WideFromUtf8(folder + "/ini.bsp").c_str());
        if (!saved) std::fprintf(stderr, "resgen: cannot write %s/ini.bsp\n", folder.c_str());
    }
    device->Release();
    host::SetResourceFolder("");
    host::SetMessageBoxListener(nullptr);
    return saved && complete;
}

}  // namespace resgen
