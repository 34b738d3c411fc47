#include "core/text.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalarValue(char32_t code) { return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

// Decodes the sequence at text[i]; returns its length in bytes, or 0 when it is malformed.
size_t DecodeOne(const unsigned char* text, size_t length, size_t i, char32_t* code) {
    unsigned char lead = text[i];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    // Continuation bytes, smallest value that needs this length, payload bits of the lead byte.
    size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
    const char32_t smallest[4] = {0, 0x80, 0x800, 0x10000};
    if (lead < 0xC2 || lead > 0xF4) return 0;
    *code = lead & (0x3F >> extra);
    if (length - i <= extra) return 0;
    for (size_t k = 1; k <= extra; ++k) {
        unsigned char next = text[i + k];
        if ((next & 0xC0) != 0x80) return 0;
        *code = (*code << 6) | (next & 0x3F);
    }
    if (*code < smallest[extra] || !IsScalarValue(*code)) return 0;
    return extra + 1;
}

}  // namespace

std::wstring WideFromUtf8(const char* text, size_t length, bool* invalidFound) {
    std::wstring out;
    bool invalid = false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        char32_t code;
        size_t used = DecodeOne(bytes, length, i, &code);
        if (used == 0) {
            invalid = true;
            code = kReplacement;
            used = 1;
        }
        out.push_back(static_cast<wchar_t>(code));
        i += used;
    }
    if (invalidFound) *invalidFound = invalid;
    return out;
}

std::wstring WideFromUtf8(const std::string& text) { return WideFromUtf8(text.data(), text.size()); }

std::string Utf8FromWide(const wchar_t* text, size_t length, bool* invalidFound) {
    std::string out;
    bool invalid = false;
    for (size_t i = 0; i < length; ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (!IsScalarValue(c)) {
            invalid = true;
            c = kReplacement;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    if (invalidFound) *invalidFound = invalid;
    return out;
}

std::string Utf8FromWide(const std::wstring& text) { return Utf8FromWide(text.data(), text.size()); }

}  // namespace platform
