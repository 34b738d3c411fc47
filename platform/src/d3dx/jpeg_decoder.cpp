#include "d3dx/jpeg_decoder.h"

#include <array>
#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace platform::d3dx {
namespace {

constexpr uint8_t kMarker = 0xff;
constexpr uint8_t kStartOfImage = 0xd8;
constexpr uint8_t kEndOfImage = 0xd9;
constexpr uint8_t kStartOfScan = 0xda;
constexpr uint8_t kHuffmanTable = 0xc4;
// The frame headers stb_image decodes: baseline, extended sequential and progressive.
constexpr uint8_t kFirstFrameHeader = 0xc0;
constexpr uint8_t kLastFrameHeader = 0xc2;
constexpr uint32_t kBlockSide = 8;
constexpr uint8_t kFirstRestart = 0xd0;
constexpr uint8_t kLastRestart = 0xd7;

// Which Huffman tables (DC and AC, four slots each) the segments so far have defined.
// stb_image neither clears the tables nor checks that a scan's tables were defined, so a
// scan that names a missing one would decode with whatever the memory held.
using DefinedTables = std::array<std::array<bool, 4>, 2>;

// A DHT segment's payload: tables of a class/slot byte, 16 code counts and as many symbols
// as the counts add up to. stb_image trusts the counts, so more than 256 symbols in one
// table would write past its code tables; such a segment is rejected here.
bool ReadHuffmanSegment(Bytes payload, DefinedTables& defined) {
    size_t at = 0;
    while (at < payload.size()) {
        if (at + 17 > payload.size()) return false;
        uint8_t tableClass = payload[at] >> 4, slot = payload[at] & 15;
        if (tableClass > 1 || slot > 3) return false;
        size_t symbols = 0;
        for (size_t i = 1; i <= 16; ++i) symbols += payload[at + i];
        if (symbols > 256) return false;
        defined[tableClass][slot] = true;
        at += 17 + symbols;
    }
    return at == payload.size();
}

// An SOS payload: the components with their DC/AC table slots, then the spectral range and
// the successive approximation bits. DC tables serve scans that start at coefficient 0 (but
// not DC refinement scans), AC tables scans that reach past it.
bool ScanTablesDefined(Bytes payload, const DefinedTables& defined) {
    if (payload.empty()) return false;
    size_t components = payload[0];
    if (payload.size() < 1 + 2 * components + 3) return false;
    uint8_t spectralStart = payload[1 + 2 * components], spectralEnd = payload[2 + 2 * components];
    uint8_t approximationHigh = payload[3 + 2 * components] >> 4;
    bool needsDc = spectralStart == 0 && approximationHigh == 0, needsAc = spectralEnd > 0;
    for (size_t i = 0; i < components; ++i) {
        uint8_t dc = payload[2 + 2 * i] >> 4, ac = payload[2 + 2 * i] & 15;
        if (needsDc && (dc > 3 || !defined[0][dc])) return false;
        if (needsAc && (ac > 3 || !defined[1][ac])) return false;
    }
    return true;
}

// The offset of the first marker after entropy-coded data starting at `at`: a 0xff byte
// followed by anything but a stuffed zero or a restart marker. The data size when none.
size_t EndOfEntropyData(Bytes file, size_t at) {
    for (; at + 1 < file.size(); ++at) {
        uint8_t next = file[at + 1];
        if (file[at] == kMarker && next != 0 && (next < kFirstRestart || next > kLastRestart)) return at;
    }
    return file.size();
}

// The 8x8 blocks of a full-resolution component of the frame whose header this is: every
// JPEG has at least one such component.
uint64_t FrameBlocks(Bytes payload) {
    if (payload.size() < 5) return 0;
    const uint32_t height = (static_cast<uint32_t>(payload[1]) << 8) | payload[2];
    const uint32_t width = (static_cast<uint32_t>(payload[3]) << 8) | payload[4];
    return uint64_t{(width + kBlockSide - 1) / kBlockSide} * ((height + kBlockSide - 1) / kBlockSide);
}

// Walks every marker segment and scan as the decoder will; the file must end its last scan
// with the end-of-image marker, every segment must lie inside the data and every scan must
// use tables defined before it. Each block costs at least one bit of entropy-coded data (the
// shortest Huffman code of its DC difference), so a file whose scans are shorter than its
// frame's blocks cannot be whole: it is refused before a decoder sizes an image for it.
bool IsComplete(Bytes file) {
    if (file.size() < 4 || file[0] != kMarker || file[1] != kStartOfImage) return false;
    size_t at = 2;
    bool scanned = false;
    uint64_t blocks = 0, entropyBytes = 0;
    DefinedTables defined{};
    while (true) {
        if (at + 2 > file.size() || file[at] != kMarker) return false;
        uint8_t marker = file[at + 1];
        if (marker == kMarker) {  // fill byte
            ++at;
            continue;
        }
        if (marker == kEndOfImage) return scanned && entropyBytes * 8 >= blocks;
        if (at + 4 > file.size()) return false;
        size_t length = (static_cast<size_t>(file[at + 2]) << 8) | file[at + 3];
        if (length < 2 || at + 2 + length > file.size()) return false;
        Bytes payload = file.subspan(at + 4, length - 2);
        if (marker == kHuffmanTable && !ReadHuffmanSegment(payload, defined)) return false;
        if (marker == kStartOfScan && !ScanTablesDefined(payload, defined)) return false;
        if (marker >= kFirstFrameHeader && marker <= kLastFrameHeader) blocks = FrameBlocks(payload);
        at += 2 + length;
        if (marker == kStartOfScan) {
            scanned = true;
            const size_t end = EndOfEntropyData(file, at);
            entropyBytes += end - at;
            at = end;
        }
    }
}

}  // namespace

std::optional<Image> DecodeJpeg(Bytes file) {
    if (!IsComplete(file) || file.size() > INT_MAX) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels)) {
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > static_cast<int>(kMaxImageSide) || height > static_cast<int>(kMaxImageSide)) {
        return std::nullopt;
    }
    stbi_uc* rgba = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 4);
    if (rgba == nullptr) return std::nullopt;
    Image image;
    image.format = D3DFMT_X8R8G8B8;
    ImageLevel level{static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                     std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    for (size_t i = 0; i < level.bytes.size(); i += 4) {
        level.bytes[i + 0] = rgba[i + 2];
        level.bytes[i + 1] = rgba[i + 1];
        level.bytes[i + 2] = rgba[i + 0];
        level.bytes[i + 3] = 0xff;
    }
    stbi_image_free(rgba);
    image.levels.push_back(std::move(level));
    return image;
}

}  // namespace platform::d3dx
