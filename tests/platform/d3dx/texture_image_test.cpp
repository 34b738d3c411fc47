// Every supported texture file format, loaded and drawn on the GL device: the texels must
// reach the screen unchanged.
#include "tests/platform/d3dx/gl_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

#include "tests/platform/d3dx/flat_jpeg.h"
#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;

namespace {

// A 4x4 picture as 0xRRGGBB, top row first. Texel (3, 3) is transparent in the formats with
// alpha, and then shows the white background.
const uint32_t kGrid[4][4] = {{0xff0000, 0x00ff00, 0x0000ff, 0xffffff},
                              {0x000000, 0xffff00, 0x00ffff, 0xff00ff},
                              {0x0000ff, 0x00ff00, 0xff0000, 0x000000},
                              {0xff00ff, 0x00ffff, 0xffff00, 0x808080}};
constexpr int kScale = 4;  // each texel covers 4x4 pixels
constexpr int kLeft = 8, kTop = 8;

struct TexturedVertex {
    float x, y, z, rhw, u, v;
};

// Palette indices of the picture, bottom row first as bitmaps store them.
Bytes GridIndices(std::vector<uint32_t>* palette) {
    Bytes indices;
    for (int y = 3; y >= 0; --y) {
        for (int x = 0; x < 4; ++x) {
            auto found = std::find(palette->begin(), palette->end(), kGrid[y][x]);
            if (found == palette->end()) found = palette->insert(palette->end(), kGrid[y][x]);
            indices.push_back(static_cast<uint8_t>(found - palette->begin()));
        }
    }
    return indices;
}

Bytes GridBmp(uint16_t bitCount, bool transparentCorner) {
    std::vector<uint32_t> palette;
    if (bitCount == 8) {
        Bytes indices = GridIndices(&palette);
        return BmpFile(4, 4, 8, 0, palette, indices);
    }
    Bytes pixels;
    for (int y = 3; y >= 0; --y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t rgb = kGrid[y][x];
            pixels.insert(pixels.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                         static_cast<uint8_t>(rgb >> 16)});
            if (bitCount == 32) pixels.push_back(transparentCorner && x == 3 && y == 3 ? 0 : 255);
        }
    }
    return BmpFile(4, 4, bitCount, 0, palette, pixels);
}

// The 8-bit picture again, each row as one literal run of four indices.
Bytes GridRle8() {
    std::vector<uint32_t> palette;
    Bytes indices = GridIndices(&palette);
    Bytes stream;
    for (int row = 0; row < 4; ++row) {
        stream.insert(stream.end(), {0, 4});
        stream.insert(stream.end(), indices.begin() + row * 4, indices.begin() + row * 4 + 4);
        stream.insert(stream.end(), {0, static_cast<uint8_t>(row == 3 ? 1 : 0)});
    }
    return BmpFile(4, 4, 8, 1, palette, stream);
}

Bytes GridDdsArgb() {
    Bytes texels;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            uint32_t rgb = kGrid[y][x];
            texels.insert(texels.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                         static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(x == 3 && y == 3 ? 0 : 255)});
        }
    }
    return DdsFile(D3DFMT_A8R8G8B8, 4, 4, 1, texels);
}

class TextureImageTest : public D3dxImageTest {
protected:
    void SetUp() override {
        D3dxImageTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() /
                  ("d3dx_texture_image_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                   "_" + std::to_string(getpid()));  // the ES run of a test may run beside it
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        D3dxImageTest::TearDown();
    }

    // Loads the file and draws its level 0 magnified, texel-exact, alpha-blended over white.
    void LoadAndDraw(const std::string& name, const Bytes& file, int width, int height) {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileW(device_, (folder_ / name).wstring().c_str(), &texture), D3D_OK);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xffffffff, 1.0f, 0);
        device_->BeginScene();
        device_->SetRenderState(D3DRS_ZENABLE, FALSE);
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
        device_->SetTexture(0, texture);
        float left = kLeft - 0.5f, top = kTop - 0.5f;
        float right = left + width * kScale, bottom = top + height * kScale;
        TexturedVertex quad[4] = {{left, top, 0, 1, 0, 0}, {right, top, 0, 1, 1, 0},
                                  {left, bottom, 0, 1, 0, 1}, {right, bottom, 0, 1, 1, 1}};
        device_->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
        device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(TexturedVertex));
        device_->SetTexture(0, nullptr);
        device_->EndScene();
        texture->Release();
        Capture();
    }

    uint32_t TexelOnScreen(int x, int y) const { return Pixel(kLeft + x * kScale + kScale / 2, kTop + y * kScale + kScale / 2); }

    void ExpectGrid(bool transparentCorner) {
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                uint32_t expected = transparentCorner && x == 3 && y == 3 ? 0xffffff : kGrid[y][x];
                EXPECT_TRUE(ColourNear(TexelOnScreen(x, y), expected)) << "texel " << x << "," << y;
            }
        }
    }

    std::filesystem::path folder_;
};

}  // namespace

TEST_F(TextureImageTest, BitmapsOfEveryDepth) {
    LoadAndDraw("palette.bmp", GridBmp(8, false), 4, 4);
    ExpectGrid(false);
    LoadAndDraw("runs.bmp", GridRle8(), 4, 4);
    ExpectGrid(false);
    LoadAndDraw("true.bmp", GridBmp(24, false), 4, 4);
    ExpectGrid(false);
    LoadAndDraw("alpha.bmp", GridBmp(32, true), 4, 4);
    ExpectGrid(true);
}

TEST_F(TextureImageTest, DdsArgbAndCompressedBlocks) {
    LoadAndDraw("argb.dds", GridDdsArgb(), 4, 4);
    ExpectGrid(true);

    // Red and blue end points; the top row walks through the four palette entries.
    LoadAndDraw("dxt1.dds", DdsFile(D3DFMT_DXT1, 4, 4, 1, {0x00, 0xf8, 0x1f, 0x00, 0xe4, 0, 0, 0}), 4, 4);
    const uint32_t dxt1Row[4] = {0xff0000, 0x0000ff, 0xaa0055, 0x5500aa};
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(ColourNear(TexelOnScreen(x, 0), dxt1Row[x], 3)) << "DXT1 texel " << x;
    EXPECT_TRUE(ColourNear(TexelOnScreen(2, 3), 0xff0000));

    // Red and green end points; texel 1 is fully transparent (alpha index 1 = 0).
    Bytes dxt5 = {255, 0, 0x08, 0, 0, 0, 0, 0, 0x00, 0xf8, 0xe0, 0x07, 0xe4, 0, 0, 0};
    LoadAndDraw("dxt5.dds", DdsFile(D3DFMT_DXT5, 4, 4, 1, dxt5), 4, 4);
    const uint32_t dxt5Row[4] = {0xff0000, 0xffffff, 0xaa5500, 0x55aa00};
    for (int x = 0; x < 4; ++x) EXPECT_TRUE(ColourNear(TexelOnScreen(x, 0), dxt5Row[x], 3)) << "DXT5 texel " << x;
}

TEST_F(TextureImageTest, JpegOfAFlatColour) {
    LoadAndDraw("flat.jpg", kFlatJpeg, 16, 8);
    EXPECT_TRUE(ColourNear(TexelOnScreen(8, 4), 0xc86432, 4));
    EXPECT_TRUE(ColourNear(TexelOnScreen(0, 0), 0xc86432, 4));
}
