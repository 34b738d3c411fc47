// Buffers and textures: lock ranges, descriptions and the FVF vertex layouts.
#include "d3d9/fvf_layout.h"

#include <d3d9.h>

#include <host.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { device_ = host::CreateTraceDevice(); }
    void TearDown() override { device_->Release(); }
    IDirect3DDevice9* device_ = nullptr;
};

TEST_F(ResourcesTest, BufferLockRangesAreChecked) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(100, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    void* whole = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
    std::memset(whole, 0xab, 100);
    buffer->Unlock();

    void* part = nullptr;
    ASSERT_EQ(buffer->Lock(40, 0, &part, D3DLOCK_NOOVERWRITE), D3D_OK);  // size 0: to the end
    EXPECT_EQ(static_cast<uint8_t*>(part) - static_cast<uint8_t*>(whole), 40);
    buffer->Unlock();
    EXPECT_EQ(buffer->Lock(96, 4, &part, 0), D3D_OK);
    buffer->Unlock();

    void* beyond = whole;
    EXPECT_EQ(buffer->Lock(96, 8, &beyond, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(beyond, nullptr);
    EXPECT_EQ(buffer->Lock(101, 0, &beyond, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(0, 4, nullptr, 0), D3DERR_INVALIDCALL);
    // The failed locks wrote nothing.
    ASSERT_EQ(buffer->Lock(0, 0, &whole, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(whole)[99], 0xab);
    buffer->Unlock();

    D3DVERTEXBUFFER_DESC desc{};
    buffer->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 100u);
    EXPECT_EQ(desc.Type, D3DRTYPE_VERTEXBUFFER);
    EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_WRITEONLY));
    buffer->Release();

    IDirect3DVertexBuffer9* tooSmall = nullptr;
    EXPECT_EQ(device_->CreateVertexBuffer(8, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &tooSmall, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &tooSmall, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(ResourcesTest, IndexBuffersTakeSixteenAndThirtyTwoBitFormats) {
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &indices, nullptr), D3D_OK);
    D3DINDEXBUFFER_DESC desc{};
    indices->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_INDEX32);
    indices->Release();
    EXPECT_EQ(device_->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &indices, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(indices, nullptr);
}

TEST_F(ResourcesTest, TextureLevelsAndLockRectangles) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(64, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 7u);  // 64x16 down to 1x1
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(3, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(texture->GetLevelDesc(7, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked{};
    RECT rect{4, 2, 8, 3};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    auto* base = static_cast<uint8_t*>(locked.pBits);
    EXPECT_EQ(locked.Pitch, 256);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(locked.pBits) - base, 2 * 256 + 4 * 4);
    texture->UnlockRect(0);
    RECT outside{60, 0, 65, 1};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    RECT empty{5, 5, 5, 6};
    EXPECT_EQ(texture->LockRect(0, &locked, &empty, 0), D3DERR_INVALIDCALL);
    texture->Release();

    EXPECT_EQ(device_->CreateTexture(64, 16, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_P8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(ResourcesTest, CompressedTexturesLockWholeBlocks) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(16, 8, 0, 0, D3DFMT_DXT5, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 4 * 16);  // four blocks of 16 bytes per block row
    auto* base = static_cast<uint8_t*>(locked.pBits);
    texture->UnlockRect(0);
    RECT block{4, 4, 8, 8};
    ASSERT_EQ(texture->LockRect(0, &locked, &block, 0), D3D_OK);
    EXPECT_EQ(static_cast<uint8_t*>(locked.pBits) - base, 64 + 16);
    texture->UnlockRect(0);
    RECT unaligned{2, 0, 8, 4};
    EXPECT_EQ(texture->LockRect(0, &locked, &unaligned, 0), D3DERR_INVALIDCALL);
    // The 2x1 level is smaller than a block; a whole-level lock still works.
    ASSERT_EQ(texture->LockRect(3, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    texture->UnlockRect(3);
    texture->Release();
}

TEST(FvfLayout, SizesAndOffsets) {
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), 28u);
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_XYZ | D3DFVF_PSIZE | D3DFVF_DIFFUSE), 20u);
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_XYZB3 | D3DFVF_NORMAL), 36u);
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE3(0) | D3DFVF_TEXCOORDSIZE1(1)),
              12u + 12u + 4u);
    EXPECT_EQ(platform::FvfVertexSize(D3DFVF_NORMAL), 0u);  // no position

    platform::FvfLayout layout = platform::DescribeFvf(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                                                       D3DFVF_SPECULAR | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE4(1));
    ASSERT_TRUE(layout.valid);
    EXPECT_EQ(layout.normalOffset, 12);
    EXPECT_EQ(layout.pointSizeOffset, 24);
    EXPECT_EQ(layout.diffuseOffset, 28);
    EXPECT_EQ(layout.specularOffset, 32);
    EXPECT_EQ(layout.texCoordOffset[0], 36);
    EXPECT_EQ(layout.texCoordOffset[1], 44);
    EXPECT_EQ(layout.texCoordComponents[1], 4);
    EXPECT_EQ(layout.stride, 60u);

    platform::FvfLayout screen = platform::DescribeFvf(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    EXPECT_TRUE(screen.pretransformed);
    EXPECT_EQ(screen.positionComponents, 4);
    EXPECT_EQ(screen.diffuseOffset, 16);
    EXPECT_EQ(screen.normalOffset, -1);
}

}  // namespace
