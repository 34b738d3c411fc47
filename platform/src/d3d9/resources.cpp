#include "d3d9/resources.h"

#include "d3d9/formats.h"

#include <algorithm>

namespace platform {

void DirtyRange::add(UINT from, UINT to) {
    if (from >= to) return;
    if (empty()) {
        begin = from;
        end = to;
        return;
    }
    begin = std::min(begin, from);
    end = std::max(end, to);
}

HRESULT BufferStorage::lock(UINT offset, UINT size, void** data, DWORD flags) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    UINT length = this->length();
    if (offset > length || (size != 0 && size > length - offset)) {
        *data = nullptr;
        return D3DERR_INVALIDCALL;
    }
    UINT end = size == 0 ? length : offset + size;
    if (flags & D3DLOCK_DISCARD) discarded_ = true;
    if ((flags & D3DLOCK_READONLY) == 0) dirty_.add(offset, end);
    ++lockCount_;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

HRESULT BufferStorage::unlock() {
    if (lockCount_ > 0) --lockCount_;
    return D3D_OK;
}

bool BufferStorage::takeDiscard() {
    bool discarded = discarded_;
    discarded_ = false;
    return discarded;
}

// ---- images -------------------------------------------------------------------------------

namespace {

ImageLevel MakeImage(D3DFORMAT format, UINT width, UINT height) {
    ImageLevel image;
    image.width = width;
    image.height = height;
    image.pitch = FormatRowPitch(format, width);
    image.bytes.assign(FormatImageBytes(format, width, height), 0);
    return image;
}

// DXTn locks must cover whole 4x4 blocks, except where a level edge cuts a block.
bool BlockAligned(const ImageLevel& image, const RECT& rect) {
    auto edgeOk = [](LONG value, UINT limit) { return value % 4 == 0 || static_cast<UINT>(value) == limit; };
    return rect.left % 4 == 0 && rect.top % 4 == 0 && edgeOk(rect.right, image.width) &&
           edgeOk(rect.bottom, image.height);
}

}  // namespace

HRESULT LockImage(ImageLevel& image, D3DFORMAT format, D3DLOCKED_RECT* lockedRect, const RECT* rect) {
    if (lockedRect == nullptr || image.locked) return D3DERR_INVALIDCALL;
    RECT area{0, 0, static_cast<LONG>(image.width), static_cast<LONG>(image.height)};
    if (rect != nullptr) {
        area = *rect;
        if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
            static_cast<UINT>(area.right) > image.width || static_cast<UINT>(area.bottom) > image.height) {
            return D3DERR_INVALIDCALL;
        }
        if (IsBlockCompressed(format) && !BlockAligned(image, area)) return D3DERR_INVALIDCALL;
    }
    UINT row = IsBlockCompressed(format) ? static_cast<UINT>(area.top) / 4 : static_cast<UINT>(area.top);
    UINT column = IsBlockCompressed(format) ? static_cast<UINT>(area.left) / 4 : static_cast<UINT>(area.left);
    lockedRect->Pitch = static_cast<INT>(image.pitch);
    lockedRect->pBits = image.bytes.data() + row * image.pitch + column * FormatUnitBytes(format);
    image.locked = true;
    return D3D_OK;
}

Texture::Texture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                 D3DPOOL pool)
    : device_(device), format_(format), usage_(usage), pool_(pool) {
    if (levels == 0) levels = FullMipCount(width, height);
    for (UINT level = 0; level < levels; ++level) {
        levels_.push_back(MakeImage(format, std::max(1u, width >> level), std::max(1u, height >> level)));
    }
    dirtyLevels_ = levels >= 32 ? ~0u : (1u << levels) - 1;
}

HRESULT Texture::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (desc == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{format_, D3DRTYPE_SURFACE, usage_, pool_, D3DMULTISAMPLE_NONE, 0,
                            levels_[level].width, levels_[level].height};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *surface = new Surface(this, level);
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (level >= levels_.size()) return D3DERR_INVALIDCALL;
    HRESULT result = LockImage(levels_[level], format_, lockedRect, rect);
    if (SUCCEEDED(result) && (flags & D3DLOCK_READONLY) == 0) dirtyLevels_ |= 1u << std::min(level, 31u);
    return result;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    levels_[level].locked = false;
    return D3D_OK;
}

// ---- surfaces -----------------------------------------------------------------------------

Surface::Surface(Texture* texture, UINT level) : texture_(texture), level_(level) { texture_->AddRef(); }

Surface::Surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, bool lockable,
                 std::function<void(ImageLevel&)> refreshOnLock)
    : device_(device),
      format_(format),
      lockable_(lockable),
      image_(MakeImage(format, width, height)),
      refreshOnLock_(std::move(refreshOnLock)) {}

Surface::~Surface() {
    if (texture_ != nullptr) texture_->Release();
}

HRESULT Surface::GetDevice(IDirect3DDevice9** device) {
    if (texture_ != nullptr) return texture_->GetDevice(device);
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (texture_ != nullptr) return texture_->GetLevelDesc(level_, desc);
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{format_, D3DRTYPE_SURFACE, 0, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0,
                            image_.width, image_.height};
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (texture_ != nullptr) return texture_->LockRect(level_, lockedRect, rect, flags);
    if (!lockable_ || image_.locked) return D3DERR_INVALIDCALL;
    if (refreshOnLock_) refreshOnLock_(image_);
    return LockImage(image_, format_, lockedRect, rect);
}

HRESULT Surface::UnlockRect() {
    if (texture_ != nullptr) return texture_->UnlockRect(level_);
    if (!image_.locked) return D3DERR_INVALIDCALL;
    image_.locked = false;
    return D3D_OK;
}

}  // namespace platform
