// glasshall's mirror and shadow on the GL device, checked in the pixels of whole frames. The
// model is a blue block standing on the floor (2 × 2, 10.5 high) with a low block beside it
// whose shadow overlaps the tall one's.
#include "programs/glasshall/glasshall_app.h"

#include <dinput.h>
#include <host.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tests/md2/md2_test_files.h"
#include "tests/support/headless_device.h"
#include "tools/resgen/bitmap_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr UINT Width = 320, Height = 240;
constexpr float DegreesToRadians = 3.14159265f / 180;

struct Corner {
    float x, y, z;  // world units, y up
};

// A block from low to high as eight packed vertices (world = file units × 0.1, with the
// file's y and z exchanged) and six faces as four-vertex strips wound clockwise from outside.
void AddBlock(md2_test::Model* model, Corner low, Corner high) {
    md2_test::Frame& frame = model->frames[0];
    const int first = int(frame.vertices.size());
    auto pack = [](float world, float origin) { return uint8_t(std::lround(world * 10 - origin)); };
    std::vector<Corner> corners;
    for (int i = 0; i < 8; ++i) {
        const Corner c{i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z};
        corners.push_back(c);
        frame.vertices.push_back({pack(c.x, -10), pack(c.z, -25), pack(c.y, -25), 0});
    }
    // Each face's corners in order round it, and its outward axis.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}};
    for (const auto& face : faces) {
        int order[4] = {face[0], face[1], face[3], face[2]};
        const Corner &a = corners[order[0]], &b = corners[order[1]], &c = corners[order[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const float cx = (low.x + high.x) / 2, cy = (low.y + high.y) / 2, cz = (low.z + high.z) / 2;
        if (nx * (a.x - cx) + ny * (a.y - cy) + nz * (a.z - cz) < 0) std::swap(order[1], order[2]);
        md2_test::Command strip{4, {}};
        for (int corner : order) strip.vertices.push_back({0.5f, 0.5f, first + corner});
        model->commandWords.insert(model->commandWords.end() - 1, strip.count);
        for (const auto& v : strip.vertices) {
            int32_t s, t;
            std::memcpy(&s, &v.s, 4);
            std::memcpy(&t, &v.t, 4);
            model->commandWords.insert(model->commandWords.end() - 1, {s, t, v.index});
        }
    }
}

struct Image {
    std::vector<uint32_t> argb;
    int Red(int x, int y) const { return argb[size_t(y) * Width + x] >> 16 & 0xFF; }
    int Green(int x, int y) const { return argb[size_t(y) * Width + x] >> 8 & 0xFF; }
    int Blue(int x, int y) const { return argb[size_t(y) * Width + x] & 0xFF; }
    bool IsModel(int x, int y) const { return Blue(x, y) > 120 && Red(x, y) < 80; }
    bool IsGrey(int x, int y) const { return Red(x, y) == Green(x, y) && Green(x, y) == Blue(x, y); }
};

class GlasshallImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless = demo_test::CreateHeadlessDevice(Width, Height);
        ASSERT_NE(headless.device, nullptr);
        resources = fs::temp_directory_path() / ("glasshall_image_test_" + std::to_string(getpid()));
        fs::remove_all(resources);
        fs::create_directories(resources / "MD2Model" / "yoshi");
        md2_test::Model blocks;
        blocks.frames.resize(1);
        blocks.frames[0].translate[0] = -10;  // file units: x from -10, y and z from -25
        blocks.frames[0].translate[1] = -25;
        blocks.frames[0].translate[2] = -25;
        blocks.commandWords = {0};
        AddBlock(&blocks, {-1, -2.5f, -1}, {1, 8, 1});
        AddBlock(&blocks, {0.5f, -2.5f, -2.5f}, {2.5f, 0, -0.5f});
        md2_test::WriteFile((resources / "MD2Model/yoshi/yoshi.md2").string(), md2_test::Bytes(blocks));
        std::vector<uint8_t> blue(4 * 4 * 3, 0);
        for (size_t i = 2; i < blue.size(); i += 3) blue[i] = 255;
        resgen::WriteColourBitmap((resources / "MD2Model/yoshi/yoshi.bmp").string(), 4, 4, blue);
        host::SetResourceFolder(resources.string());
        host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        NextModelLatch = true;
        ElapsedTime = 0;
        app.device = headless.device;
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, 0.78539819f, float(Width) / Height, 0.1f, 1000.0f);
        app.device->SetTransform(D3DTS_PROJECTION, &projection);
        app.Init();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device = nullptr;
        demo_test::ReleaseHeadlessDevice(&headless);
        fs::remove_all(resources);
    }
    // Two frames from this camera (the first draws without culling), the second read back.
    Image Shoot(D3DXVECTOR3 position, float pitchDegrees, float yawDegrees) {
        app.camera.SetPosition(position.x, position.y, position.z);
        app.camera.SetAngles(pitchDegrees * DegreesToRadians, yawDegrees * DegreesToRadians);
        app.Frame();
        app.Frame();
        Image image;
        int width = 0, height = 0;
        EXPECT_TRUE(host::ReadBackBuffer(app.device, &width, &height, &image.argb));
        EXPECT_EQ(width, int(Width));
        return image;
    }
    // Where a world point lands on the screen, through the app's camera and the projection.
    void Project(D3DXVECTOR3 point, int* x, int* y) {
        D3DXMATRIX projection, viewProjection;
        app.device->GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&viewProjection, &app.camera.view, &projection);
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &point, &viewProjection);
        *x = int((clip.x + 1) / 2 * Width);
        *y = int((1 - clip.y) / 2 * Height);
    }
    // The shadow's darkened floor pixels: grey, and far darker than the lit floor.
    static int ShadowPixels(const Image& image, double* meanRow) {
        int count = 0;
        double rows = 0;
        for (int y = 0; y < int(Height); ++y)
            for (int x = 0; x < int(Width); ++x)
                if (image.IsGrey(x, y) && image.Red(x, y) >= 120 && image.Red(x, y) <= 135) ++count, rows += y;
        if (meanRow) *meanRow = count ? rows / count : 0;
        return count;
    }

    demo_test::HeadlessDevice headless;
    fs::path resources;
    GlasshallApp app{nullptr};
};

// Seen from back and to the side, the tall block's reflection stands in the mirror beside it,
// taller than the wall: the mirror shows it up to the wall's top edge and no further.
TEST_F(GlasshallImageTest, ReflectionShowsOnlyInsideTheWallAndStopsAtItsTopEdge) {
    const Image image = Shoot({-15, 0, -6}, 0, 90);
    int x = 0, y = 0;
    Project({20, 0, 0}, &x, &y);  // the reflected block's middle
    ASSERT_TRUE(image.IsModel(x, y)) << "reflection at " << x << "," << y;
    int wallTopX = 0, wallTop = 0;
    Project({10, 5.5f, 0}, &wallTopX, &wallTop);
    // Up the column: model colour up to the wall's top edge, background grey above it.
    EXPECT_TRUE(image.IsModel(x, wallTop + 2));
    for (int row = wallTop - 2; row >= 0; --row) ASSERT_FALSE(image.IsModel(x, row)) << "row " << row;
    EXPECT_EQ(image.Red(x, wallTop - 3), 0x7F);
    // Beside the reflection, the wall shows its own colour, and nothing of the floor.
    Project({20, 0, -4}, &x, &y);
    EXPECT_TRUE(image.IsGrey(x, y));
    EXPECT_GT(image.Red(x, y), 0x90);
    EXPECT_LT(image.Red(x, y), 0xF0);
}

TEST_F(GlasshallImageTest, ShadowHalvesTheFloorOnceWhereShadowsOverlap) {
    const Image image = Shoot({-8, 10, 0}, 45, 90);
    int fx = 0, fy = 0, sx = 0, sy = 0;
    Project({2, -2.5f, 4}, &fx, &fy);  // open floor
    Project({4, -2.5f, -3.5f}, &sx, &sy);  // in both blocks' shadows
    const int floor = image.Red(fx, fy);
    ASSERT_TRUE(image.IsGrey(fx, fy));
    ASSERT_GT(floor, 200);
    ASSERT_TRUE(image.IsGrey(sx, sy));
    EXPECT_NEAR(image.Red(sx, sy), floor / 2.0, 1.0);
}

TEST_F(GlasshallImageTest, ShadowMovesTowardsPlusXWithKAndNeverDarkensTheMirror) {
    const Image before = Shoot({-8, 10, 0}, 45, 90);
    double rowBefore = 0, rowAfter = 0;
    ASSERT_GT(ShadowPixels(before, &rowBefore), 100);
    std::memset(KeyboardState, 0, sizeof(KeyboardState));
    KeyboardState[DIK_K] = 0x80;
    for (int frame = 0; frame < 29; ++frame) app.HandleKeys();  // light x from 1 to 4
    KeyboardState[DIK_K] = 0;
    const Image after = Shoot({-8, 10, 0}, 45, 90);
    ShadowPixels(after, &rowAfter);
    EXPECT_LT(rowAfter, rowBefore - 5) << "further along +x is higher up the screen";

    // The long shadow now reaches past the floor's far edge, where the mirror is on screen;
    // the mirror's pixels there keep the wall's colour.
    int x = 0, y = 0;
    Project({15, -2.5f, -4}, &x, &y);
    ASSERT_TRUE(before.IsGrey(x, y));
    EXPECT_GT(before.Red(x, y), 0x90);
    EXPECT_EQ(after.argb[size_t(y) * Width + x], before.argb[size_t(y) * Width + x]);
}

// Standing behind the mirror's plane and looking on along +x, the reflected block lies ahead
// of the camera, but the mirror is out of sight: the mask marks nothing, so no reflection is
// drawn. The shadow is, darkening the background where it runs on past the floor.
TEST_F(GlasshallImageTest, FacingAwayFromTheMirrorShowsTheShadowButNoReflection) {
    std::memset(KeyboardState, 0, sizeof(KeyboardState));
    KeyboardState[DIK_K] = 0x80;
    for (int frame = 0; frame < 30; ++frame) app.HandleKeys();  // light x to 4
    KeyboardState[DIK_K] = 0;
    const Image image = Shoot({12, 3, 0}, 20, 90);
    int models = 0, shadows = 0;
    for (int y = 0; y < int(Height); ++y) {
        for (int x = 0; x < int(Width); ++x) {
            models += image.IsModel(x, y);
            shadows += image.IsGrey(x, y) && std::abs(image.Red(x, y) - 0x7F / 2) <= 1;
        }
    }
    int x = 0, y = 0;
    Project({20, 0, 0}, &x, &y);
    ASSERT_TRUE(x > 0 && x < int(Width) && y > 0 && y < int(Height)) << "the reflected block is in view";
    EXPECT_EQ(models, 0);
    EXPECT_GT(shadows, 100);
}

}  // namespace
