// Binary X files token by token, as Microsoft documents the format: the header
// "xof 0303bin 0032", then 16-bit token codes, each followed by its data (names and strings
// with a 32-bit length, lists with a 32-bit count, 32-bit floats). Tests build the same
// meshes they write as text, so both readers are checked against one expectation.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace demo_test {

class XBinaryWriter {
public:
    XBinaryWriter();
    // A file whose float lists hold 64-bit floats ("xof 0303bin 0064").
    struct WideFloats {};
    explicit XBinaryWriter(WideFloats);

    XBinaryWriter& Name(const std::string& name);
    // A string ends with a separator token (';' here), as text files end it with one.
    XBinaryWriter& String(const std::string& text);
    XBinaryWriter& Integer(uint32_t value);
    XBinaryWriter& Integers(const std::vector<uint32_t>& values);
    XBinaryWriter& Floats(const std::vector<float>& values);
    XBinaryWriter& Doubles(const std::vector<double>& values);  // a list of 64-bit floats
    // Any token by its code (punctuation, TEMPLATE, type keywords), with no data of its own.
    XBinaryWriter& Token(uint16_t code);
    XBinaryWriter& Guid(uint32_t data1, uint16_t data2, uint16_t data3, const std::vector<uint8_t>& data4);
    XBinaryWriter& Open();   // {
    XBinaryWriter& Close();  // }
    // A data object's head: its template name, an optional instance name, and '{'.
    XBinaryWriter& Begin(const std::string& templateName, const std::string& instanceName = "");

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void Word(uint16_t value);
    void Dword(uint32_t value);

    std::vector<uint8_t> bytes_;
};

// The same file compressed as D3DX writes it ("tzip" for a text file, "bzip" for a binary
// one): the total size, then blocks of at most 32 KiB, each with its uncompressed and
// compressed sizes, the "CK" signature and raw deflate data (stored blocks here).
std::vector<uint8_t> CompressedX(const std::vector<uint8_t>& plainFile);

// Writes bytes to a file; false when it cannot.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool WriteText(const std::string& path, const std::string& text);

}  // namespace demo_test
