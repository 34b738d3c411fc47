// The OpenGL API the GL device draws with: desktop GL through libepoxy natively (which also
// serves an OpenGL ES context), WebGL2's OpenGL ES 3.0 in the browser.
//
// DEMO_DESKTOP_GL is 1 where desktop-only entry points (glPolygonMode, glProvokingVertex,
// glDrawElementsBaseVertex) exist at all; code that calls them also checks the profile of
// the running context (gl/gl_profile.h), since a native build may run on either.
#pragma once

#if defined(__EMSCRIPTEN__)
#include <GLES3/gl3.h>
#include <GLES2/gl2ext.h>
#define DEMO_DESKTOP_GL 0
// Desktop enums that the translators shared by both profiles name; the ES paths never pass
// them to GL. Values from the OpenGL registry.
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_TEXTURE_BORDER_COLOR 0x1004
#define GL_POINT_SIZE_RANGE 0x0B12
#define GL_CLAMP_TO_BORDER 0x812D
#define GL_BGRA 0x80E1
#define GL_TEXTURE_SWIZZLE_RGBA 0x8E46
#else
#include <epoxy/gl.h>
#define DEMO_DESKTOP_GL 1
#endif
