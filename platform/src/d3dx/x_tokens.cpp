// The X file lexers. Text: whitespace (NUL too) and comments ('//' or '#' to the end of the
// line) between tokens, names of letters, digits, '_' and '-', unsigned decimal integers,
// floats with an optional '-', '.' and exponent, double-quoted strings taken as they stand
// (no escapes), GUIDs in angle brackets. Binary: 16-bit token codes in little-endian order,
// each followed by its data, every size checked against the bytes left.
#include "d3dx/x_tokens.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform::d3dx {
namespace {

// The binary token codes.
enum BinaryToken : uint16_t {
    kTokenName = 1,
    kTokenString = 2,
    kTokenInteger = 3,
    kTokenGuid = 5,
    kTokenIntegerList = 6,
    kTokenFloatList = 7,
    kTokenOpenBrace = 10,
    kTokenCloseBrace = 11,
    kTokenOpenParen = 12,
    kTokenCloseParen = 13,
    kTokenOpenBracket = 14,
    kTokenCloseBracket = 15,
    kTokenDot = 18,
    kTokenComma = 19,
    kTokenSemicolon = 20,
    kTokenTemplate = 31,
    kTokenFirstType = 40,  // WORD
    kTokenLastType = 51,   // CSTRING
    kTokenArray = 52,
};

// Offsets in messages count from the start of the file, whose header has this many bytes.
constexpr size_t kHeaderBytes = 16;
constexpr size_t kTokenBytes = 2;
constexpr size_t kCountBytes = 4;
constexpr size_t kGuidBytes = 16;
// "<" + 8-4-4-4-12 hex digits + ">".
constexpr size_t kGuidTextLength = 38;
// No real number is written with more characters than this.
constexpr size_t kMaxNumberLength = 128;

constexpr std::array<std::string_view, 12> kPrimitiveTypes = {
    "WORD", "DWORD", "FLOAT", "DOUBLE", "CHAR", "UCHAR", "SWORD", "SDWORD", "VOID", "STRING", "UNICODE", "CSTRING"};

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsNameStart(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(uint8_t c) { return IsNameStart(c) || IsDigit(c) || c == '-'; }

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

int HexValue(uint8_t c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A double as the nearest float; beyond the float range, infinity of its sign.
float NarrowToFloat(double value) {
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// A decimal number of the form the lexer accepts, as the nearest float. Most numbers in X
// files have at most seven digits and no exponent: their digits make an integer that a float
// holds exactly, and one division or multiplication by an exact power of ten then rounds
// correctly (Clinger's fast path). Others go through strtof.
float ParseFloat(const uint8_t* text, size_t length) {
    constexpr uint32_t kExactMantissa = uint32_t(1) << 24;
    constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    constexpr int kLargestExactPower = 10;
    size_t at = 0;
    const bool negative = text[0] == '-';
    if (negative) ++at;
    uint32_t mantissa = 0;
    int exponent = 0;
    bool fast = true;
    bool fraction = false;
    for (; at < length && fast; ++at) {
        if (text[at] == '.') {
            fraction = true;
        } else if (IsDigit(text[at])) {
            mantissa = mantissa * 10 + uint32_t(text[at] - '0');
            fast = mantissa < kExactMantissa;
            if (fraction) --exponent;
        } else {
            fast = false;  // an exponent
        }
    }
    if (fast && -exponent <= kLargestExactPower) {
        const float value = static_cast<float>(mantissa) / kPowersOfTen[-exponent];
        return negative ? -value : value;
    }
    char copy[kMaxNumberLength + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return std::strtof(copy, nullptr);
}

uint64_t Little(const uint8_t* bytes, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint64_t(bytes[i]) << (8 * i);
    return value;
}

}  // namespace

std::string XLexer::Where() const {
    return binary_ ? "byte " + std::to_string(at_ + kHeaderBytes) : "line " + std::to_string(line_);
}

bool XLexer::Next(XTokenValue* token, std::string* error) {
    *token = XTokenValue{};
    return binary_ ? NextBinary(token, error) : NextText(token, error);
}

void XLexer::SkipSpaceAndComments() {
    while (at_ < body_.size()) {
        const uint8_t c = body_[at_];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
            if (c == '\n') ++line_;
            ++at_;
        } else if (c == '#' || (c == '/' && at_ + 1 < body_.size() && body_[at_ + 1] == '/')) {
            while (at_ < body_.size() && body_[at_] != '\n') ++at_;
        } else {
            return;
        }
    }
}

bool XLexer::NextText(XTokenValue* token, std::string* error) {
    SkipSpaceAndComments();
    if (at_ == body_.size()) return true;  // End
    const uint8_t c = body_[at_];
    auto single = [&](XToken kind) {
        token->kind = kind;
        ++at_;
        return true;
    };
    switch (c) {
        case '{': return single(XToken::OpenBrace);
        case '}': return single(XToken::CloseBrace);
        case '[': return single(XToken::OpenBracket);
        case ']': return single(XToken::CloseBracket);
        case '(': return single(XToken::OpenParen);
        case ')': return single(XToken::CloseParen);
        case ',': return single(XToken::Comma);
        case ';': return single(XToken::Semicolon);
        case '<': return TextGuid(token, error);
        default: break;
    }
    if (c == '"') {
        const size_t start = ++at_;
        while (at_ < body_.size() && body_[at_] != '"') {
            if (body_[at_] == '\n') ++line_;
            ++at_;
        }
        if (at_ == body_.size()) {
            *error = Where() + ": a string has no closing quote";
            return false;
        }
        token->kind = XToken::String;
        token->text = std::string_view(reinterpret_cast<const char*>(body_.data()) + start, at_ - start);
        ++at_;
        return true;
    }
    const bool dotDigit = c == '.' && at_ + 1 < body_.size() && IsDigit(body_[at_ + 1]);
    if (c == '.' && !dotDigit) return single(XToken::Dot);
    if (IsDigit(c) || c == '-' || dotDigit) return TextNumber(token, error);
    if (!IsNameStart(c)) {
        *error = Where() + ": unexpected character " + std::to_string(c);
        return false;
    }
    const size_t start = at_;
    while (at_ < body_.size() && IsNameChar(body_[at_])) ++at_;
    token->text = std::string_view(reinterpret_cast<const char*>(body_.data()) + start, at_ - start);
    token->kind = XToken::Name;
    if (SameLetters(token->text, "template")) token->kind = XToken::Template;
    if (SameLetters(token->text, "array")) token->kind = XToken::Array;
    for (std::string_view type : kPrimitiveTypes) {
        if (SameLetters(token->text, type)) token->kind = XToken::PrimitiveType;
    }
    return true;
}

bool XLexer::TextNumber(XTokenValue* token, std::string* error) {
    const size_t start = at_;
    bool whole = true;
    if (body_[at_] == '-') {
        whole = false;
        ++at_;
    }
    size_t digits = 0;
    auto skipDigits = [&] {
        while (at_ < body_.size() && IsDigit(body_[at_])) {
            ++at_;
            ++digits;
        }
    };
    skipDigits();
    if (at_ < body_.size() && body_[at_] == '.') {
        whole = false;
        ++at_;
        skipDigits();
    }
    if (digits > 0 && at_ + 1 < body_.size() && (body_[at_] == 'e' || body_[at_] == 'E')) {
        const size_t sign = body_[at_ + 1] == '+' || body_[at_ + 1] == '-' ? 1 : 0;
        if (at_ + 1 + sign < body_.size() && IsDigit(body_[at_ + 1 + sign])) {
            whole = false;
            at_ += 1 + sign;
            skipDigits();
        }
    }
    if (digits == 0 || (at_ < body_.size() && (IsNameChar(body_[at_]) || body_[at_] == '.'))) {
        *error = Where() + ": a malformed number";
        return false;
    }
    const size_t length = at_ - start;
    if (whole) {
        uint64_t value = 0;
        for (size_t i = start; i < at_; ++i) {
            value = value * 10 + (body_[i] - '0');
            if (value > UINT32_MAX) {
                *error = Where() + ": an integer beyond 32 bits";
                return false;
            }
        }
        token->kind = XToken::Integer;
        token->integer = static_cast<uint32_t>(value);
        token->number = static_cast<float>(value);
        return true;
    }
    if (length > kMaxNumberLength) {
        *error = Where() + ": a number of more than " + std::to_string(kMaxNumberLength) + " characters";
        return false;
    }
    token->kind = XToken::Float;
    token->number = ParseFloat(body_.data() + start, length);
    return true;
}

bool XLexer::TextGuid(XTokenValue* token, std::string* error) {
    // Groups of 8, 4, 4, 4 and 12 hex digits: Data1, Data2, Data3, then the 8 bytes of Data4.
    static constexpr size_t kGroups[] = {8, 4, 4, 4, 12};
    if (body_.size() - at_ < kGuidTextLength || body_[at_ + kGuidTextLength - 1] != '>') {
        *error = Where() + ": a malformed GUID";
        return false;
    }
    size_t at = at_ + 1;
    std::array<uint64_t, 5> groups{};
    for (size_t g = 0; g < 5; ++g) {
        if (g > 0 && body_[at++] != '-') {
            *error = Where() + ": a malformed GUID";
            return false;
        }
        for (size_t i = 0; i < kGroups[g]; ++i) {
            const int digit = HexValue(body_[at++]);
            if (digit < 0) {
                *error = Where() + ": a malformed GUID";
                return false;
            }
            groups[g] = groups[g] << 4 | uint64_t(digit);
        }
    }
    token->kind = XToken::Guid;
    token->guid.Data1 = static_cast<uint32_t>(groups[0]);
    token->guid.Data2 = static_cast<uint16_t>(groups[1]);
    token->guid.Data3 = static_cast<uint16_t>(groups[2]);
    token->guid.Data4[0] = static_cast<uint8_t>(groups[3] >> 8);
    token->guid.Data4[1] = static_cast<uint8_t>(groups[3]);
    for (int i = 0; i < 6; ++i) token->guid.Data4[2 + i] = static_cast<uint8_t>(groups[4] >> (8 * (5 - i)));
    at_ += kGuidTextLength;
    return true;
}

bool XLexer::NextBinary(XTokenValue* token, std::string* error) {
    auto left = [&] { return body_.size() - at_; };
    auto cutShort = [&] {
        *error = Where() + ": the file ends inside a token";
        return false;
    };
    while (listLeft_ == 0) {
        if (left() == 0) return true;  // End
        if (left() < kTokenBytes) return cutShort();
        const uint16_t code = static_cast<uint16_t>(Little(body_.data() + at_, kTokenBytes));
        at_ += kTokenBytes;
        switch (code) {
            case kTokenName:
            case kTokenString: {
                if (left() < kCountBytes) return cutShort();
                const uint64_t length = Little(body_.data() + at_, kCountBytes);
                at_ += kCountBytes;
                if (left() < length) return cutShort();
                token->kind = code == kTokenName ? XToken::Name : XToken::String;
                token->text = std::string_view(reinterpret_cast<const char*>(body_.data()) + at_, length);
                at_ += length;
                // A string ends with a separator token of its own.
                if (code == kTokenString && left() >= kTokenBytes) {
                    const uint64_t next = Little(body_.data() + at_, kTokenBytes);
                    if (next == kTokenComma || next == kTokenSemicolon) at_ += kTokenBytes;
                }
                return true;
            }
            case kTokenInteger:
                if (left() < kCountBytes) return cutShort();
                token->kind = XToken::Integer;
                token->integer = static_cast<uint32_t>(Little(body_.data() + at_, kCountBytes));
                token->number = static_cast<float>(token->integer);
                at_ += kCountBytes;
                return true;
            case kTokenGuid:
                if (left() < kGuidBytes) return cutShort();
                token->kind = XToken::Guid;
                token->guid.Data1 = static_cast<uint32_t>(Little(body_.data() + at_, 4));
                token->guid.Data2 = static_cast<uint16_t>(Little(body_.data() + at_ + 4, 2));
                token->guid.Data3 = static_cast<uint16_t>(Little(body_.data() + at_ + 6, 2));
                std::memcpy(token->guid.Data4, body_.data() + at_ + 8, sizeof(token->guid.Data4));
                at_ += kGuidBytes;
                return true;
            case kTokenIntegerList:
            case kTokenFloatList: {
                if (left() < kCountBytes) return cutShort();
                const uint64_t count = Little(body_.data() + at_, kCountBytes);
                at_ += kCountBytes;
                listOfFloats_ = code == kTokenFloatList;
                if (count * (listOfFloats_ ? floatBytes_ : kCountBytes) > left()) {
                    *error = Where() + ": a list of " + std::to_string(count) + " numbers is longer than the file";
                    return false;
                }
                listLeft_ = static_cast<uint32_t>(count);
                break;  // an empty list gives no token: read on
            }
            case kTokenOpenBrace: token->kind = XToken::OpenBrace; return true;
            case kTokenCloseBrace: token->kind = XToken::CloseBrace; return true;
            case kTokenOpenParen: token->kind = XToken::OpenParen; return true;
            case kTokenCloseParen: token->kind = XToken::CloseParen; return true;
            case kTokenOpenBracket: token->kind = XToken::OpenBracket; return true;
            case kTokenCloseBracket: token->kind = XToken::CloseBracket; return true;
            case kTokenDot: token->kind = XToken::Dot; return true;
            case kTokenComma: token->kind = XToken::Comma; return true;
            case kTokenSemicolon: token->kind = XToken::Semicolon; return true;
            case kTokenTemplate: token->kind = XToken::Template; return true;
            case kTokenArray: token->kind = XToken::Array; return true;
            default:
                if (code >= kTokenFirstType && code <= kTokenLastType) {
                    token->kind = XToken::PrimitiveType;
                    return true;
                }
                at_ -= kTokenBytes;
                *error = Where() + ": unknown token " + std::to_string(code);
                return false;
        }
    }
    --listLeft_;
    if (listOfFloats_) {
        token->kind = XToken::Float;
        if (floatBytes_ == sizeof(double)) {
            const uint64_t bits = Little(body_.data() + at_, sizeof(double));
            double wide;
            std::memcpy(&wide, &bits, sizeof(wide));
            token->number = NarrowToFloat(wide);
        } else {
            const uint32_t bits = static_cast<uint32_t>(Little(body_.data() + at_, sizeof(float)));
            std::memcpy(&token->number, &bits, sizeof(float));
        }
        at_ += floatBytes_;
    } else {
        token->kind = XToken::Integer;
        token->integer = static_cast<uint32_t>(Little(body_.data() + at_, kCountBytes));
        token->number = static_cast<float>(token->integer);
        at_ += kCountBytes;
    }
    return true;
}

}  // namespace platform::d3dx
