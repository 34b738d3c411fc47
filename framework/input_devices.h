// The keyboard and mouse, seen two ways: DirectInput snapshots (read by the shell's window
// procedure after each message it handles) and the tables that the window procedure keeps
// from the window messages themselves. One keyboard and one mouse per process.
#pragma once

#include <windows.h>

#include <dinput.h>

extern IDirectInput8W* DirectInput;
extern IDirectInputDevice8W* Keyboard;
extern IDirectInputDevice8W* Mouse;

// Last snapshots: one byte per DIK_ scan code (0x80 while down), and the mouse's relative
// motion with its button bytes (index 0 left, 1 right).
extern BYTE KeyboardState[256];
extern DIMOUSESTATE MouseState;

// Kept by the window procedure: 1 after WM_KEYDOWN / button down, 0 after the matching up.
extern int KeyTable[256];
extern int MouseButtons[2];

// Creates and acquires the system keyboard and mouse for MainWindow; false at the first
// failing step (whatever was created stays until ReleaseInput).
bool InitInput(HINSTANCE instance);
// Refreshes both snapshots; a device whose read fails is re-acquired and keeps its old
// snapshot. Devices that were never created are left alone.
void ReadInput();
void ReleaseInput();

// 0x80 while the key (a DIK_ code, taken modulo 256) is down in the snapshot, else 0.
int IsKeyDown(int code);
// 0x80 while mouse button index (0 left, 1 right, 2, 3) is down in the snapshot, else 0.
int IsMouseButtonDown(int index);
