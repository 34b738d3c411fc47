// The byte encodings a profile file may be stored in, told apart by the byte order mark as
// Windows does, and the conversion between a file's bytes and wide text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class ProfileEncoding {
    AnsiCodePage,       // no byte order mark: read as MultiByteToWideChar(CP_ACP) reads, UTF-8 here
    Utf8WithBom,        // EF BB BF
    Utf16LittleEndian,  // FF FE
    Utf16BigEndian,     // FE FF
};

// The encoding that `bytes` announce; a file without a known mark is in the ANSI code page.
ProfileEncoding DetectProfileEncoding(std::string_view bytes);

// The mark at the start of a file in `encoding` (empty for the ANSI code page).
std::string_view ByteOrderMark(ProfileEncoding encoding);

// Bytes per code unit: 1 for the 8-bit encodings, 2 for UTF-16.
size_t CodeUnitSize(ProfileEncoding encoding);

// The code unit at `offset`, which must leave a whole unit before the end of `bytes`.
char32_t CodeUnitAt(std::string_view bytes, size_t offset, ProfileEncoding encoding);

// Text from bytes in `encoding` (without the mark). Malformed sequences, unpaired surrogates
// and a trailing odd byte of UTF-16 each become U+FFFD, so any bytes decode the same way twice.
std::wstring DecodeProfileText(std::string_view bytes, ProfileEncoding encoding);

// Bytes in `encoding` for `text` (no mark). Values that are not Unicode scalar values (lone
// surrogates, anything past U+10FFFF) are stored as U+FFFD.
std::string EncodeProfileText(std::wstring_view text, ProfileEncoding encoding);

}  // namespace platform
