#include "tools/resgen/sky_pictures.h"

#include <host.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "scene/sky_box.h"
#include "tools/resgen/noise.h"
#include "tools/resgen/texture_painter.h"
#include "tools/resgen/vec3.h"

namespace resgen {
namespace {

constexpr int kFaceSize = 512;
constexpr int kJpegQuality = 92;

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

class Sky {
public:
    Colour At(Vec3 d) const {
        const float up = d.y;
        // The hills' outline depends on the direction round the horizon alone.
        const float around = std::atan2(d.z, d.x);
        const float hill = 0.015f + 0.06f * Fractal(hills_, 4 + 3 * std::cos(around), 4 + 3 * std::sin(around), 4);
        if (up < 0) {
            const Colour far = {150, 160, 140}, near = {86, 110, 66};
            return Mix(far, near, std::sqrt(std::min(-up * 3, 1.0f)));
        }
        Colour c = Mix({214, 226, 240}, {70, 120, 204}, std::pow(up, 0.45f));
        // The sun stands opposite the light's direction, low in the west.
        const Vec3 sun = Normalised({-1, 1, 0});
        const float facing = std::max(0.0f, Dot(d, sun));
        c = Mix(c, {255, 250, 230}, std::pow(facing, 48.0f) * 0.5f + std::pow(facing, 900.0f));
        if (up > 0.005f) {
            const float x = d.x / up, z = d.z / up;
            const float cover = Fractal(clouds_, x * 1.3f + 50, z * 1.3f + 50, 5);
            const float cloud = SmoothStep(0.52f, 0.72f, cover) * SmoothStep(0.02f, 0.22f, up);
            const Colour body = Mix({250, 250, 252}, {176, 184, 198}, SmoothStep(0.6f, 0.9f, cover));
            c = Mix(c, body, cloud);
        }
        if (up < hill) {
            const Colour distant = Mix({110, 132, 128}, {150, 166, 170}, 1 - up / hill);
            c = Mix(c, distant, SmoothStep(0, 0.004f, hill - up));
        }
        return c;
    }

private:
    LatticeNoise clouds_{601};
    LatticeNoise hills_{607};
};

// The point of a face at texture coordinates (u, v): its corners hold u and v of 0 or 1, so
// the face is the bilinear blend of them.
Vec3 FacePoint(const SkyFace& face, float u, float v) {
    Vec3 point;
    for (const TexturedVertex& corner : face.corners) {
        const float weight = (corner.u > 0.5f ? u : 1 - u) * (corner.v > 0.5f ? v : 1 - v);
        point = point + Vec3{corner.x, corner.y, corner.z} * weight;
    }
    return point;
}

// "%s\+z.jpg" -> "+z.jpg"
std::string PictureName(const wchar_t* format) {
    std::string name;
    for (const wchar_t* c = format + 3; *c != 0; ++c) name.push_back(static_cast<char>(*c));
    return name;
}

}  // namespace

bool WriteSkyPictures(const std::string& folder) {
    const std::string dir = folder + "/sky2";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) return false;
    const Sky sky;
    for (const SkyFace& face : kSkyFaces) {
        const std::vector<uint32_t> argb = PaintArgb(kFaceSize, kFaceSize, 611, [&](float u, float v, float grain) {
            return Grained(sky.At(Normalised(FacePoint(face, u, v))), grain, 3);
        });
        if (!host::WriteJpeg(dir + "/" + PictureName(face.pictureFormat), kFaceSize, kFaceSize, argb, kJpegQuality)) {
            return false;
        }
    }
    return true;
}

}  // namespace resgen
