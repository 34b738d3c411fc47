#include "framework/text_font.h"

#include <algorithm>
#include <ctime>
#include <cwchar>
#include <vector>

int FrameCount = 0;
int LastTick = 0;
int FpsTick = 0;
int FrameMilliseconds = 0;
float Fps = 0;
TextFont* FpsFont = nullptr;

namespace {

// Every TextFont that holds a font, so the shell can release them all after Cleanup. Never
// destroyed, so that a TextFont in static storage may still unregister itself at exit.
std::vector<TextFont*>& CreatedFonts() {
    static auto* fonts = new std::vector<TextFont*>;
    return *fonts;
}

// Milliseconds from `earlier` to `later` on the wrapping clock.
int TicksBetween(int earlier, int later) {
    return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}

void ReleaseFont(TextFont* textFont) {
    if (textFont->font == nullptr) return;
    textFont->font->Release();
    textFont->font = nullptr;
}

}  // namespace

TextFont::TextFont() : font(nullptr), height(0), colour(0) {}

TextFont::~TextFont() {
    std::vector<TextFont*>& fonts = CreatedFonts();
    fonts.erase(std::remove(fonts.begin(), fonts.end(), this), fonts.end());
    if (FpsFont == this) FpsFont = nullptr;
}

HRESULT TextFont::Create(IDirect3DDevice9* device, int height, D3DCOLOR colour) {
    this->height = height;
    this->colour = colour;
    ReleaseFont(this);
    D3DXFONT_DESCW description = {};
    description.Height = height;
    description.CharSet = DEFAULT_CHARSET;
    std::wcscpy(description.FaceName, L"宋体");
    const HRESULT result = D3DXCreateFontIndirectW(device, &description, &font);
    if (FAILED(result)) font = nullptr;
    std::vector<TextFont*>& fonts = CreatedFonts();
    if (font != nullptr && std::find(fonts.begin(), fonts.end(), this) == fonts.end()) fonts.push_back(this);
    return result;
}

int TextFont::Draw(const wchar_t* text, int x, int y, int width) {
    if (font == nullptr || text == nullptr) return 0;
    RECT box = {x, y, x + width, y + height};
    return font->DrawTextW(nullptr, text, -1, &box, 0, colour);
}

void ReleaseFonts() {
    for (TextFont* textFont : CreatedFonts()) ReleaseFont(textFont);
    CreatedFonts().clear();
}

void SetFpsFont(TextFont* font) { FpsFont = font; }

void UpdateFps() {
    FrameCount += 1;
    const int now = static_cast<int>(static_cast<unsigned>(clock()));
    FrameMilliseconds = TicksBetween(LastTick, now);
    LastTick = now;
    if (TicksBetween(FpsTick, now) > 1000) {
        Fps = static_cast<float>(FrameCount * 1000.0 / TicksBetween(FpsTick, now));
        FrameCount = 0;
        FpsTick = now;
    }
}

void DrawFps() {
    UpdateFps();
    if (FpsFont == nullptr) return;
    wchar_t text[64];
    std::swprintf(text, 64, L"%.0ffps", Fps);
    FpsFont->Draw(text, 10, 10, 100);
}
