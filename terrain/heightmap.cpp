#include "terrain/heightmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

int GridWidth = 0;
int GridHeight = 0;
int GridScale = 0;
std::vector<TerrainVertex> TerrainVertices;
std::vector<BYTE> SplitFlags;

namespace {

const wchar_t* const MissingFileMessage = L"灰度图文件不存在";
const wchar_t* const NotBitmapMessage = L"灰度图非位图文件";
const wchar_t* const NotEightBitMessage = L"非8位位图";
const wchar_t* const TooLargeMessage = L"灰度图过大";

void Report(const wchar_t* text) { MessageBoxW(nullptr, text, L"", MB_OK); }

uint32_t ReadU32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
int32_t ReadI32(const BYTE* p) { return static_cast<int32_t>(ReadU32(p)); }
uint16_t ReadU16(const BYTE* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// The header fields the reader uses. The info header is read with the first palette entry,
// 44 bytes after the 14-byte file header.
struct BitmapHeader {
    uint16_t type = 0;
    uint32_t pixelOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
};

bool ReadHeader(FILE* file, BitmapHeader* header) {
    BYTE bytes[14 + 44] = {};
    if (fread(bytes, 1, 14, file) != 14) return false;
    header->type = ReadU16(bytes);
    header->pixelOffset = ReadU32(bytes + 10);
    if (fread(bytes + 14, 1, 44, file) < 40) return false;
    header->width = ReadI32(bytes + 18);
    header->height = ReadI32(bytes + 22);
    header->bitsPerPixel = ReadU16(bytes + 28);
    header->compression = ReadU32(bytes + 30);
    return true;
}

constexpr uint32_t UncompressedPixels = 0;  // BI_RGB
constexpr uint32_t RunLengthPixels = 1;     // BI_RLE8

// Heights in file order: row 0 is the first row stored (the bottom row of a bottom-up
// bitmap), GridWidth samples a row. Samples past the end of a short file stay 0.
std::vector<BYTE> ReadUncompressedRows(FILE* file, const BitmapHeader& header) {
    std::vector<BYTE> heights(size_t(GridWidth) * GridHeight, 0);
    const int padding = (GridWidth + 3) / 4 * 4 - GridWidth;
    fseek(file, header.pixelOffset, SEEK_SET);
    for (int row = 0; row < GridHeight; ++row) {
        if (fread(&heights[size_t(row) * GridWidth], 1, GridWidth, file) != size_t(GridWidth)) break;
        fseek(file, padding, SEEK_CUR);
    }
    return heights;
}

// An RLE8 run stream, bottom row first, as byte pairs: (n > 0, v) is n samples of v; (0, 0)
// ends a row; (0, 1) ends the bitmap; (0, 2, dx, dy) moves right and up; (0, n >= 3) is
// followed by n literal samples, padded to an even count. Skipped samples stay 0. False for
// a stream that writes outside the grid or ends before its end marker.
bool ReadRunLengthRows(FILE* file, const BitmapHeader& header, std::vector<BYTE>* heights) {
    heights->assign(size_t(GridWidth) * GridHeight, 0);
    if (fseek(file, header.pixelOffset, SEEK_SET) != 0) return false;
    int column = 0, row = 0;
    // Room for `count` samples at the cursor, which must lie inside the grid.
    auto fits = [&](int count) { return row < GridHeight && column + count <= GridWidth; };
    while (true) {
        const int count = fgetc(file), value = fgetc(file);
        if (count == EOF || value == EOF) return false;
        if (count > 0) {
            if (!fits(count)) return false;
            std::fill_n(&(*heights)[size_t(row) * GridWidth + column], count, BYTE(value));
            column += count;
        } else if (value == 0) {
            column = 0;
            if (++row > GridHeight) return false;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            const int right = fgetc(file), up = fgetc(file);
            if (right == EOF || up == EOF) return false;
            column += right;
            row += up;
            if (column > GridWidth || row > GridHeight) return false;
        } else {
            if (!fits(value)) return false;
            if (fread(&(*heights)[size_t(row) * GridWidth + column], 1, value, file) != size_t(value)) return false;
            column += value;
            if (value % 2 == 1 && fgetc(file) == EOF) return false;
        }
    }
}

// Rows in file order become grid rows from z = 0 upwards; a top-down bitmap stores its bottom
// row last.
void FillVertices(const std::vector<BYTE>& heights, bool topDown) {
    for (int fileRow = 0; fileRow < GridHeight; ++fileRow) {
        const int r = topDown ? GridHeight - 1 - fileRow : fileRow;
        for (int c = 0; c < GridWidth; ++c) {
            TerrainVertex& v = TerrainVertices[GridIndex(r, c)];
            v.position = D3DXVECTOR3(float(c * GridScale), float(heights[size_t(fileRow) * GridWidth + c]),
                                     float(r * GridScale));
            v.normal = D3DXVECTOR3(0, 0, 0);
            v.tu = c * 0.1f;
            v.tv = r * 0.1f;
        }
    }
}

// Checks what the reader needs of the header. A wrong file type is reported but tolerated, as
// long as the fields make sense; anything that would turn into garbage heights is rejected.
bool AcceptHeader(const BitmapHeader& header) {
    const bool isBitmap = header.type == 0x4D42;
    if (!isBitmap) Report(NotBitmapMessage);
    if (header.bitsPerPixel != 8) {
        Report(NotEightBitMessage);
        return false;
    }
    // Other compressions, a top-down run stream (which bitmaps do not have) or an impossible
    // size cannot be taken as heights.
    const bool knownLayout = header.compression == UncompressedPixels ||
                             (header.compression == RunLengthPixels && header.height > 0);
    if (!knownLayout || header.width <= 0 || header.height == 0 || header.height == INT32_MIN) {
        if (isBitmap) Report(NotBitmapMessage);
        return false;
    }
    const int64_t rows = header.height < 0 ? -int64_t(header.height) : header.height;
    if (int64_t(header.width) * rows > MaxGridSamples) {
        Report(TooLargeMessage);
        return false;
    }
    return true;
}

}  // namespace

void ClearHeightmap() {
    GridWidth = GridHeight = 0;
    TerrainVertices.clear();
    SplitFlags.clear();
}

bool ReadHeightmap(const wchar_t* path) {
    ClearHeightmap();
    FILE* file = _wfopen(path, L"rb");
    if (file == nullptr) {
        Report(MissingFileMessage);
        return false;
    }
    BitmapHeader header;
    if (!ReadHeader(file, &header)) {
        Report(NotBitmapMessage);
        fclose(file);
        return false;
    }
    if (!AcceptHeader(header)) {
        fclose(file);
        return false;
    }
    const bool topDown = header.height < 0;
    GridWidth = header.width;
    GridHeight = topDown ? -header.height : header.height;
    std::vector<BYTE> heights;
    if (header.compression == RunLengthPixels) {
        if (!ReadRunLengthRows(file, header, &heights)) {
            fclose(file);
            ClearHeightmap();
            Report(NotBitmapMessage);
            return false;
        }
    } else {
        heights = ReadUncompressedRows(file, header);
    }
    fclose(file);
    TerrainVertices.assign(size_t(GridWidth) * GridHeight, TerrainVertex{});
    SplitFlags.assign(size_t(GridWidth) * GridHeight, 0);
    FillVertices(heights, topDown);
    ComputeNormals();
    return true;
}

void ComputeNormals() {
    const float s = float(GridScale);
    auto height = [](int r, int c) { return TerrainVertices[GridIndex(r, c)].position.y; };
    auto addNormal = [](int r, int c, const D3DXVECTOR3& n) { TerrainVertices[GridIndex(r, c)].normal += n; };
    for (TerrainVertex& v : TerrainVertices) v.normal = D3DXVECTOR3(0, 0, 0);
    for (int r = 0; r + 1 < GridHeight; ++r) {
        for (int c = 0; c + 1 < GridWidth; ++c) {
            const float hP = height(r, c), hQ = height(r + 1, c), hR = height(r, c + 1), hS = height(r + 1, c + 1);
            const D3DXVECTOR3 first(-s * (hR - hP), s * s, -s * (hQ - hP));  // triangle P, Q, R
            const D3DXVECTOR3 second(s * (hQ - hS), s * s, s * (hR - hS));   // triangle S, R, Q
            addNormal(r, c, first);
            addNormal(r + 1, c, first);
            addNormal(r, c + 1, first);
            addNormal(r + 1, c, second);
            addNormal(r, c + 1, second);
            addNormal(r + 1, c + 1, second);
        }
    }
    for (TerrainVertex& v : TerrainVertices) D3DXVec3Normalize(&v.normal, &v.normal);
}
