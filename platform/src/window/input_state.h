// The device state behind the DirectInput keyboard and mouse. It changes when a message is
// retrieved from the queue, so a read made by the window procedure matches the message.
#pragma once

#include "window/window_state.h"

#include <cstdint>

namespace platform::window {

struct InputState {
    uint8_t keys[256] = {};  // by DIK_ code, 0x80 while down
    // Motion summed since the start; each mouse device reports the difference to its last read.
    int64_t totalX = 0, totalY = 0, totalZ = 0;
    uint8_t buttons[4] = {};
    bool foreground = true;
    // Moves on whenever foreground devices lose their acquisition (focus lost, reset).
    uint32_t foregroundEpoch = 0;
    // Moves on when the host resets the layer: every device made before is lost.
    uint32_t resetEpoch = 0;
};

InputState& Input();

void ApplyInputEffect(const InputEffect& effect);
// Focus changes of the program's window, as foreground devices see them.
void SetForegroundState(bool foreground);
void ResetInputState();

}  // namespace platform::window
