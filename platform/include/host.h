// Host hooks: how the headless runner and the tests drive a Windows-style program on this
// platform. Not part of the Windows surface; programs and subsystems never include it.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

// ---- mode -------------------------------------------------------------------------------
// Headless mode draws into an off-screen GL context (SDL's offscreen driver with Mesa) and
// answers message boxes at once. It is chosen automatically when no display is available;
// SetHeadless overrides that choice and must be called before the first window is created.
void SetHeadless(bool headless);
bool IsHeadless();

// ---- time -------------------------------------------------------------------------------
// A virtual clock replaces the real one for timeGetTime and clock (both in milliseconds).
// Pass an empty function to return to the real clock.
void SetVirtualClock(std::function<uint32_t()> milliseconds);

// ---- the message loop -------------------------------------------------------------------
// Called by PeekMessageW each time it finds the queue empty, just before it would answer
// FALSE. Events injected by the hook are returned by that same PeekMessageW call.
void SetIdleHook(std::function<void()> hook);

// Input injection: each event is queued as the window system would deliver it. A key arrives
// as WM_KEYDOWN / WM_KEYUP with its virtual-key code and, once retrieved, updates the
// DirectInput keyboard state (the key's DIK_ code); buttons as WM_xBUTTONDOWN / UP and the
// mouse state; a move sets the cursor (client coordinates of the main window); close sends
// WM_CLOSE.
void InjectKey(int virtualKey, bool down);
void InjectMouseMove(int clientX, int clientY);
void InjectMouseButton(int button /* 0 left, 1 right */, bool down);
void InjectClose();
// The window's foreground state, as DirectInput's foreground devices see it.
void SetForeground(bool foreground);

// DirectInput scan code (DIK_) of a Windows virtual-key code; 0 when the key has none.
int ScanCodeOfVirtualKey(int virtualKey);

// ---- frames -----------------------------------------------------------------------------
// Called after each IDirect3DDevice9::Present of the GL device, with the GL work finished
// when FinishOnPresent is set (for timing).
void SetPresentHook(std::function<void(IDirect3DDevice9*)> hook);
void SetFinishOnPresent(bool finish);

// The last presented back buffer as ARGB pixels, top row first. False when the device has none.
bool ReadBackBuffer(IDirect3DDevice9* device, int* width, int* height, std::vector<uint32_t>* argb);
// Writes ARGB pixels (top row first) as an RGB PNG file. False on failure.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);
// Reads a PNG file (any colour type) as ARGB pixels, alpha 0xFF, top row first. False when
// the file cannot be read as a PNG.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* argb);
// The same as a baseline JPEG of the given quality (1 to 100). False on failure.
bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, int quality);

// ---- listeners --------------------------------------------------------------------------
// Every text drawn with ID3DXFont::DrawTextW: the rectangle's left and top, and the text.
void SetTextListener(std::function<void(int x, int y, const std::wstring& text)> listener);
// Every message box. While a listener is set, or in headless mode, a box is recorded and
// answered IDOK at once instead of being shown.
void SetMessageBoxListener(std::function<void(const std::wstring& caption, const std::wstring& text)> listener);
// Every line the platform reports about a failure its caller cannot see in full (a refused
// shader, an X file that did not load and why). While a listener is set, the lines go to it
// instead of standard error.
void SetFailureListener(std::function<void(const std::string& line)> listener);

// ---- files ------------------------------------------------------------------------------
// The folder that a program's "..\Resource\" (in any spelling of separators) stands for.
// Empty: no override; the path is resolved relative to the working directory.
void SetResourceFolder(const std::string& folder);
// The one path resolver used by every function that opens a file: '\' and '//' become '/',
// "..\Resource\" maps to the override folder, and each component is matched
// case-insensitively against the file system, as on Windows.
std::string ResolvePath(const std::wstring& windowsPath);
std::string ResolvePath(const std::string& windowsPath);

// ---- the trace device -------------------------------------------------------------------
// An IDirect3DDevice9 that draws nothing and records every call with its arguments, one line
// per call, such as "SetRenderState(D3DRS_LIGHTING, 0)". Capabilities default to those of
// the GL device; pass others to test how a program reacts to them.
IDirect3DDevice9* CreateTraceDevice(UINT backBufferWidth = 800, UINT backBufferHeight = 600,
                                    const D3DCAPS9* caps = nullptr);
// The calls recorded so far by a trace device (empty for any other device), and a way to
// start a new recording.
const std::vector<std::string>& TraceCalls(IDirect3DDevice9* traceDevice);
void ClearTrace(IDirect3DDevice9* traceDevice);
// Stops (or resumes) the recording, so that a benchmark times the calling code alone.
void SetTraceRecording(IDirect3DDevice9* traceDevice, bool recording);
// Makes the next Direct3DCreate9 hand out trace devices from CreateDevice (for tests of the
// application shell); capabilities as above.
void UseTraceDevices(bool enable, const D3DCAPS9* caps = nullptr);

// Makes IDirect3D9::CreateDevice fail with D3DERR_NOTAVAILABLE, as on a machine without a
// usable adapter, to test how a program copes.
void RefuseDevices(bool refuse);

// ---- reset ------------------------------------------------------------------------------
// Forgets windows, queued events, input state and hooks, so a test can run another program in
// the same process.
void Reset();

// What main returns. In the browser a main that waited for the page returns into no caller
// that would end the program: it ends here, and the page hears of it.
int EndMain(int result);

}  // namespace host
