// What assimp is given for an X file. Compressed files are inflated here: assimp's own
// inflater reads two bytes past its input and leaks its state on a bad block. Text files get a
// blank after each comma that a digit follows (outside strings and comments): assimp reads a
// number directly followed by ",digit" with the comma as a decimal point, so the valid matrix
// row "1,0,0,0," would fail to load.
#include "d3dx/x_file.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace platform::d3dx {
namespace {

// "xof " + version (4) + format (4) + float size (4).
constexpr size_t kHeaderSize = 16;
constexpr size_t kFormatOffset = 8;
// The deflate window that each compressed block may reach back into.
constexpr size_t kWindow = 32768;
// A compressed file inflating to more than this is refused (each block may promise 64 KiB).
constexpr size_t kMaxInflated = size_t(256) << 20;

std::string_view FormatOf(Bytes file) {
    return std::string_view(reinterpret_cast<const char*>(file.data()) + kFormatOffset, 4);
}

uint32_t Little(Bytes bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint32_t(bytes[at + i]) << (8 * i);
    return value;
}

// MSZIP: after the header a 32-bit total size, then blocks of a 16-bit uncompressed size, a
// 16-bit compressed size and that many bytes: "CK" and raw deflate data whose window holds
// the previous block's output. Nothing when a block is cut short or does not inflate.
std::optional<std::vector<uint8_t>> Inflate(Bytes file) {
    std::vector<uint8_t> out(file.begin(), file.begin() + kHeaderSize);
    const size_t bodyStart = out.size();
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
    bool whole = true;
    size_t at = kHeaderSize + 4;
    while (whole && at < file.size()) {
        if (at + 6 > file.size()) {
            whole = false;
            break;
        }
        const size_t plainSize = Little(file, at, 2);
        const size_t packedSize = Little(file, at + 2, 2);
        if (packedSize < 2 || at + 4 + packedSize > file.size() || file[at + 4] != 'C' || file[at + 5] != 'K' ||
            out.size() + plainSize > kMaxInflated) {
            whole = false;
            break;
        }
        const size_t produced = out.size();
        out.resize(produced + plainSize);
        inflateReset(&stream);
        const size_t history = std::min(kWindow, produced - bodyStart);
        if (history > 0) inflateSetDictionary(&stream, out.data() + produced - history, static_cast<uInt>(history));
        stream.next_in = const_cast<Bytef*>(file.data() + at + 6);
        stream.avail_in = static_cast<uInt>(packedSize - 2);
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(plainSize);
        const int result = inflate(&stream, Z_FINISH);
        if (result != Z_STREAM_END && result != Z_BUF_ERROR && result != Z_OK) whole = false;
        out.resize(produced + plainSize - stream.avail_out);
        at += 4 + packedSize;
    }
    inflateEnd(&stream);
    if (!whole) return std::nullopt;
    std::memcpy(out.data() + kFormatOffset, FormatOf(file) == "tzip" ? "txt " : "bin ", 4);
    return out;
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

std::vector<uint8_t> SeparateCommas(std::vector<uint8_t> text) {
    std::vector<uint8_t> out;
    out.reserve(text.size() + text.size() / 8);
    bool inString = false, inComment = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = text[i];
        out.push_back(c);
        if (inComment) {
            inComment = c != '\n';
        } else if (c == '"') {
            inString = !inString;
        } else if (!inString && (c == '#' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/'))) {
            inComment = true;
        } else if (!inString && c == ',' && i + 1 < text.size() && IsDigit(text[i + 1])) {
            out.push_back(' ');
        }
    }
    return out;
}

}  // namespace

std::optional<std::vector<uint8_t>> PrepareXFile(Bytes file) {
    if (file.size() < kHeaderSize || std::memcmp(file.data(), "xof ", 4) != 0) return std::nullopt;
    const std::string_view format = FormatOf(file);
    std::optional<std::vector<uint8_t>> plain;
    if (format == "tzip" || format == "bzip") {
        plain = Inflate(file);
    } else if (format == "txt " || format == "bin ") {
        plain.emplace(file.begin(), file.end());
    }
    if (!plain) return std::nullopt;
    if (FormatOf(*plain) == "txt ") return SeparateCommas(std::move(*plain));
    return plain;
}

size_t FrameNamesIn(Bytes file) {
    static constexpr std::string_view kFrame = "Frame";
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    size_t count = 0;
    for (size_t at = text.find(kFrame); at != std::string_view::npos; at = text.find(kFrame, at + 1)) ++count;
    return count;
}

}  // namespace platform::d3dx
