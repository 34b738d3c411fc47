#include <d3dx9.h>
#include <host.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "platform/src/d3dx/image.h"

#include "tests/platform/d3dx/flat_jpeg.h"
#include "tests/platform/d3dx/image_files.h"

using namespace d3dx_test;

namespace {

class TextureFromFile : public ::testing::Test {
protected:
    void SetUp() override {
        device_ = host::CreateTraceDevice(64, 64);
        ASSERT_NE(device_, nullptr);
        folder_ = std::filesystem::temp_directory_path() /
                  ("d3dx_texture_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        if (device_ != nullptr) device_->Release();
        std::filesystem::remove_all(folder_);
    }

    // Writes the file and returns its name in Windows spelling (backslashes, other case).
    std::wstring Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(folder_ / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                              static_cast<std::streamsize>(bytes.size()));
        std::wstring path = folder_.wstring() + L"\\";
        for (char c : name) path.push_back(static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c))));
        return path;
    }

    IDirect3DDevice9* device_ = nullptr;
    std::filesystem::path folder_;
};

}  // namespace

TEST_F(TextureFromFile, BitmapBecomesAPowerOfTwoTextureWithAFullChain) {
    Bytes pixels(12 * 5, 0x40);  // 3x5 at 24 bits: 9 bytes and 3 of padding per row
    std::wstring path = Write("odd.bmp", BmpFile(3, 5, 24, 0, {}, pixels));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileW(device_, path.c_str(), &texture), D3D_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 8u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(3, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(*static_cast<const uint32_t*>(locked.pBits), 0xff404040u);
    texture->UnlockRect(3);
    texture->Release();
}

TEST_F(TextureFromFile, CompressedFileKeepsItsFormatAndLevels) {
    Bytes blocks;
    for (int i = 0; i < 4; ++i) blocks.insert(blocks.end(), {0x00, 0xf8, 0x1f, 0x00, 0xe4, 0, 0, 0});
    blocks.insert(blocks.end(), {0x1f, 0x00, 0x1f, 0x00, 0, 0, 0, 0});  // 4x4 level: blue
    std::wstring path = Write("Sky.dds", DdsFile(D3DFMT_DXT1, 8, 8, 2, blocks));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileW(device_, path.c_str(), &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(1, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_DXT1);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(1, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(locked.pBits, blocks.data() + 32, 8), 0);
    texture->UnlockRect(1);
    texture->Release();
}

TEST_F(TextureFromFile, JpegLoadsThroughTheAnsiName) {
    std::wstring path = Write("flat.jpg", kFlatJpeg);
    std::string narrow(path.begin(), path.end());
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device_, narrow.c_str(), &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 5u);  // 16x8 down to 1x1
    texture->Release();
}

TEST_F(TextureFromFile, MissingOrBrokenFilesFailWithoutATexture) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileW(device_, (folder_.wstring() + L"/none.bmp").c_str(), &texture),
              D3DXERR_INVALIDDATA);
    Bytes bmp = BmpFile(3, 5, 24, 0, {}, Bytes(60, 0x40));
    Bytes dds = DdsFile(D3DFMT_DXT1, 8, 8, 1, Bytes(32, 0));
    std::wstring cutBmp = Write("cut.bmp", Bytes(bmp.begin(), bmp.end() - 1));
    std::wstring cutDds = Write("cut.dds", Bytes(dds.begin(), dds.end() - 1));
    std::wstring cutJpeg = Write("cut.jpg", Bytes(kFlatJpeg.begin(), kFlatJpeg.begin() + 300));
    std::wstring text = Write("notes.txt", Bytes{'h', 'e', 'l', 'l', 'o'});
    for (const std::wstring& path : {cutBmp, cutDds, cutJpeg, text}) {
        EXPECT_EQ(D3DXCreateTextureFromFileW(device_, path.c_str(), &texture), D3DXERR_INVALIDDATA);
    }
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFileW(nullptr, L"x.bmp", &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileW(device_, nullptr, &texture), D3DERR_INVALIDCALL);
}

// Only regular files are read: a FIFO fails at once instead of waiting for a writer, and a
// link to an endless device fails instead of reading until memory runs out.
TEST_F(TextureFromFile, SpecialFilesFailAtOnce) {
    const std::filesystem::path fifo = folder_ / "pipe.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder_ / "zero.bmp");
    for (const char* name : {"pipe.bmp", "zero.bmp"}) {
        std::future<HRESULT> loaded = std::async(std::launch::async, [&] {
            IDirect3DTexture9* texture = nullptr;
            return D3DXCreateTextureFromFileW(device_, (folder_ / name).wstring().c_str(), &texture);
        });
        const bool answered = loaded.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        // Let a blocked open of the FIFO go on, so that the test can end either way.
        if (!answered) close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        EXPECT_TRUE(answered) << name;
        if (answered) {
            EXPECT_EQ(loaded.get(), D3DXERR_INVALIDDATA) << name;
        }
    }
}

// A file larger than any texture file can be is refused unread, whatever its first bytes say.
TEST_F(TextureFromFile, OversizedFileIsRefusedUnread) {
    Write("huge.bmp", BmpFile(3, 5, 24, 0, {}, Bytes(60, 0x40)));
    std::filesystem::resize_file(folder_ / "huge.bmp", platform::d3dx::kMaxTextureFileBytes + 1);  // sparse
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileW(device_, (folder_ / "huge.bmp").wstring().c_str(), &texture),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

// A file larger than the device's largest texture is scaled down to it, as D3DX does.
TEST_F(TextureFromFile, ImageLargerThanTheDeviceTakesIsScaledDownToItsLimit) {
    D3DCAPS9 caps{};
    device_->GetDeviceCaps(&caps);
    caps.MaxTextureWidth = 64;
    caps.MaxTextureHeight = 32;
    IDirect3DDevice9* small = host::CreateTraceDevice(64, 64, &caps);
    // 1000 x 1000 of palette entry 1 in runs of 250, four runs a row.
    Bytes stream;
    for (int row = 0; row < 1000; ++row) stream.insert(stream.end(), {250, 1, 250, 1, 250, 1, 250, 1, 0, 0});
    stream.insert(stream.end(), {0, 1});
    std::wstring path = Write("big.bmp", BmpFile(1000, 1000, 8, 1, {0x000000, 0x336699}, stream));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileW(small, path.c_str(), &texture), D3D_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 32u);
    EXPECT_EQ(texture->GetLevelCount(), 7u);  // 64x32 down to 1x1
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const uint32_t*>(locked.pBits)[63], 0xff336699u);
    texture->UnlockRect(0);
    texture->Release();
    small->Release();
}
