#include "core/profile_text.h"

#include <algorithm>

namespace platform {
namespace {

bool IsBlank(char32_t unit) { return unit == U' ' || unit == U'\t'; }

wchar_t FoldAsciiCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

ProfileText::ProfileText(std::string_view bytes)
    : bytes_(bytes), encoding_(DetectProfileEncoding(bytes)), unit_(CodeUnitSize(encoding_)) {}

bool ProfileText::ReadLine(size_t offset, ProfileLine* line) const {
    if (offset >= bytes_.size()) return false;
    line->kind = ProfileLine::Kind::Blank;
    line->begin = offset;
    line->end = line->next = bytes_.size();
    line->valueBegin = 0;
    line->name.clear();
    line->value.clear();
    // CR LF, LF and a lone CR all end a line; a trailing odd byte of UTF-16 stays in the last one.
    for (size_t i = offset; i + unit_ <= bytes_.size(); i += unit_) {
        char32_t unit = CodeUnitAt(bytes_, i, encoding_);
        if (unit == U'\n' || unit == U'\r') {
            line->end = i;
            line->next = i + unit_;
            if (unit == U'\r' && IsUnit(line->next, U'\n')) line->next += unit_;
            break;
        }
    }
    Classify(line);
    return true;
}

std::string ProfileText::LineBreak() const {
    ProfileLine first;
    if (ReadLine(FirstLine(), &first) && first.next > first.end) {
        return std::string(bytes_.substr(first.end, first.next - first.end));
    }
    return EncodeProfileText(L"\r\n", encoding_);
}

bool ProfileText::EndsInOpenLine() const {
    size_t size = bytes_.size();
    if (size <= FirstLine()) return false;
    if ((size - FirstLine()) % unit_ != 0) return true;
    char32_t last = CodeUnitAt(bytes_, size - unit_, encoding_);
    return last != U'\n' && last != U'\r';
}

// Only ASCII units are looked for, and in UTF-8 and UTF-16 those never occur inside the
// encoding of another character, so the structure is found without decoding the line.
void ProfileText::Classify(ProfileLine* line) const {
    size_t first = SkipBlanks(line->begin, line->end);
    if (first == line->end) return;
    if (IsUnit(first, U';')) {
        line->kind = ProfileLine::Kind::Comment;
        return;
    }
    if (IsUnit(first, U'[')) {
        size_t nameBegin = SkipBlanks(first + unit_, line->end);
        size_t close = nameBegin;
        while (close + unit_ <= line->end && !IsUnit(close, U']')) close += unit_;
        if (close + unit_ > line->end) close = line->end;
        line->kind = ProfileLine::Kind::Section;
        line->name = Decode(nameBegin, TrimBlanksBefore(nameBegin, close));
        return;
    }
    size_t equals = first;
    while (equals + unit_ <= line->end && !IsUnit(equals, U'=')) equals += unit_;
    if (equals + unit_ > line->end) {
        line->kind = ProfileLine::Kind::Other;
        return;
    }
    line->kind = ProfileLine::Kind::Entry;
    line->name = Decode(first, TrimBlanksBefore(first, equals));
    line->valueBegin = SkipBlanks(equals + unit_, line->end);
    line->value = Decode(line->valueBegin, TrimBlanksBefore(line->valueBegin, line->end));
}

bool ProfileText::IsUnit(size_t offset, char32_t unit) const {
    return offset + unit_ <= bytes_.size() && CodeUnitAt(bytes_, offset, encoding_) == unit;
}

size_t ProfileText::SkipBlanks(size_t offset, size_t end) const {
    while (offset + unit_ <= end && IsBlank(CodeUnitAt(bytes_, offset, encoding_))) offset += unit_;
    return offset;
}

size_t ProfileText::TrimBlanksBefore(size_t begin, size_t end) const {
    if ((end - begin) % unit_ != 0) return end;  // ends in an odd byte, which is no blank
    while (end > begin && IsBlank(CodeUnitAt(bytes_, end - unit_, encoding_))) end -= unit_;
    return end;
}

std::wstring ProfileText::Decode(size_t begin, size_t end) const {
    return DecodeProfileText(bytes_.substr(begin, end - begin), encoding_);
}

bool SameProfileName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

std::optional<std::wstring> FindProfileValue(const ProfileText& text, std::wstring_view section, std::wstring_view key) {
    bool inSection = false;
    ProfileLine line;
    for (size_t offset = text.FirstLine(); text.ReadLine(offset, &line); offset = line.next) {
        if (line.kind == ProfileLine::Kind::Section) {
            if (inSection) return std::nullopt;
            inSection = SameProfileName(line.name, section);
        } else if (inSection && line.kind == ProfileLine::Kind::Entry && SameProfileName(line.name, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

std::vector<std::wstring> ProfileSectionNames(const ProfileText& text) {
    std::vector<std::wstring> names;
    ProfileLine line;
    for (size_t offset = text.FirstLine(); text.ReadLine(offset, &line); offset = line.next) {
        if (line.kind == ProfileLine::Kind::Section) names.push_back(line.name);
    }
    return names;
}

std::vector<std::wstring> ProfileKeyNames(const ProfileText& text, std::wstring_view section) {
    std::vector<std::wstring> names;
    bool inSection = false;
    ProfileLine line;
    for (size_t offset = text.FirstLine(); text.ReadLine(offset, &line); offset = line.next) {
        if (line.kind == ProfileLine::Kind::Section) {
            if (inSection) break;
            inSection = SameProfileName(line.name, section);
        } else if (inSection && line.kind == ProfileLine::Kind::Entry) {
            names.push_back(line.name);
        }
    }
    return names;
}

}  // namespace platform
