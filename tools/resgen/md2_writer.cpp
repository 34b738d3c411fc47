#include "tools/resgen/md2_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "md2/md2_format.h"
#include "md2/md2_normals.h"

namespace resgen {
namespace {

constexpr int PackedSteps = 255;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>* out) : out_(out) {}
    void Int(int32_t value) {
        for (int shift = 0; shift < 32; shift += 8) out_->push_back(static_cast<uint8_t>(uint32_t(value) >> shift));
    }
    void Short(int value) {
        out_->push_back(static_cast<uint8_t>(value & 0xFF));
        out_->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    }
    void Float(float value) {
        int32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Int(bits);
    }
    void Text(const std::string& text, size_t size) {
        for (size_t i = 0; i < size; ++i) out_->push_back(i < text.size() && i + 1 < size ? uint8_t(text[i]) : 0);
    }
    void Byte(uint8_t value) { out_->push_back(value); }

private:
    std::vector<uint8_t>* out_;
};

struct Triangle {
    int vertex[3];
    int texCoord[3];
};

// The distinct texture coordinates of the commands, and each command vertex's index among them.
struct TexCoordTable {
    std::vector<std::pair<int, int>> coordinates;
    std::vector<std::vector<int>> indexOf;  // per command, per vertex
};

TexCoordTable CollectTexCoords(const std::vector<RigCommand>& commands) {
    TexCoordTable table;
    std::map<std::pair<int, int>, int> seen;
    for (const RigCommand& command : commands) {
        std::vector<int>& indices = table.indexOf.emplace_back();
        for (const CommandVertex& v : command.vertices) {
            auto [entry, added] = seen.emplace(std::make_pair(v.s, v.t), int(table.coordinates.size()));
            if (added) table.coordinates.push_back(entry->first);
            indices.push_back(entry->second);
        }
    }
    return table;
}

// The triangles the commands draw, each wound as it is drawn (every second triangle of a
// strip has its last two corners exchanged).
std::vector<Triangle> CollectTriangles(const std::vector<RigCommand>& commands, const TexCoordTable& table) {
    std::vector<Triangle> triangles;
    for (size_t c = 0; c < commands.size(); ++c) {
        const std::vector<CommandVertex>& v = commands[c].vertices;
        const std::vector<int>& st = table.indexOf[c];
        for (size_t k = 0; k + 2 < v.size(); ++k) {
            size_t corner[3] = {k, k + 1, k + 2};
            if (commands[c].fan) {
                corner[0] = 0;
            } else if (k % 2 == 1) {
                std::swap(corner[1], corner[2]);
            }
            triangles.push_back({{v[corner[0]].vertex, v[corner[1]].vertex, v[corner[2]].vertex},
                                 {st[corner[0]], st[corner[1]], st[corner[2]]}});
        }
    }
    return triangles;
}

void WriteFrame(ByteWriter* out, const Md2KeyFrame& frame) {
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (const Vec3& p : frame.positions) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    // A flat frame still gets a non-zero step, so decoding never divides anything by zero.
    auto step = [](float extent) { return extent > 0 ? extent / PackedSteps : 1.0f; };
    const Vec3 scale{step(high.x - low.x), step(high.y - low.y), step(high.z - low.z)};
    for (float value : {scale.x, scale.y, scale.z, low.x, low.y, low.z}) out->Float(value);
    out->Text(frame.name, md2::FrameNameSize);
    auto pack = [](float value, float origin, float size) {
        return static_cast<uint8_t>(std::clamp(std::lround((value - origin) / size), 0L, long(PackedSteps)));
    };
    for (size_t i = 0; i < frame.positions.size(); ++i) {
        const Vec3& p = frame.positions[i];
        out->Byte(pack(p.x, low.x, scale.x));
        out->Byte(pack(p.y, low.y, scale.y));
        out->Byte(pack(p.z, low.z, scale.z));
        out->Byte(static_cast<uint8_t>(NearestNormal(frame.normals[i])));
    }
}

}  // namespace

int NearestNormal(Vec3 n) {
    int best = 0;
    float bestDot = -2;
    for (int i = 0; i < md2::NormalCount; ++i) {
        const float dot = n.x * md2::Normals[i][0] + n.y * md2::Normals[i][1] + n.z * md2::Normals[i][2];
        if (dot > bestDot) {
            bestDot = dot;
            best = i;
        }
    }
    return best;
}

std::vector<uint8_t> EncodeMd2(const Md2Content& content) {
    const int vertexCount = content.frames.empty() ? 0 : int(content.frames[0].positions.size());
    const TexCoordTable texCoords = CollectTexCoords(content.commands);
    const std::vector<Triangle> triangles = CollectTriangles(content.commands, texCoords);
    int commandWords = 1;  // the closing 0
    for (const RigCommand& command : content.commands)
        commandWords += 1 + int(command.vertices.size()) * md2::WordsPerCommandVertex;

    const int frameSize = md2::FrameHeaderSize + vertexCount * md2::PackedVertexSize;
    const int skinOffset = md2::HeaderSize;
    const int texCoordOffset = skinOffset + int(content.skinNames.size()) * md2::SkinNameSize;
    const int triangleOffset = texCoordOffset + int(texCoords.coordinates.size()) * md2::TexCoordSize;
    const int frameOffset = triangleOffset + int(triangles.size()) * md2::TriangleSize;
    const int commandOffset = frameOffset + int(content.frames.size()) * frameSize;
    const int endOffset = commandOffset + commandWords * md2::CommandWordSize;

    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(endOffset));
    ByteWriter out(&bytes);
    for (int field : {md2::FileMagic, md2::FileVersion, content.skinWidth, content.skinHeight, frameSize,
                      int(content.skinNames.size()), vertexCount, int(texCoords.coordinates.size()),
                      int(triangles.size()), commandWords, int(content.frames.size()), skinOffset, texCoordOffset,
                      triangleOffset, frameOffset, commandOffset, endOffset})
        out.Int(field);
    for (const std::string& name : content.skinNames) out.Text(name, md2::SkinNameSize);
    for (const auto& [s, t] : texCoords.coordinates) {
        out.Short(s);
        out.Short(t);
    }
    for (const Triangle& triangle : triangles) {
        for (int v : triangle.vertex) out.Short(v);
        for (int st : triangle.texCoord) out.Short(st);
    }
    for (const Md2KeyFrame& frame : content.frames) WriteFrame(&out, frame);
    for (const RigCommand& command : content.commands) {
        const int count = int(command.vertices.size());
        out.Int(command.fan ? -count : count);
        for (const CommandVertex& v : command.vertices) {
            out.Float(float(v.s) / content.skinWidth);
            out.Float(float(v.t) / content.skinHeight);
            out.Int(v.vertex);
        }
    }
    out.Int(0);
    return bytes;
}

bool WriteMd2(const std::string& path, const Md2Content& content) {
    const std::vector<uint8_t> bytes = EncodeMd2(content);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace resgen
