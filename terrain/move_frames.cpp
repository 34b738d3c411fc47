#include "terrain/move_frames.h"

#include <dinput.h>

#include "framework/input_devices.h"

bool CountMoveFrame(int* moveFrames) {
    if (IsKeyDown(DIK_W) || IsKeyDown(DIK_S) || IsKeyDown(DIK_A) || IsKeyDown(DIK_D)) {
        *moveFrames += 1;
        if (*moveFrames > 20) {
            *moveFrames = 0;
            return true;
        }
    }
    return false;
}
