// halfspace's mesh: a computer mouse (shell, two buttons, a ridged wheel, a cable) on a
// mouse pad, written as mouse.x with its textures beside it.
#pragma once

#include <string>

namespace resgen {

// The scale and the turn about x that halfspace gives the mesh; its BSP file is built from
// the mesh in this pose.
constexpr float kMouseScale = 0.01f;
constexpr float kMouseTurn = 1.5707964f;

// Writes mouse.x, mouse_shell.bmp, mouse_buttons.bmp, mouse_wheel.bmp and mousepad.bmp.
bool WriteMouseFiles(const std::string& folder);

}  // namespace resgen
