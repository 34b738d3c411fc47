#include "tools/bspc/bsp_files.h"

#include <cstdio>

#include "tools/bspc/build_order.h"
#include "tools/common/utf8.h"

std::optional<BuildReport> BuildBspFile(const std::string& meshPath, const std::string& outPath, const MeshPose& pose) {
    std::optional<std::vector<BspTriangle>> triangles = PosedMeshTriangles(meshPath, pose);
    if (!triangles) {
        std::fprintf(stderr, "bspc: cannot load the mesh %s\n", meshPath.c_str());
        return std::nullopt;
    }
    const BuildOrder order = ChooseBuildOrder(*triangles);
    BspTree tree;
    tree.Build(order.triangles);
    if (!tree.Save(WideFromUtf8(outPath).c_str())) {
        std::fprintf(stderr, "bspc: cannot write %s\n", outPath.c_str());
        return std::nullopt;
    }
    return BuildReport{order.name, triangles->size(), tree.Shape()};
}

bool LoadBspFile(const std::string& path, BspTree* tree) {
    if (tree->Load(WideFromUtf8(path).c_str())) return true;
    std::fprintf(stderr, "bspc: cannot open %s\n", path.c_str());
    return false;
}
