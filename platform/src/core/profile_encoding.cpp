#include "core/profile_encoding.h"

#include <windows.h>

#include <climits>

#include "core/text.h"

namespace platform {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsUtf16(ProfileEncoding encoding) {
    return encoding == ProfileEncoding::Utf16LittleEndian || encoding == ProfileEncoding::Utf16BigEndian;
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsScalarValue(char32_t code) { return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

std::wstring DecodeUtf16(std::string_view bytes, ProfileEncoding encoding) {
    std::wstring text;
    text.reserve(bytes.size() / 2 + 1);
    size_t offset = 0;
    while (offset + 2 <= bytes.size()) {
        char32_t unit = CodeUnitAt(bytes, offset, encoding);
        offset += 2;
        if (IsHighSurrogate(unit) && offset + 2 <= bytes.size()) {
            char32_t low = CodeUnitAt(bytes, offset, encoding);
            if (IsLowSurrogate(low)) {
                offset += 2;
                text.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                continue;
            }
        }
        text.push_back(static_cast<wchar_t>(IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit));
    }
    if (offset < bytes.size()) text.push_back(static_cast<wchar_t>(kReplacement));
    return text;
}

void AppendUtf16Unit(std::string& bytes, char32_t unit, ProfileEncoding encoding) {
    auto high = static_cast<char>(unit >> 8);
    auto low = static_cast<char>(unit & 0xFF);
    if (encoding == ProfileEncoding::Utf16LittleEndian) {
        bytes.push_back(low);
        bytes.push_back(high);
    } else {
        bytes.push_back(high);
        bytes.push_back(low);
    }
}

std::string EncodeUtf16(std::wstring_view text, ProfileEncoding encoding) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t character : text) {
        auto code = static_cast<char32_t>(character);
        if (!IsScalarValue(code)) code = kReplacement;
        if (code >= 0x10000) {
            AppendUtf16Unit(bytes, 0xD800 + ((code - 0x10000) >> 10), encoding);
            AppendUtf16Unit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF), encoding);
        } else {
            AppendUtf16Unit(bytes, code, encoding);
        }
    }
    return bytes;
}

// Through the Win32 conversion itself, so a file "in the ANSI code page" means exactly what
// CP_ACP means to every other caller of this layer. Files are capped far below INT_MAX.
std::wstring DecodeAnsi(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    auto count = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, nullptr, 0);
    std::wstring text(static_cast<size_t>(needed), L'\0');
    if (needed > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), count, text.data(), needed);
    return text;
}

std::string EncodeAnsi(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX / 4) return {};
    auto count = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    if (needed > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), count, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

}  // namespace

ProfileEncoding DetectProfileEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return ProfileEncoding::Utf8WithBom;
    if (bytes.starts_with(kUtf16LittleEndianMark)) return ProfileEncoding::Utf16LittleEndian;
    if (bytes.starts_with(kUtf16BigEndianMark)) return ProfileEncoding::Utf16BigEndian;
    return ProfileEncoding::AnsiCodePage;
}

std::string_view ByteOrderMark(ProfileEncoding encoding) {
    switch (encoding) {
        case ProfileEncoding::Utf8WithBom: return kUtf8Mark;
        case ProfileEncoding::Utf16LittleEndian: return kUtf16LittleEndianMark;
        case ProfileEncoding::Utf16BigEndian: return kUtf16BigEndianMark;
        case ProfileEncoding::AnsiCodePage: break;
    }
    return {};
}

size_t CodeUnitSize(ProfileEncoding encoding) { return IsUtf16(encoding) ? 2 : 1; }

char32_t CodeUnitAt(std::string_view bytes, size_t offset, ProfileEncoding encoding) {
    auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i])); };
    if (encoding == ProfileEncoding::Utf16LittleEndian) return byte(offset) | byte(offset + 1) << 8;
    if (encoding == ProfileEncoding::Utf16BigEndian) return byte(offset) << 8 | byte(offset + 1);
    return byte(offset);
}

std::wstring DecodeProfileText(std::string_view bytes, ProfileEncoding encoding) {
    if (IsUtf16(encoding)) return DecodeUtf16(bytes, encoding);
    if (encoding == ProfileEncoding::Utf8WithBom) return WideFromUtf8(bytes.data(), bytes.size());
    return DecodeAnsi(bytes);
}

std::string EncodeProfileText(std::wstring_view text, ProfileEncoding encoding) {
    if (IsUtf16(encoding)) return EncodeUtf16(text, encoding);
    if (encoding == ProfileEncoding::Utf8WithBom) return Utf8FromWide(text.data(), text.size());
    return EncodeAnsi(text);
}

}  // namespace platform
