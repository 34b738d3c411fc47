// halfspace on the GL device with the generated mouse and its tree: the lit, textured mouse
// on its blue pad, and the yellow ball drawn where it flies, read back from whole frames.
#include "programs/halfspace/halfspace_app.h"

#include <dinput.h>
#include <host.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tests/support/headless_device.h"

namespace {

constexpr UINT Width = 400, Height = 300;

struct Image {
    std::vector<uint32_t> argb;
    int Red(size_t i) const { return argb[i] >> 16 & 0xFF; }
    int Green(size_t i) const { return argb[i] >> 8 & 0xFF; }
    int Blue(size_t i) const { return argb[i] & 0xFF; }
    bool IsYellow(size_t i) const { return Red(i) > 120 && Green(i) > 120 && Blue(i) < Red(i) / 3; }
    bool IsPad(size_t i) const { return Blue(i) > 70 && Blue(i) > Red(i) + 40; }
};

class HalfspaceImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless = demo_test::CreateHeadlessDevice(Width, Height);
        ASSERT_NE(headless.device, nullptr);
        host::SetResourceFolder(DEMO_RESOURCE_DIR);
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring& text) { boxes.push_back(text); });
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        ElapsedTime = 0.016;
        app.device = headless.device;
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, 0.78539819f, float(Width) / Height, 0.1f, 5000.0f);
        app.device->SetTransform(D3DTS_PROJECTION, &projection);
        app.Init();
    }
    void TearDown() override {
        KeyboardState[DIK_SPACE] = 0;
        app.Cleanup();
        ReleaseFonts();
        app.device = nullptr;
        demo_test::ReleaseHeadlessDevice(&headless);
        host::SetResourceFolder("");
    }
    Image Frame() {
        app.Frame();
        Image image;
        int width = 0, height = 0;
        EXPECT_TRUE(host::ReadBackBuffer(app.device, &width, &height, &image.argb));
        EXPECT_EQ(width, int(Width));
        return image;
    }
    // Where the ball's centre lands on the screen.
    void Project(D3DXVECTOR3 point, double* x, double* y) {
        D3DXMATRIX projection, viewProjection;
        app.device->GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&viewProjection, &app.camera.view, &projection);
        D3DXVECTOR3 clip;
        D3DXVec3TransformCoord(&clip, &point, &viewProjection);
        *x = (clip.x + 1) / 2 * Width;
        *y = (1 - clip.y) / 2 * Height;
    }
    // The yellow pixels' count and their mean position.
    static int Yellow(const Image& image, double* x, double* y) {
        int count = 0;
        double sx = 0, sy = 0;
        for (size_t i = 0; i < image.argb.size(); ++i) {
            if (!image.IsYellow(i)) continue;
            ++count;
            sx += double(i % Width) + 0.5;
            sy += double(i / Width) + 0.5;
        }
        if (count > 0) *x = sx / count, *y = sy / count;
        return count;
    }

    demo_test::HeadlessDevice headless;
    HalfspaceApp app{nullptr};
    std::vector<std::wstring> boxes;
};

}  // namespace

TEST_F(HalfspaceImageTest, TheMouseSitsLitAndTexturedOnABluePad) {
    EXPECT_TRUE(boxes.empty());
    ASSERT_GT(app.mouse.materialCount, 1u);
    ASSERT_NE(app.tree.root, nullptr);
    const Image image = Frame();
    size_t pad = 0;
    std::set<uint32_t> padShades, otherShades;
    for (size_t i = 0; i < image.argb.size(); ++i) {
        const uint32_t rgb = image.argb[i] & 0xFFFFFF;
        if (image.IsPad(i)) {
            ++pad;
            padShades.insert(rgb);
        } else if (rgb != 0) {
            otherShades.insert(rgb);
        }
    }
    // The pad fills a good part of the lower screen, its texture and the light giving it many
    // shades; the mouse's shell, buttons and cable give many more that are not blue.
    EXPECT_GT(pad, size_t(Width * Height / 20));
    EXPECT_GT(padShades.size(), 50u);
    EXPECT_GT(otherShades.size(), 50u);
    // Before the first shot the ball rests on the pad, small and to the left of the mouse, in
    // the lower half of the picture.
    double x = 0, y = 0;
    const int ball = Yellow(image, &x, &y);
    EXPECT_GT(ball, 0) << "the resting ball shows";
    EXPECT_LT(ball, Width * Height / 500) << "as a small disc";
    EXPECT_LT(x, Width / 2.0);
    EXPECT_GT(y, Height / 2.0);
    EXPECT_NEAR(app.ball.position.y, -1.5f + app.ball.radius, 0.01f) << "on the pad's top";
}

TEST_F(HalfspaceImageTest, AShotBallFliesIntoTheMouseAndBouncesOff) {
    // Look down at the mouse (about 15 degrees) and fire.
    app.camera.SetAngles(0.27f, 0.0f);
    KeyboardState[DIK_SPACE] = 0x80;
    app.Frame();
    KeyboardState[DIK_SPACE] = 0;
    ASSERT_TRUE(app.ball.bouncePending) << "the shot hits the mouse";
    const D3DXVECTOR3 launched = app.ball.position;
    // In flight, the ball shows as a yellow disc where it is.
    for (int i = 0; i < 5; ++i) app.Frame();
    const D3DXVECTOR3 flying = app.ball.position;
    Image image = Frame();
    double x = 0, y = 0, px = 0, py = 0;
    EXPECT_GT(Yellow(image, &x, &y), 20);
    Project(flying, &px, &py);
    EXPECT_NEAR(x, px, 3.0);
    EXPECT_NEAR(y, py, 3.0);
    const D3DXVECTOR3 travel = flying - launched;
    EXPECT_GT(D3DXVec3Length(&travel), 0.5f);
    // It strikes, turns and flies away along the bounce.
    int frames = 0;
    while (D3DXVec3Dot(&app.ball.direction, &app.ball.bounceDirection) < 0.999f && frames < 200) {
        app.Frame();
        ++frames;
    }
    ASSERT_LT(frames, 200);
    const D3DXVECTOR3 struck = app.ball.position;
    for (int i = 0; i < 10; ++i) app.Frame();
    const D3DXVECTOR3 away = app.ball.position - struck;
    EXPECT_NEAR(D3DXVec3Length(&away), 10 * 10 * 0.016f, 1e-3f);
    image = Frame();
    EXPECT_GT(Yellow(image, &x, &y), 3) << "still in sight";
}
