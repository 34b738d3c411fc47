// Edits of a profile file's bytes that change only the lines they must: every other line,
// comment, blank line and section keeps its exact bytes, and new text is written in the
// file's own encoding and line break. Each edit returns the bytes of the whole new file; an
// edit with nothing to do returns the bytes unchanged.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Whether a name or value can be stored so that it reads back as itself. Names are given
// without surrounding blanks. A line break anywhere, ']' in a section name, '=' in a key or
// a key that would read as a comment or a section header cannot; everything else can.
bool IsStorableProfileSection(std::wstring_view section);
bool IsStorableProfileKey(std::wstring_view key);
bool IsStorableProfileValue(std::wstring_view value);

// Sets `key` in the first section named `section` (names compare without regard to case):
// an existing entry keeps its line and its text up to the value, which is replaced; a new
// entry goes after the section's last entry; a new section goes at the end of the file.
std::string SetProfileValue(std::string_view bytes, std::wstring_view section, std::wstring_view key,
                            std::wstring_view value);

// Removes the line of `key` in the first section named `section`.
std::string DeleteProfileKey(std::string_view bytes, std::wstring_view section, std::wstring_view key);

// Removes the first section named `section`: its header and every line up to the next header.
std::string DeleteProfileSection(std::string_view bytes, std::wstring_view section);

}  // namespace platform
