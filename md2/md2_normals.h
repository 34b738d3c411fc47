// The MD2 format's table of vertex normals: every key-frame vertex names its normal by an
// index into these 162 unit vectors (x, y, z in the file's axes, as published).
#pragma once

namespace md2 {

constexpr int NormalCount = 162;
extern const float Normals[NormalCount][3];

}  // namespace md2
