#include "core/profile_edit.h"

#include <optional>

#include "core/profile_text.h"

namespace platform {
namespace {

bool HoldsLineBreakOrNull(std::wstring_view text) { return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != text.npos; }

// The line of the first section named `section` and, when `key` is given, of its entry.
struct Located {
    std::optional<ProfileLine> header;
    std::optional<ProfileLine> entry;
    size_t afterLastEntry = 0;  // where a new entry of the section goes
    size_t sectionEnd = 0;      // the next header's first byte, or the end of the file
};

Located Locate(const ProfileText& text, std::wstring_view section, std::wstring_view key) {
    Located found;
    found.sectionEnd = text.bytes().size();
    ProfileLine line;
    for (size_t offset = text.FirstLine(); text.ReadLine(offset, &line); offset = line.next) {
        if (line.kind == ProfileLine::Kind::Section) {
            if (found.header) {
                found.sectionEnd = line.begin;
                break;
            }
            if (SameProfileName(line.name, section)) {
                found.header = line;
                found.afterLastEntry = line.next;
            }
        } else if (found.header && line.kind == ProfileLine::Kind::Entry) {
            if (!found.entry && SameProfileName(line.name, key)) found.entry = line;
            found.afterLastEntry = line.next;
        }
    }
    return found;
}

std::string Splice(std::string_view bytes, size_t begin, size_t end, std::string_view replacement) {
    std::string result;
    result.reserve(bytes.size() - (end - begin) + replacement.size());
    result.append(bytes.substr(0, begin));
    result.append(replacement);
    result.append(bytes.substr(end));
    return result;
}

// New lines always end with a line break; one added at the very end of a file whose last
// line has none first closes that line. A UTF-16 file that ends in half a character reads it
// as U+FFFD, which is stored in its place so that the new lines stay aligned.
std::string InsertLines(const ProfileText& text, size_t at, std::wstring_view lines) {
    std::string lineBreak = text.LineBreak();
    std::string inserted;
    size_t replaced = 0;
    if (at == text.bytes().size() && text.EndsInOpenLine()) {
        replaced = (at - text.FirstLine()) % CodeUnitSize(text.encoding());
        if (replaced != 0) inserted = EncodeProfileText(L"\uFFFD", text.encoding());
        inserted += lineBreak;
    }
    size_t start = 0;
    while (start < lines.size()) {
        size_t stop = lines.find(L'\n', start);
        if (stop == lines.npos) stop = lines.size();
        inserted += EncodeProfileText(lines.substr(start, stop - start), text.encoding());
        inserted += lineBreak;
        start = stop + 1;
    }
    return Splice(text.bytes(), at - replaced, at, inserted);
}

// A deletion may bring bytes that read as a byte order mark to the start of a file in the
// ANSI code page, which would change how the whole file reads; a line break in front keeps
// them where they were.
std::string KeepingTheEncoding(const ProfileText& text, std::string edited) {
    if (DetectProfileEncoding(edited) == text.encoding()) return edited;
    return text.LineBreak() + edited;
}

}  // namespace

bool IsStorableProfileSection(std::wstring_view section) {
    return !HoldsLineBreakOrNull(section) && section.find(L']') == section.npos;
}

bool IsStorableProfileKey(std::wstring_view key) {
    if (HoldsLineBreakOrNull(key) || key.find(L'=') != key.npos) return false;
    return !key.starts_with(L';') && !key.starts_with(L'[');
}

bool IsStorableProfileValue(std::wstring_view value) { return !HoldsLineBreakOrNull(value); }

std::string SetProfileValue(std::string_view bytes, std::wstring_view section, std::wstring_view key,
                            std::wstring_view value) {
    ProfileText text(bytes);
    Located found = Locate(text, section, key);
    if (found.entry) {
        return Splice(bytes, found.entry->valueBegin, found.entry->end, EncodeProfileText(value, text.encoding()));
    }
    std::wstring entry = std::wstring(key) + L"=" + std::wstring(value);
    if (found.header) return InsertLines(text, found.afterLastEntry, entry);
    return InsertLines(text, bytes.size(), L"[" + std::wstring(section) + L"]\n" + entry);
}

std::string DeleteProfileKey(std::string_view bytes, std::wstring_view section, std::wstring_view key) {
    ProfileText text(bytes);
    Located found = Locate(text, section, key);
    if (!found.entry) return std::string(bytes);
    return KeepingTheEncoding(text, Splice(bytes, found.entry->begin, found.entry->next, {}));
}

std::string DeleteProfileSection(std::string_view bytes, std::wstring_view section) {
    ProfileText text(bytes);
    Located found = Locate(text, section, {});
    if (!found.header) return std::string(bytes);
    return KeepingTheEncoding(text, Splice(bytes, found.header->begin, found.sectionEnd, {}));
}

}  // namespace platform
