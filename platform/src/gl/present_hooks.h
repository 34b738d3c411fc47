// The host's frame hooks as the GL device sees them.
#pragma once

#include <d3d9.h>

namespace platform {

// Called by the GL device after each Present: finishes the GL work when asked, then calls
// the hook set with host::SetPresentHook.
void RunPresentHook(IDirect3DDevice9* device);
bool FinishOnPresent();

}  // namespace platform
