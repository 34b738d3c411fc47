// bspc: builds, describes and queries .bsp files.
//   bspc build MESH.x OUT.bsp [--scale S] [--rotate-x RAD]   tree of the mesh in that pose
//   bspc info FILE.bsp                                       nodes=N depth=D triangles=T
//   bspc cast FILE.bsp OX OY OZ DX DY DZ                     hit distance=T point=X,Y,Z | miss
// Exit status: 0 done, 1 a file could not be read or written, 2 a usage error.
#include <host.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bsp/bsp_tree.h"
#include "tools/bspc/bsp_files.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: bspc build MESH.x OUT.bsp [--scale S] [--rotate-x RAD]\n"
                 "       bspc info FILE.bsp\n"
                 "       bspc cast FILE.bsp OX OY OZ DX DY DZ\n");
    return 2;
}

bool ParseFloat(const std::string& text, float* value) {
    char* end = nullptr;
    *value = std::strtof(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

void PrintShape(const BspShape& shape) {
    // Every node holds one triangle.
    std::printf("nodes=%zu depth=%zu triangles=%zu\n", shape.nodes, shape.depth, shape.nodes);
}

int Build(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage();
    MeshPose pose;
    for (size_t i = 2; i < args.size(); i += 2) {
        float* target = args[i] == "--scale" ? &pose.scale : args[i] == "--rotate-x" ? &pose.rotateX : nullptr;
        if (target == nullptr || i + 1 >= args.size() || !ParseFloat(args[i + 1], target)) return Usage();
    }
    std::optional<BuildReport> report = BuildBspFile(args[0], args[1], pose);
    if (!report) return 1;
    std::printf("order=\"%s\" faces=%zu ", report->order.c_str(), report->faces);
    PrintShape(report->shape);
    return 0;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage();
    BspTree tree;
    if (!LoadBspFile(args[0], &tree)) return 1;
    PrintShape(tree.Shape());
    return 0;
}

int Cast(const std::vector<std::string>& args) {
    if (args.size() != 7) return Usage();
    float v[6];
    for (int i = 0; i < 6; ++i) {
        if (!ParseFloat(args[i + 1], &v[i])) return Usage();
    }
    BspTree tree;
    if (!LoadBspFile(args[0], &tree)) return 1;
    Ray ray;
    ray.origin = D3DXVECTOR3(v[0], v[1], v[2]);
    const D3DXVECTOR3 direction(v[3], v[4], v[5]);
    D3DXVec3Normalize(&ray.direction, &direction);
    RayHit hit;
    if (!tree.RayCast(ray, &hit)) {
        std::printf("miss\n");
        return 0;
    }
    std::printf("hit distance=%.6g point=%.6g,%.6g,%.6g\n", hit.distance, hit.point.x, hit.point.y, hit.point.z);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    host::SetHeadless(true);
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "build") return Build(args);
    if (command == "info") return Info(args);
    if (command == "cast") return Cast(args);
    return Usage();
}
