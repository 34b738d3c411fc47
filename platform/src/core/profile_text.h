// Reading the text of a profile file ("[section]" headers and "key=value" entries) straight
// from its bytes, line by line, without decoding or copying the whole file: the editor needs
// every line's exact byte range so that lines it does not change are written back unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/profile_encoding.h"

namespace platform {

// One line, located in the file's bytes and classified. A line is a comment when its first
// non-blank character is ';', a section header when it is '[' (the name runs to ']' or the
// end of the line), an entry when it holds '=' (the key is what comes before the first one).
struct ProfileLine {
    enum class Kind { Blank, Comment, Section, Entry, Other };
    Kind kind = Kind::Blank;
    size_t begin = 0;       // first byte of the line
    size_t end = 0;         // first byte of its line break, or the end of the file
    size_t next = 0;        // first byte of the following line
    size_t valueBegin = 0;  // entries: first byte after '=' and the blanks that follow it
    std::wstring name;      // sections and entries, without surrounding blanks
    std::wstring value;     // entries, without surrounding blanks
};

class ProfileText {
public:
    // `bytes` is the whole file, byte order mark included; it must outlive this object.
    explicit ProfileText(std::string_view bytes);

    std::string_view bytes() const { return bytes_; }
    ProfileEncoding encoding() const { return encoding_; }
    size_t FirstLine() const { return ByteOrderMark(encoding_).size(); }

    // Reads the line that starts at `offset`; false when `offset` is the end of the file.
    bool ReadLine(size_t offset, ProfileLine* line) const;

    // The file's own line break (its first one), or CR LF for a file that has none yet.
    std::string LineBreak() const;

    // Whether the file holds text after its mark that does not end with a line break.
    bool EndsInOpenLine() const;

private:
    void Classify(ProfileLine* line) const;
    bool IsUnit(size_t offset, char32_t unit) const;
    size_t SkipBlanks(size_t offset, size_t end) const;
    size_t TrimBlanksBefore(size_t begin, size_t end) const;
    std::wstring Decode(size_t begin, size_t end) const;

    std::string_view bytes_;
    ProfileEncoding encoding_;
    size_t unit_;
};

// Section and key names compare without regard to ASCII case, as Windows compares them for
// the names programs use (the same folding as file names in the path resolver).
bool SameProfileName(std::wstring_view a, std::wstring_view b);

// The value of `key` in the first section named `section`; none when either is missing.
std::optional<std::wstring> FindProfileValue(const ProfileText& text, std::wstring_view section, std::wstring_view key);

// Every section header's name, in file order.
std::vector<std::wstring> ProfileSectionNames(const ProfileText& text);

// The keys of the first section named `section`, in file order (none when it is missing).
std::vector<std::wstring> ProfileKeyNames(const ProfileText& text, std::wstring_view section);

}  // namespace platform
