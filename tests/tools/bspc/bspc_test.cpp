// bspc and the generated mouse: the chosen build order is a reordering of the mesh's faces
// and beats the others tried; mouse.bsp is what `bspc build` makes of mouse.x in the program's
// pose; the mouse is a recognisable, textured model standing in front of the start camera;
// and the tool's commands and exit codes.
#include <gtest/gtest.h>
#include <host.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bsp/mesh_model.h"
#include "tools/bspc/build_order.h"
#include "tools/bspc/posed_mesh.h"

namespace {

const std::string kResources = DEMO_RESOURCE_DIR;
const std::string kBspc = DEMO_BSPC;

MeshPose ProgramPose() {
    MeshPose pose;
    pose.scale = 0.01f;
    pose.rotateX = 1.5707964f;
    return pose;
}

struct ToolRun {
    int exitCode;
    std::string output;
};

ToolRun Bspc(const std::string& arguments) {
    FILE* pipe = popen((kBspc + " " + arguments + " 2>&1").c_str(), "r");
    ToolRun run{-1, ""};
    if (pipe == nullptr) return run;
    char buffer[512];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, read);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

bool SameTriangle(const BspTriangle& a, const BspTriangle& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(BspcTest, TheChosenOrderReordersTheFacesAndBuildsNoLargerTreeThanTheOthers) {
    const auto faces = PosedMeshTriangles(kResources + "/mouse.x", ProgramPose());
    ASSERT_TRUE(faces.has_value());
    const BuildOrder chosen = ChooseBuildOrder(*faces);
    ASSERT_EQ(chosen.triangles.size(), faces->size());
    std::vector<bool> used(faces->size(), false);
    for (const BspTriangle& t : chosen.triangles) {
        auto same = [&](const BspTriangle& f) { return SameTriangle(f, t); };
        size_t i = 0;
        while (i < faces->size() && (used[i] || !same((*faces)[i]))) ++i;
        ASSERT_LT(i, faces->size()) << "a triangle that is not one of the faces";
        used[i] = true;
    }
    BspTree tree;
    tree.Build(chosen.triangles);
    EXPECT_EQ(tree.Shape().nodes, chosen.shape.nodes);
    EXPECT_EQ(tree.Shape().depth, chosen.shape.depth);
    // Shuffled orders for comparison: none builds a smaller tree.
    for (const BuildOrder& other : CandidateOrders(*faces)) {
        if (other.name.rfind("shuffle", 0) != 0) continue;
        BspTree candidate;
        candidate.Build(other.triangles);
        EXPECT_LE(chosen.shape.nodes, candidate.Shape().nodes) << other.name;
    }
}

TEST(BspcTest, MouseBspIsWhatBspcBuildsFromMouseXInTheProgramsPose) {
    const std::string out = (std::filesystem::temp_directory_path() / "bspc_test_mouse.bsp").string();
    const ToolRun run = Bspc("build " + kResources + "/mouse.x " + out + " --scale 0.01 --rotate-x 1.5707964");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("nodes="), std::string::npos);
    EXPECT_EQ(FileBytes(out), FileBytes(kResources + "/mouse.bsp"));
    std::remove(out.c_str());
}

TEST(BspcTest, TheMouseIsATexturedModelInFrontOfTheStartCamera) {
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) { ADD_FAILURE() << "a message"; });
    IDirect3DDevice9* device = host::CreateTraceDevice();
    {
        MeshModel mouse;
        const std::wstring folder(kResources.begin(), kResources.end());
        mouse.Load(device, (folder + L"/").c_str(), L"mouse.x");
        mouse.Rescale(0.01f);
        mouse.RotateX(1.5707964f);
        EXPECT_GE(mouse.materialCount, 4u) << "shell, buttons, wheel, cable, pad";
        EXPECT_NE(std::count_if(mouse.textures.begin(), mouse.textures.end(), [](auto* t) { return t != nullptr; }), 0);
        EXPECT_GE(mouse.FaceCount(), 300u);
        EXPECT_LE(mouse.FaceCount(), 5000u);
        // Every vertex ahead of the camera at the origin (looking along +z), below eye level
        // and within the 45-degree field of view.
        ASSERT_TRUE(mouse.Lock());
        for (DWORD f = 0; f < mouse.FaceCount(); ++f) {
            const BspTriangle t = mouse.Face(f);
            for (const D3DXVECTOR3* p : {&t.p1, &t.p2, &t.p3}) {
                ASSERT_GT(p->z, 1.0f);
                ASSERT_LT(p->y, 0.0f);
                ASSERT_LT(std::abs(p->x), p->z) << "inside the view";
            }
        }
        mouse.Unlock();
    }
    device->Release();
    host::SetMessageBoxListener(nullptr);
}

TEST(BspcTest, CommandsReportTheTreeAHitOrAMissAndRefuseBadUse) {
    const std::string file = kResources + "/mouse.bsp";
    const ToolRun info = Bspc("info " + file);
    ASSERT_EQ(info.exitCode, 0);
    unsigned long nodes = 0, depth = 0, triangles = 0;
    ASSERT_EQ(std::sscanf(info.output.c_str(), "nodes=%lu depth=%lu triangles=%lu", &nodes, &depth, &triangles), 3);
    EXPECT_EQ(nodes, triangles);
    EXPECT_LE(depth, nodes);
    // Straight down from above the mouse: a hit whose point lies on the ray at its distance.
    const ToolRun hit = Bspc("cast " + file + " 0 5 5.4 0 -1 0");
    ASSERT_EQ(hit.exitCode, 0);
    float distance = 0, x = 0, y = 0, z = 0;
    ASSERT_EQ(std::sscanf(hit.output.c_str(), "hit distance=%f point=%f,%f,%f", &distance, &x, &y, &z), 4) << hit.output;
    EXPECT_NEAR(x, 0.0f, 1e-4f);
    EXPECT_NEAR(y, 5.0f - distance, 1e-3f);
    EXPECT_NEAR(z, 5.4f, 1e-4f);
    EXPECT_EQ(Bspc("cast " + file + " 0 5 5.4 0 1 0").output, "miss\n");
    EXPECT_EQ(Bspc("info").exitCode, 2);
    EXPECT_EQ(Bspc("cast " + file + " 0 0 0 0 1").exitCode, 2);
    EXPECT_EQ(Bspc("build in.x").exitCode, 2);
    EXPECT_EQ(Bspc("build " + kResources + "/mouse.x out.bsp --scale x").exitCode, 2);
    EXPECT_EQ(Bspc("frobnicate").exitCode, 2);
    EXPECT_EQ(Bspc("info /nonexistent/tree.bsp").exitCode, 1);
    EXPECT_EQ(Bspc("build /nonexistent/mesh.x /tmp/never.bsp").exitCode, 1);
}
