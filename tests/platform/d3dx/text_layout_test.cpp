#include "platform/src/d3dx/text_layout.h"

#include <gtest/gtest.h>

using platform::d3dx::GlyphMetrics;
using platform::d3dx::GlyphQuad;
using platform::d3dx::LayOutText;
using platform::d3dx::TextLayout;

namespace {

// Every glyph: an 8x10 bitmap one pixel right of the pen and two below the line top,
// advancing 10 pixels; lines are 16 pixels apart.
constexpr int kLineHeight = 16;
GlyphMetrics FakeMetrics(char32_t) { return GlyphMetrics{1, 2, 8, 10, 10}; }

TextLayout Lay(const std::wstring& text, RECT rect, DWORD format = 0) {
    return LayOutText(text, rect, format, kLineHeight, FakeMetrics);
}

const GlyphQuad* QuadOf(const TextLayout& layout, char32_t code) {
    for (const GlyphQuad& quad : layout.quads) {
        if (quad.code == code) return &quad;
    }
    return nullptr;
}

}  // namespace

TEST(TextLayout, LinesStartAtTheTopLeftAndCarriageReturnsAreDropped) {
    TextLayout layout = Lay(L"ab\r\ncd", RECT{100, 50, 300, 200});
    ASSERT_EQ(layout.quads.size(), 4u);
    EXPECT_EQ(layout.height, 32);
    const GlyphQuad* b = QuadOf(layout, U'b');
    ASSERT_NE(b, nullptr);
    EXPECT_FLOAT_EQ(b->left, 111);
    EXPECT_FLOAT_EQ(b->top, 52);
    const GlyphQuad* c = QuadOf(layout, U'c');
    ASSERT_NE(c, nullptr);
    EXPECT_FLOAT_EQ(c->left, 101);
    EXPECT_FLOAT_EQ(c->top, 68);
    EXPECT_FLOAT_EQ(c->bottom, 78);
    EXPECT_FLOAT_EQ(c->u1, 1);
}

TEST(TextLayout, GlyphsCrossingTheRectangleAreCutWithTheirTextureCoordinates) {
    TextLayout layout = Lay(L"abc\ndef\nghi", RECT{0, 0, 25, 20});
    const GlyphQuad* c = QuadOf(layout, U'c');  // bitmap 21..29, cut at 25
    ASSERT_NE(c, nullptr);
    EXPECT_FLOAT_EQ(c->right, 25);
    EXPECT_FLOAT_EQ(c->u0, 0);
    EXPECT_FLOAT_EQ(c->u1, 0.5f);
    const GlyphQuad* d = QuadOf(layout, U'd');  // bitmap 18..28 high, cut at 20
    ASSERT_NE(d, nullptr);
    EXPECT_FLOAT_EQ(d->bottom, 20);
    EXPECT_FLOAT_EQ(d->v1, 0.2f);
    EXPECT_EQ(QuadOf(layout, U'g'), nullptr);  // the second line already passed the bottom
    EXPECT_EQ(layout.height, 32);
}

TEST(TextLayout, GlyphStartingRightOfTheRectangleIsLeftOut) {
    TextLayout layout = Lay(L"abc", RECT{0, 0, 20, 50});
    EXPECT_NE(QuadOf(layout, U'b'), nullptr);
    EXPECT_EQ(QuadOf(layout, U'c'), nullptr);
}

TEST(TextLayout, NoClipKeepsEverything) {
    TextLayout layout = Lay(L"abc\ndef\nghi", RECT{0, 0, 5, 5}, DT_NOCLIP);
    EXPECT_EQ(layout.quads.size(), 9u);
    EXPECT_EQ(layout.height, 48);
    const GlyphQuad* i = QuadOf(layout, U'i');
    ASSERT_NE(i, nullptr);
    EXPECT_FLOAT_EQ(i->right, 29);
    EXPECT_FLOAT_EQ(i->bottom, 44);
}

TEST(TextLayout, SingleLineIgnoresLineBreaksAndCanCentreVertically) {
    TextLayout layout = Lay(L"ab\ncd", RECT{0, 0, 100, 40}, DT_SINGLELINE | DT_VCENTER);
    ASSERT_EQ(layout.quads.size(), 4u);
    const GlyphQuad* c = QuadOf(layout, U'c');
    ASSERT_NE(c, nullptr);
    EXPECT_FLOAT_EQ(c->left, 21);
    EXPECT_FLOAT_EQ(c->top, 14);  // line top at (40 - 16) / 2
}

TEST(TextLayout, LinesAlignRightAndCentre) {
    TextLayout right = Lay(L"ab\nc", RECT{0, 0, 100, 100}, DT_RIGHT);
    EXPECT_FLOAT_EQ(QuadOf(right, U'a')->left, 81);
    EXPECT_FLOAT_EQ(QuadOf(right, U'c')->left, 91);
    TextLayout centre = Lay(L"ab", RECT{0, 0, 100, 100}, DT_CENTER);
    EXPECT_FLOAT_EQ(QuadOf(centre, U'a')->left, 41);
    EXPECT_EQ(centre.width, 20);
}

TEST(TextLayout, EmptyTextHasNoHeight) {
    TextLayout layout = Lay(L"", RECT{0, 0, 100, 100});
    EXPECT_EQ(layout.height, 0);
    EXPECT_TRUE(layout.quads.empty());
}
