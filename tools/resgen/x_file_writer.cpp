#include "tools/resgen/x_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace resgen {
namespace {

// Numbers are written with fixed decimals and lists without blanks after commas, the form
// D3DX's own exporters use and every X reader accepts.
class XWriter {
public:
    explicit XWriter(FILE* file) : file_(file) {}

    void Material(const XMaterialDef& m) {
        std::fprintf(file_, "Material %s {\n %f;%f;%f;%f;;\n %f;\n %f;%f;%f;;\n %f;%f;%f;;\n", m.name.c_str(),
                     m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.power, m.specular[0], m.specular[1],
                     m.specular[2], m.emissive[0], m.emissive[1], m.emissive[2]);
        if (!m.texture.empty()) std::fprintf(file_, " TextureFilename {\n  \"%s\";\n }\n", m.texture.c_str());
        std::fprintf(file_, "}\n");
    }

    void Frame(const XFrameDef& frame, const std::vector<XMaterialDef>& materials, int depth) {
        const std::string pad(depth, ' ');
        std::fprintf(file_, "%sFrame %s {\n%s FrameTransformMatrix {\n", pad.c_str(), frame.name.c_str(), pad.c_str());
        for (int row = 0; row < 4; ++row) {
            const float* m = &frame.transform[row * 4];
            std::fprintf(file_, "%s  %f,%f,%f,%f%s\n", pad.c_str(), m[0], m[1], m[2], m[3], row < 3 ? "," : ";;");
        }
        std::fprintf(file_, "%s }\n", pad.c_str());
        for (const MeshPart& mesh : frame.meshes) Mesh(mesh, materials, pad + " ");
        for (const XFrameDef& child : frame.children) Frame(child, materials, depth + 1);
        std::fprintf(file_, "%s}\n", pad.c_str());
    }

private:
    template <typename Item, typename Print>
    void List(const std::vector<Item>& items, const std::string& pad, Print print) {
        std::fprintf(file_, "%s%zu;\n", pad.c_str(), items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            std::fprintf(file_, "%s", pad.c_str());
            print(items[i]);
            std::fprintf(file_, "%s\n", i + 1 < items.size() ? "," : ";");
        }
    }

    void Polygons(const MeshPart& mesh, const std::string& pad) {
        List(mesh.polygons, pad, [&](const std::vector<uint32_t>& polygon) {
            std::fprintf(file_, "%zu;", polygon.size());
            for (size_t k = 0; k < polygon.size(); ++k) std::fprintf(file_, "%s%u", k ? "," : "", polygon[k]);
            std::fprintf(file_, ";");
        });
    }

    void Mesh(const MeshPart& mesh, const std::vector<XMaterialDef>& materials, const std::string& pad) {
        const std::string in = pad + " ";
        std::fprintf(file_, "%sMesh %s {\n", pad.c_str(), mesh.name.c_str());
        List(mesh.positions, in, [&](const Vec3& p) { std::fprintf(file_, "%f;%f;%f;", p.x, p.y, p.z); });
        Polygons(mesh, in);

        std::fprintf(file_, "%sMeshNormals {\n", in.c_str());
        List(mesh.normals, in + " ", [&](const Vec3& n) { std::fprintf(file_, "%f;%f;%f;", n.x, n.y, n.z); });
        Polygons(mesh, in + " ");
        std::fprintf(file_, "%s}\n%sMeshTextureCoords {\n", in.c_str(), in.c_str());
        List(mesh.texCoords, in + " ", [&](const Vec2& t) { std::fprintf(file_, "%f;%f;", t.u, t.v); });
        std::fprintf(file_, "%s}\n", in.c_str());

        // Each mesh lists only the materials its polygons use, numbered in that list, as
        // D3DX gives every mesh of a file its own materials.
        std::vector<uint32_t> used(mesh.materials.begin(), mesh.materials.end());
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        std::fprintf(file_, "%sMeshMaterialList {\n%s %zu;\n%s %zu;\n%s ", in.c_str(), in.c_str(), used.size(),
                     in.c_str(), mesh.materials.size(), in.c_str());
        for (size_t i = 0; i < mesh.materials.size(); ++i) {
            const size_t local = std::lower_bound(used.begin(), used.end(), mesh.materials[i]) - used.begin();
            std::fprintf(file_, "%zu%s", local, i + 1 < mesh.materials.size() ? "," : ";;\n");
        }
        // Written out in full rather than as references to the file's top-level materials,
        // which not every reader resolves.
        for (uint32_t material : used) Material(materials[material]);
        std::fprintf(file_, "%s}\n%s}\n", in.c_str(), pad.c_str());
    }

    FILE* file_;
};

}  // namespace

XFrameDef UpFrame(const std::string& name, float scale, Vec3 offset) {
    XFrameDef frame;
    frame.name = name;
    const float transform[16] = {scale, 0, 0, 0, 0, 0, scale, 0, 0, -scale, 0, 0, offset.x, offset.y, offset.z, 1};
    std::copy(transform, transform + 16, frame.transform);
    return frame;
}

bool WriteXFile(const std::string& path, const std::vector<XMaterialDef>& materials, const XFrameDef& root) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::fprintf(file, "xof 0303txt 0032\n");
    XWriter writer(file);
    writer.Frame(root, materials, 0);
    const bool written = !std::ferror(file);
    return std::fclose(file) == 0 && written;
}

}  // namespace resgen
