// The GL mirrors of the device-independent resources, created on first use and updated
// with only what was written since the last draw.
#pragma once

#include "d3d9/resources.h"
#include "gl/gl_state_cache.h"

#include <memory>

namespace platform {

// Uploads what changed and binds the buffer to GL_ARRAY_BUFFER; returns the GL name.
GLuint PrepareVertexBuffer(VertexBuffer& buffer, const std::shared_ptr<GlStateCache>& cache);
// Uploads what changed and binds the buffer to GL_ELEMENT_ARRAY_BUFFER.
GLuint PrepareIndexBuffer(IndexBuffer& buffer, const std::shared_ptr<GlStateCache>& cache);
// Uploads the levels written since the last use and binds the texture to a unit.
GLuint PrepareTexture(Texture& texture, GLuint unit, const std::shared_ptr<GlStateCache>& cache);

}  // namespace platform
