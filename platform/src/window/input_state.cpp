#include "window/input_state.h"

namespace platform::window {

InputState& Input() {
    static InputState state;
    return state;
}

void ApplyInputEffect(const InputEffect& effect) {
    InputState& input = Input();
    switch (effect.kind) {
        case InputEffect::Kind::Key:
            if (effect.scanCode > 0 && effect.scanCode < 256) input.keys[effect.scanCode] = effect.down ? 0x80 : 0;
            break;
        case InputEffect::Kind::Motion:
            input.totalX += effect.dx;
            input.totalY += effect.dy;
            break;
        case InputEffect::Kind::Button:
            if (effect.button >= 0 && effect.button < 4) input.buttons[effect.button] = effect.down ? 0x80 : 0;
            break;
        case InputEffect::Kind::Wheel:
            input.totalZ += effect.wheel;
            break;
        case InputEffect::Kind::None:
            break;
    }
}

void SetForegroundState(bool foreground) {
    InputState& input = Input();
    if (input.foreground && !foreground) ++input.foregroundEpoch;
    input.foreground = foreground;
}

void ResetInputState() {
    InputState& input = Input();
    InputState fresh;
    fresh.foregroundEpoch = input.foregroundEpoch + 1;
    fresh.resetEpoch = input.resetEpoch + 1;
    input = fresh;
}

}  // namespace platform::window
