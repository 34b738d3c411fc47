// The capabilities both devices report: those of the GL device on an OpenGL 3.3 context.
#pragma once

#include <d3d9caps.h>

namespace platform {

// The caps of the GL device. The largest point size is the GL implementation's once a GL
// device has been created in this process (RecordGlPointSizeLimit), 256 before that.
D3DCAPS9 DefaultDeviceCaps();
void RecordGlPointSizeLimit(float maxPointSize);

}  // namespace platform
