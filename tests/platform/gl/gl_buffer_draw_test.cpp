// Drawing from vertex and index buffers: offsets, base vertices, index sizes and updates.
#include "gl_fixture.h"

#include <algorithm>

namespace {

using GlBufferDrawTest = GlDeviceTest;

// Two rectangles, left (red) and right (green), as eight screen vertices.
void FillRects(ScreenVertex* v) {
    const float xs[2][2] = {{0, 32}, {32, 64}};
    const D3DCOLOR colors[2] = {0xffff0000, 0xff00ff00};
    for (int rect = 0; rect < 2; ++rect) {
        float l = xs[rect][0], r = xs[rect][1];
        D3DCOLOR c = colors[rect];
        v[rect * 4 + 0] = {l, 0, 0.5f, 1, c, 0, 0};
        v[rect * 4 + 1] = {r, 0, 0.5f, 1, c, 0, 0};
        v[rect * 4 + 2] = {l, 64, 0.5f, 1, c, 0, 0};
        v[rect * 4 + 3] = {r, 64, 0.5f, 1, c, 0, 0};
    }
}

TEST_F(GlBufferDrawTest, DrawPrimitiveFromAVertexBufferWithStartVertex) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device_->CreateVertexBuffer(8 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, kScreenFvf,
                                          D3DPOOL_MANAGED, &buffer, nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    FillRects(static_cast<ScreenVertex*>(data));
    buffer->Unlock();
    device_->SetFVF(kScreenFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(ScreenVertex));
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 0, 0);

    // Rewriting part of the buffer reaches the next draw.
    ASSERT_EQ(buffer->Lock(4 * sizeof(ScreenVertex), 4 * sizeof(ScreenVertex), &data, 0), D3D_OK);
    auto* right = static_cast<ScreenVertex*>(data);
    for (int i = 0; i < 4; ++i) right[i].color = 0xff0000ff;
    buffer->Unlock();
    device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 0, 255);
    buffer->Release();
}

TEST_F(GlBufferDrawTest, DrawIndexedPrimitiveWithBaseVertexAndBothIndexSizes) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    device_->CreateVertexBuffer(8 * sizeof(ScreenVertex), 0, kScreenFvf, D3DPOOL_MANAGED, &buffer, nullptr);
    void* data = nullptr;
    buffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
    FillRects(static_cast<ScreenVertex*>(data));
    buffer->Unlock();
    device_->SetFVF(kScreenFvf);
    device_->SetStreamSource(0, buffer, 0, sizeof(ScreenVertex));

    IDirect3DIndexBuffer9* shortIndices = nullptr;
    device_->CreateIndexBuffer(12 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &shortIndices, nullptr);
    buffer->Release();
    shortIndices->Lock(0, 0, &data, 0);
    const uint16_t quad[12] = {9, 9, 9, 9, 9, 9, 0, 1, 2, 2, 1, 3};  // the first six are never read
    std::memcpy(data, quad, sizeof quad);
    shortIndices->Unlock();
    device_->SetIndices(shortIndices);
    // startIndex 6 skips the unused indices; base vertex 4 selects the right rectangle.
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 6, 2), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 0, 0);

    // The same draw in wireframe: the two triangles' shared diagonal, from the top-right
    // corner (64, 0) to the bottom-left (32, 64), crosses row 32 at x = 48; inside them is dark.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 6, 2), D3D_OK);
    int diagonal = 0;
    for (int x = 46; x <= 50; ++x) diagonal = std::max(diagonal, Channel(Pixel(x, 32), 8));
    EXPECT_GT(diagonal, 128) << "the diagonal edge";
    EXPECT_RGB_NEAR(Pixel(58, 40), 0, 0, 0);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 0, 0);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    shortIndices->Release();

    IDirect3DIndexBuffer9* longIndices = nullptr;
    device_->CreateIndexBuffer(6 * 4, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &longIndices, nullptr);
    longIndices->Lock(0, 0, &data, 0);
    const uint32_t left[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, left, sizeof left);
    longIndices->Unlock();
    device_->SetIndices(longIndices);
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(16, 32), 255, 0, 0);
    longIndices->Release();
}

TEST_F(GlBufferDrawTest, IndexedUserPointerDrawAndLines) {
    ScreenVertex vertices[8];
    FillRects(vertices);
    const uint16_t indices[6] = {4, 5, 6, 6, 5, 7};
    device_->SetFVF(kScreenFvf);
    ASSERT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 2, indices, D3DFMT_INDEX16, vertices,
                                              sizeof(ScreenVertex)),
              D3D_OK);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 255, 0);

    ScreenVertex line[2] = {{0, 10, 0.5f, 1, 0xffffffff, 0, 0}, {64, 10, 0.5f, 1, 0xffffffff, 0, 0}};
    device_->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(ScreenVertex));
    EXPECT_RGB_NEAR(Pixel(20, 10), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(20, 11), 0, 0, 0);
    EXPECT_RGB_NEAR(Pixel(20, 9), 0, 0, 0);
}

}  // namespace
