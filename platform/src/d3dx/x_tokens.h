// The tokens of an X file's body, the same for its text and its binary form: names, strings,
// numbers, GUIDs, punctuation and the keywords of template declarations. A binary integer or
// float list comes out one number at a time.
#pragma once

#include <unknwn.h>

#include "d3dx/image.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::d3dx {

// The body of an X file after its 16-byte header: inflated when the file was compressed.
struct XBody {
    bool binary = false;
    size_t floatBytes = sizeof(float);  // of the floats in binary float lists
    Bytes bytes;
    std::vector<uint8_t> inflated;  // what `bytes` views for a compressed file
};

// Reads the header; false (with the reason) for a file that is not an X file of a known kind
// or whose compressed blocks do not inflate.
bool OpenXBody(Bytes file, XBody* body, std::string* error);

enum class XToken : uint8_t {
    End,
    Name,
    String,
    Integer,
    Float,
    Guid,
    OpenBrace,
    CloseBrace,
    OpenBracket,
    CloseBracket,
    OpenParen,
    CloseParen,
    Dot,
    Comma,
    Semicolon,
    Template,
    Array,
    PrimitiveType,  // WORD, DWORD, FLOAT, DOUBLE, CHAR, UCHAR, SWORD, SDWORD, STRING, ...
};

struct XTokenValue {
    XToken kind = XToken::End;
    std::string_view text;  // a name or a string, viewing the body
    uint32_t integer = 0;
    float number = 0.0f;  // a Float, or an Integer as a float
    GUID guid{};
};

class XLexer {
public:
    explicit XLexer(const XBody& body) : body_(body.bytes), binary_(body.binary), floatBytes_(body.floatBytes) {}

    // The next token; false (with the reason) where the bytes hold none.
    bool Next(XTokenValue* token, std::string* error);
    // Where the lexer stands, for messages: "line N" in text, "byte N" in binary.
    std::string Where() const;
    // Text needs a ',' or ';' after every number and string of a data object; binary lists
    // carry none.
    bool NeedsSeparators() const { return !binary_; }

private:
    bool NextText(XTokenValue* token, std::string* error);
    bool NextBinary(XTokenValue* token, std::string* error);
    bool TextNumber(XTokenValue* token, std::string* error);
    bool TextGuid(XTokenValue* token, std::string* error);
    void SkipSpaceAndComments();

    Bytes body_;
    bool binary_;
    size_t floatBytes_;
    size_t at_ = 0;
    size_t line_ = 1;
    // The numbers left in the binary integer or float list being read.
    uint32_t listLeft_ = 0;
    bool listOfFloats_ = false;
};

}  // namespace platform::d3dx
