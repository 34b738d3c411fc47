#include "gl/gl_resources.h"

#include "d3d9/formats.h"
#include "d3dx/dxt_codec.h"
#include "gl/gl_profile.h"
#include "gl/gl_translate.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// A GL object that the device's state cache must forget when it goes. When the device is
// gone its context went with it, and so did the object.
class GlObject final : public GpuObject {
public:
    enum Kind { kBuffer, kTexture };
    GlObject(Kind kind, std::weak_ptr<GlStateCache> cache) : kind_(kind), cache_(std::move(cache)) {
        if (kind_ == kBuffer) glGenBuffers(1, &name_);
        else glGenTextures(1, &name_);
    }
    ~GlObject() override {
        auto cache = cache_.lock();
        if (cache == nullptr) return;
        if (kind_ == kBuffer) {
            cache->forgetBuffer(name_);
            glDeleteBuffers(1, &name_);
        } else {
            cache->forgetTexture(name_);
            glDeleteTextures(1, &name_);
        }
    }
    GLuint name() const { return name_; }
    bool owner(const std::shared_ptr<GlStateCache>& cache) const { return cache_.lock() == cache; }

private:
    Kind kind_;
    std::weak_ptr<GlStateCache> cache_;
    GLuint name_ = 0;
};

// The object for this device, made anew when the resource was last used by another device.
GlObject& MirrorOf(std::unique_ptr<GpuObject>& gpu, GlObject::Kind kind, const std::shared_ptr<GlStateCache>& cache,
                   bool* created) {
    auto* object = static_cast<GlObject*>(gpu.get());
    *created = object == nullptr || !object->owner(cache);
    if (*created) {
        gpu = std::make_unique<GlObject>(kind, cache);
        object = static_cast<GlObject*>(gpu.get());
    }
    return *object;
}

void UploadBuffer(GLenum target, BufferStorage& storage, bool created) {
    DirtyRange& dirty = storage.dirty();
    bool discarded = storage.takeDiscard();
    if (created || (discarded && dirty.begin == 0 && dirty.end == storage.length())) {
        glBufferData(target, storage.length(), storage.bytes().data(), GL_DYNAMIC_DRAW);
    } else if (!dirty.empty()) {
        glBufferSubData(target, dirty.begin, dirty.end - dirty.begin, storage.bytes().data() + dirty.begin);
    }
    dirty.clear();
}

struct GlFormat {
    GLint internalFormat;
    GLenum format;
    GLenum type;
    bool compressed;
};

GlFormat GlFormatOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_L8: return {GL_R8, GL_RED, GL_UNSIGNED_BYTE, false};
        case D3DFMT_DXT1: return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0, true};
        case D3DFMT_DXT3: return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0, true};
        case D3DFMT_DXT5: return {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, true};
        default: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false};  // D3D's ARGB is BGRA in memory
    }
}

// Formats without alpha read as opaque; luminance spreads over red, green and blue. The ES
// profile has no swizzles in WebGL2: its texels are made so on upload (RgbaTexels).
void SetSwizzle(D3DFORMAT format, GLsizei levels) {
    if (!EsProfile()) {
        if (format == D3DFMT_X8R8G8B8) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        if (format == D3DFMT_L8) {
            GLint swizzle[4] = {GL_RED, GL_RED, GL_RED, GL_ONE};
            glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
}

// A level as R, G, B, A bytes, the one upload WebGL2 takes for all of these formats: ARGB
// (B, G, R, A in memory) with red and blue swapped, XRGB also made opaque, luminance spread
// over red, green and blue, DXT decoded (WebGL2 need not have S3TC).
std::vector<uint32_t> RgbaTexels(D3DFORMAT format, const ImageLevel& image) {
    const size_t count = static_cast<size_t>(image.width) * image.height;
    std::vector<uint32_t> texels(count);
    if (format == D3DFMT_L8) {
        for (size_t i = 0; i < count && i < image.bytes.size(); ++i) texels[i] = 0xff000000u | image.bytes[i] * 0x010101u;
        return texels;
    }
    const uint32_t opaque = format == D3DFMT_X8R8G8B8 ? 0xff000000u : 0u;
    std::vector<uint8_t> decoded;
    d3dx::Bytes bgra = image.bytes;
    if (d3dx::IsBlockCompressed(format)) {
        decoded = d3dx::DecodeDxtLevel(format, image.width, image.height, image.bytes);
        bgra = decoded;
    }
    std::memcpy(texels.data(), bgra.data(), std::min(bgra.size(), count * sizeof(uint32_t)));
    for (uint32_t& texel : texels) texel = SwapRedBlue(texel) | opaque;
    return texels;
}

void UploadLevel(const Texture& texture, GLint level) {
    const ImageLevel& image = texture.levels()[level];
    if (EsProfile()) {
        const std::vector<uint32_t> texels = RgbaTexels(texture.format(), image);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
        return;
    }
    GlFormat gl = GlFormatOf(texture.format());
    if (gl.compressed) {
        glCompressedTexImage2D(GL_TEXTURE_2D, level, gl.internalFormat, image.width, image.height, 0,
                               static_cast<GLsizei>(image.bytes.size()), image.bytes.data());
    } else {
        glTexImage2D(GL_TEXTURE_2D, level, gl.internalFormat, image.width, image.height, 0, gl.format, gl.type,
                     image.bytes.data());
    }
}

}  // namespace

GLuint PrepareVertexBuffer(VertexBuffer& buffer, const std::shared_ptr<GlStateCache>& cache) {
    bool created = false;
    GlObject& mirror = MirrorOf(buffer.storage().gpu(), GlObject::kBuffer, cache, &created);
    cache->bindArrayBuffer(mirror.name());
    if (created || !buffer.storage().dirty().empty()) UploadBuffer(GL_ARRAY_BUFFER, buffer.storage(), created);
    return mirror.name();
}

GLuint PrepareIndexBuffer(IndexBuffer& buffer, const std::shared_ptr<GlStateCache>& cache) {
    bool created = false;
    GlObject& mirror = MirrorOf(buffer.storage().gpu(), GlObject::kBuffer, cache, &created);
    cache->bindElementBuffer(mirror.name());
    if (created || !buffer.storage().dirty().empty()) UploadBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer.storage(), created);
    return mirror.name();
}

GLuint PrepareTexture(Texture& texture, GLuint unit, const std::shared_ptr<GlStateCache>& cache) {
    bool created = false;
    GlObject& mirror = MirrorOf(texture.gpu(), GlObject::kTexture, cache, &created);
    cache->bindTexture(unit, mirror.name());
    GLsizei levels = static_cast<GLsizei>(texture.levels().size());
    if (created) {
        SetSwizzle(texture.format(), levels);
        texture.dirtyLevels() = ~0u;
    }
    uint32_t dirty = texture.dirtyLevels();
    if (dirty == 0) return mirror.name();
    for (GLsizei level = 0; level < levels; ++level) {
        if (dirty & (1u << (level < 31 ? level : 31))) UploadLevel(texture, level);
    }
    texture.dirtyLevels() = 0;
    return mirror.name();
}

}  // namespace platform
