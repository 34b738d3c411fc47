// Vertex buffers, index buffers, textures and surfaces as system-memory objects that belong
// to no particular device kind: the trace device only stores them, the GL device mirrors
// them into GL objects lazily, uploading only what was written since the last draw.
#pragma once

#include <d3d9.h>

#include "core/com.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// The GL mirror of a resource; the GL device derives from it and the resource owns it.
class GpuObject {
public:
    virtual ~GpuObject() = default;
};

// Bytes written since the last upload, as one covering range.
struct DirtyRange {
    UINT begin = 0;
    UINT end = 0;
    bool empty() const { return begin >= end; }
    void add(UINT from, UINT to);
    void clear() { begin = end = 0; }
};

// The storage and lock rules shared by vertex and index buffers.
class BufferStorage {
public:
    explicit BufferStorage(UINT length) : bytes_(length) {}
    // Lock as Direct3D defines it: size 0 means "to the end"; a range past the end fails
    // with D3DERR_INVALIDCALL. The whole locked range counts as written.
    HRESULT lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT unlock();

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    UINT length() const { return static_cast<UINT>(bytes_.size()); }
    DirtyRange& dirty() { return dirty_; }
    // Set by a DISCARD lock: the GL mirror may orphan its storage instead of waiting.
    bool takeDiscard();
    std::unique_ptr<GpuObject>& gpu() { return gpu_; }

private:
    std::vector<uint8_t> bytes_;
    DirtyRange dirty_;
    int lockCount_ = 0;
    bool discarded_ = false;
    std::unique_ptr<GpuObject> gpu_;
};

// What vertex and index buffers share: the owning device, the description, and the bytes
// behind Lock and Unlock.
template <typename Interface, typename Desc>
class Buffer : public RefCounted<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return desc_.Type; }
    HRESULT STDMETHODCALLTYPE Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        return storage_.lock(offset, size, data, flags);
    }
    HRESULT STDMETHODCALLTYPE Unlock() override { return storage_.unlock(); }
    HRESULT STDMETHODCALLTYPE GetDesc(Desc* desc) override {
        if (desc == nullptr) return D3DERR_INVALIDCALL;
        *desc = desc_;
        return D3D_OK;
    }
    BufferStorage& storage() { return storage_; }

protected:
    Buffer(IDirect3DDevice9* device, const Desc& desc) : device_(device), desc_(desc), storage_(desc.Size) {}

    IDirect3DDevice9* device_;
    Desc desc_;
    BufferStorage storage_;
};

class VertexBuffer final : public Buffer<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC> {
public:
    VertexBuffer(IDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : Buffer(device, {D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf}) {}
};

class IndexBuffer final : public Buffer<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC> {
public:
    IndexBuffer(IDirect3DDevice9* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : Buffer(device, {format, D3DRTYPE_INDEXBUFFER, usage, pool, length}) {}
    D3DFORMAT format() const { return desc_.Format; }
};

// One mip level (or a stand-alone surface): tightly packed rows, top row first.
struct ImageLevel {
    UINT width = 0;
    UINT height = 0;
    UINT pitch = 0;
    std::vector<uint8_t> bytes;
    bool locked = false;
};

class Texture final : public RefCounted<IDirect3DTexture9> {
public:
    Texture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD STDMETHODCALLTYPE GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT STDMETHODCALLTYPE GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT STDMETHODCALLTYPE LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override;

    D3DFORMAT format() const { return format_; }
    const std::vector<ImageLevel>& levels() const { return levels_; }
    // Bit n set: level n was written since the GL mirror last uploaded it.
    uint32_t& dirtyLevels() { return dirtyLevels_; }
    std::unique_ptr<GpuObject>& gpu() { return gpu_; }

private:
    IDirect3DDevice9* device_;
    D3DFORMAT format_;
    DWORD usage_;
    D3DPOOL pool_;
    std::vector<ImageLevel> levels_;
    uint32_t dirtyLevels_ = 0;
    std::unique_ptr<GpuObject> gpu_;
};

// Validates a lock rectangle against a level and returns the address of its first byte.
HRESULT LockImage(ImageLevel& image, D3DFORMAT format, D3DLOCKED_RECT* lockedRect, const RECT* rect);

// A texture level seen as a surface, or a stand-alone image such as a back buffer. A
// stand-alone surface may refresh its bytes when locked (the GL back buffer reads itself).
class Surface final : public RefCounted<IDirect3DSurface9> {
public:
    Surface(Texture* texture, UINT level);
    Surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, bool lockable,
            std::function<void(ImageLevel&)> refreshOnLock);
    ~Surface() override;
    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE STDMETHODCALLTYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT STDMETHODCALLTYPE GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT STDMETHODCALLTYPE LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnlockRect() override;

private:
    Texture* texture_ = nullptr;
    UINT level_ = 0;
    IDirect3DDevice9* device_ = nullptr;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    bool lockable_ = true;
    ImageLevel image_;
    std::function<void(ImageLevel&)> refreshOnLock_;
};

}  // namespace platform
