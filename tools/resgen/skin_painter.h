// Paints the skins of the generated MD2 characters: rectangular regions, each filled with a
// pattern (cloth, metal plates, scales, a face ...) in the region's own colours.
//
// A skin is 256 × 256 pixels, but only its upper half is painted; the lower half mirrors it
// row for row. Our loader samples a texture coordinate t at v = 1 - t while other MD2
// readers take t from the top, and on a skin symmetric about its middle row both land on
// the same texel.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/resgen/rig_mesh.h"

namespace resgen {

constexpr int SkinWidth = 256;
constexpr int SkinHeight = 256;
constexpr int SkinPaintedHeight = SkinHeight / 2;
constexpr int SkinCell = 32;  // regions are laid out in cells of this many pixels

struct Rgb {
    uint8_t r, g, b;
};

// Where a region's features sit: wrapped round a limb, body or head, the middle column of
// the region faces forward; on a box's front face the region fills the face.
enum class Pattern {
    Plain,    // base colour with a fine grain
    Cloth,    // woven fabric
    Metal,    // brushed metal with a soft sheen
    Plates,   // metal panels: detail-coloured seams and bright rivets
    Stripes,  // horizontal bands of base and detail
    Checks,   // a check of base and detail with accent lines (a flannel shirt)
    Scales,   // overlapping scales, darker detail at their rims
    Glow,     // a glowing blade: base brightened towards white
    Emblem,   // base with a detail cross at the front
    Belly,    // base round the back, detail over the front (a lighter belly)
    Face,     // skin (base), eyes (detail iris), mouth; short hair (accent) on top and behind
    LongHair, // as Face, with the hair falling all round the back
    Mask,     // a painted face: base skin with detail stripes, accent eyes
    DinoFace, // big round eyes high up, nostrils, a wide smile
    Eyeball,  // white with a round detail pupil at the front
    Helmet,   // base metal with a dark T-shaped slit at the front
    Visor,    // base with a dark visor band lit by an accent strip, a grille below
    MonoEye,  // base armour with one large accent eye at the front
};

struct Paint {
    Pattern pattern;
    Rgb base;
    Rgb detail{0, 0, 0};
    Rgb accent{0, 0, 0};
};

struct SkinRegion {
    SkinRect rect;  // in pixels of the painted half
    Paint paint;
};

// The rectangle of cells (column, row, columns, rows) in skin pixels.
SkinRect Cells(int column, int row, int columns = 1, int rows = 1);

// The whole skin, SkinWidth × SkinHeight RGB bytes, top row first; unpainted pixels are grey.
std::vector<uint8_t> PaintSkin(const std::vector<SkinRegion>& regions, uint32_t seed);

}  // namespace resgen
