// Screen text for the programs: a D3DX font with a height and a colour, and the
// frames-per-second counter drawn with a font the program registers.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

class TextFont {
public:
    TextFont();
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Creates the font (face "宋体", the given pixel height); the shell releases it after
    // the program's Cleanup, so programs never release it themselves.
    HRESULT Create(IDirect3DDevice9* device, int height, D3DCOLOR colour);
    // Draws text left- and top-aligned in the box x..x+width, y..y+height; returns the
    // height drawn (0 when nothing was drawn).
    int Draw(const wchar_t* text, int x, int y, int width);

    ID3DXFont* font;
    int height;
    D3DCOLOR colour;
};

// Releases the font of every TextFont created so far (called by the shell at shut-down).
void ReleaseFonts();

void SetFpsFont(TextFont* font);
// Counts one frame; every time more than 1000 ms of clock have passed, Fps becomes the
// frames counted over that time.
void UpdateFps();
// UpdateFps, then "NNfps" at 10, 10 with the registered font.
void DrawFps();

extern int FrameCount;
extern int LastTick;
extern int FpsTick;
extern int FrameMilliseconds;
extern float Fps;
extern TextFont* FpsFont;
