// The 16-byte header of an X file and the body after it, inflated when the file is
// compressed (MSZIP).
#include "d3dx/x_tokens.h"

#include "core/inflate.h"

#include <cstring>
#include <string>
#include <string_view>

namespace platform::d3dx {
namespace {

// "xof " + version (4) + format (4) + float size (4).
constexpr size_t kHeaderSize = 16;
constexpr size_t kVersionOffset = 4;
constexpr size_t kFormatOffset = 8;
constexpr size_t kFloatSizeOffset = 12;
// A compressed body starts with the size of the whole inflated file, header included.
constexpr size_t kInflatedSizeField = 4;
// Each block: its inflated size (16 bits), its compressed size counting the signature (16
// bits), the signature "CK", then raw deflate data.
constexpr size_t kBlockHead = 4;
constexpr size_t kSignatureSize = 2;
// The deflate window that each compressed block may reach back into.
constexpr size_t kWindow = 32768;
// A compressed file inflating to more than this is refused (each block may promise 64 KiB).
constexpr size_t kMaxInflated = size_t(256) << 20;

std::string_view Field(Bytes file, size_t offset) {
    return std::string_view(reinterpret_cast<const char*>(file.data()) + offset, 4);
}

uint32_t Little(Bytes bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint32_t(bytes[at + i]) << (8 * i);
    return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The inflated body, block after block, each block's window holding the output before it.
bool Inflate(Bytes packed, std::vector<uint8_t>* out, std::string* error) {
    size_t at = kInflatedSizeField;
    while (at < packed.size()) {
        if (at + kBlockHead + kSignatureSize > packed.size()) {
            *error = "a compressed block is cut short";
            return false;
        }
        const size_t plainSize = Little(packed, at, 2);
        const size_t packedSize = Little(packed, at + 2, 2);
        if (packedSize < kSignatureSize || at + kBlockHead + packedSize > packed.size() ||
            packed[at + kBlockHead] != 'C' || packed[at + kBlockHead + 1] != 'K') {
            *error = "a compressed block is cut short or lacks its \"CK\" signature";
            return false;
        }
        if (out->size() + plainSize > kMaxInflated) {
            *error = "the file inflates to more than " + std::to_string(kMaxInflated >> 20) + " MiB";
            return false;
        }
        // Each block's data ends after a flushed deflate block; the last one's is final.
        std::string reason;
        if (!InflateRaw(packed.data() + at + kBlockHead + kSignatureSize, packedSize - kSignatureSize, out, kWindow,
                        plainSize, DeflateEnd::AfterAnyBlock, &reason)) {
            *error = "a compressed block does not inflate: " + reason;
            return false;
        }
        at += kBlockHead + packedSize;
    }
    return true;
}

}  // namespace

bool OpenXBody(Bytes file, XBody* body, std::string* error) {
    if (file.size() < kHeaderSize || std::memcmp(file.data(), "xof ", 4) != 0) {
        *error = "not an X file (no \"xof \" header)";
        return false;
    }
    const std::string_view version = Field(file, kVersionOffset);
    if (version.substr(0, 2) != "03" || !IsDigit(version[2]) || !IsDigit(version[3])) {
        *error = "an X file of version " + std::string(version) + ", not 03xx";
        return false;
    }
    const std::string_view floatSize = Field(file, kFloatSizeOffset);
    if (floatSize != "0032" && floatSize != "0064") {
        *error = "floats of " + std::string(floatSize) + " bits, not 0032 or 0064";
        return false;
    }
    body->floatBytes = floatSize == "0064" ? sizeof(double) : sizeof(float);
    const std::string_view format = Field(file, kFormatOffset);
    const Bytes rest = file.subspan(kHeaderSize);
    if (format == "txt " || format == "bin ") {
        body->binary = format == "bin ";
        body->bytes = rest;
        return true;
    }
    if (format == "tzip" || format == "bzip") {
        body->binary = format == "bzip";
        body->inflated.clear();
        if (!Inflate(rest, &body->inflated, error)) return false;
        body->bytes = body->inflated;
        return true;
    }
    *error = "an X file of format \"" + std::string(format) + "\", not txt, bin, tzip or bzip";
    return false;
}

}  // namespace platform::d3dx
