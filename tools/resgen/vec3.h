// The small vector type of the generated geometry (meshes, rigs).
#pragma once

#include <cmath>

namespace resgen {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
// Of unit length; straight up for the zero vector.
inline Vec3 Normalised(Vec3 v) {
    const float length = std::sqrt(Dot(v, v));
    return length > 0 ? v * (1 / length) : Vec3{0, 1, 0};
}

struct Vec2 {
    float u = 0, v = 0;
};

}  // namespace resgen
