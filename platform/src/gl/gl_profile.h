// Which OpenGL the GL device speaks: desktop GL 3.3 core, or OpenGL ES 3.0, the GL of WebGL2.
//
// The ES profile keeps to what WebGL2 has, so that what draws right with it natively (Mesa
// offers an ES 3.0 context on llvmpipe, headless) also draws right in a browser: GLSL ES
// 3.00, no BGRA pixel transfers, no texture swizzles, no polygon modes, no border
// addressing, no base-vertex draws, no compressed textures it may lack.
#pragma once

#include <string>

namespace platform {

enum class GlProfile { kDesktop, kEs };

// The browser build speaks ES only. A native build speaks desktop GL unless the environment
// says DEMO_GL_PROFILE=es (the ES tests, and demo-run compared with the browser). Read once.
GlProfile ChosenGlProfile();

inline bool EsProfile() { return ChosenGlProfile() == GlProfile::kEs; }

// GL_VERSION of the current context ("OpenGL ES 3.2 Mesa ..."); empty without one.
std::string CurrentGlVersion();

}  // namespace platform
