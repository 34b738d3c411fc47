#include "tools/bspc/posed_mesh.h"

#include <host.h>

#include <cstdio>
#include <filesystem>

#include "bsp/mesh_model.h"
#include "tools/common/utf8.h"

namespace {

bool HasEqualVertices(const BspTriangle& t) { return t.p1 == t.p2 || t.p2 == t.p3 || t.p3 == t.p1; }

}  // namespace

std::optional<std::vector<BspTriangle>> PosedMeshTriangles(const std::string& meshPath, const MeshPose& pose) {
    // The model reports problems in message boxes; a tool says them on stderr instead.
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring& text) {
        std::fprintf(stderr, "%s\n", Utf8(text).c_str());
    });
    IDirect3DDevice9* device = host::CreateTraceDevice();
    host::SetTraceRecording(device, false);

    const std::filesystem::path path(meshPath);
    std::string folder = path.parent_path().string();
    if (!folder.empty()) folder += "/";
    std::optional<std::vector<BspTriangle>> triangles;
    {
        MeshModel model;
        model.Load(device, WideFromUtf8(folder).c_str(), WideFromUtf8(path.filename().string()).c_str());
        model.Rescale(pose.scale);
        model.RotateX(pose.rotateX);
        if (model.Lock()) {
            triangles.emplace();
            for (DWORD face = 0; face < model.FaceCount(); ++face) {
                const BspTriangle triangle = model.Face(face);
                if (!HasEqualVertices(triangle)) triangles->push_back(triangle);
            }
            model.Unlock();
        }
    }
    device->Release();
    host::SetMessageBoxListener(nullptr);
    return triangles;
}
