#include "tests/support/x_binary_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace demo_test {
namespace {

constexpr char kHeader[] = "xof 0303bin 0032";
// Token codes of the binary X format.
constexpr uint16_t kTokenName = 1;
constexpr uint16_t kTokenString = 2;
constexpr uint16_t kTokenInteger = 3;
constexpr uint16_t kTokenGuid = 5;
constexpr uint16_t kTokenIntegerList = 6;
constexpr uint16_t kTokenFloatList = 7;
constexpr uint16_t kTokenOpenBrace = 10;
constexpr uint16_t kTokenCloseBrace = 11;
constexpr uint16_t kTokenSemicolon = 20;

}  // namespace

XBinaryWriter::XBinaryWriter() : bytes_(kHeader, kHeader + std::strlen(kHeader)) {}

XBinaryWriter::XBinaryWriter(WideFloats) : XBinaryWriter() { std::memcpy(bytes_.data() + 12, "0064", 4); }

XBinaryWriter& XBinaryWriter::Doubles(const std::vector<double>& values) {
    Word(kTokenFloatList);
    Dword(static_cast<uint32_t>(values.size()));
    for (double value : values) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        Dword(static_cast<uint32_t>(bits));
        Dword(static_cast<uint32_t>(bits >> 32));
    }
    return *this;
}

XBinaryWriter& XBinaryWriter::Token(uint16_t code) {
    Word(code);
    return *this;
}

XBinaryWriter& XBinaryWriter::Guid(uint32_t data1, uint16_t data2, uint16_t data3, const std::vector<uint8_t>& data4) {
    Word(kTokenGuid);
    Dword(data1);
    Word(data2);
    Word(data3);
    for (size_t i = 0; i < 8; ++i) bytes_.push_back(i < data4.size() ? data4[i] : 0);
    return *this;
}

void XBinaryWriter::Word(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void XBinaryWriter::Dword(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(value >> shift));
}

XBinaryWriter& XBinaryWriter::Name(const std::string& name) {
    Word(kTokenName);
    Dword(static_cast<uint32_t>(name.size()));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    return *this;
}

XBinaryWriter& XBinaryWriter::String(const std::string& text) {
    Word(kTokenString);
    Dword(static_cast<uint32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    Word(kTokenSemicolon);
    return *this;
}

XBinaryWriter& XBinaryWriter::Integer(uint32_t value) {
    Word(kTokenInteger);
    Dword(value);
    return *this;
}

XBinaryWriter& XBinaryWriter::Integers(const std::vector<uint32_t>& values) {
    Word(kTokenIntegerList);
    Dword(static_cast<uint32_t>(values.size()));
    for (uint32_t value : values) Dword(value);
    return *this;
}

XBinaryWriter& XBinaryWriter::Floats(const std::vector<float>& values) {
    Word(kTokenFloatList);
    Dword(static_cast<uint32_t>(values.size()));
    for (float value : values) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        Dword(bits);
    }
    return *this;
}

XBinaryWriter& XBinaryWriter::Open() {
    Word(kTokenOpenBrace);
    return *this;
}

XBinaryWriter& XBinaryWriter::Close() {
    Word(kTokenCloseBrace);
    return *this;
}

XBinaryWriter& XBinaryWriter::Begin(const std::string& templateName, const std::string& instanceName) {
    Name(templateName);
    if (!instanceName.empty()) Name(instanceName);
    return Open();
}

std::vector<uint8_t> CompressedX(const std::vector<uint8_t>& plainFile) {
    constexpr size_t kHeaderSize = 16;
    constexpr size_t kBlock = 32768;
    const bool binary = plainFile.size() >= kHeaderSize && std::memcmp(plainFile.data() + 8, "bin ", 4) == 0;
    std::vector<uint8_t> out(plainFile.begin(), plainFile.begin() + kHeaderSize);
    std::memcpy(out.data() + 8, binary ? "bzip" : "tzip", 4);
    auto put16 = [&](size_t v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    put16(plainFile.size() & 0xFFFF);
    put16(plainFile.size() >> 16);
    for (size_t start = kHeaderSize; start < plainFile.size(); start += kBlock) {
        const size_t length = std::min(kBlock, plainFile.size() - start);
        // One final stored deflate block: header bit, then LEN and its complement.
        const size_t compressed = 2 + 1 + 4 + length;
        put16(length);
        put16(compressed);
        out.push_back('C');
        out.push_back('K');
        out.push_back(1);
        put16(length);
        put16(~length & 0xFFFF);
        out.insert(out.end(), plainFile.begin() + static_cast<long>(start), plainFile.begin() + static_cast<long>(start + length));
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace demo_test
