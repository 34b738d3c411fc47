// InflateRaw against zlib's deflate (every level and strategy a compressed X file may come
// with, and a preset dictionary), and on hand-assembled blocks that must fail.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "core/inflate.h"

namespace {

using platform::DeflateEnd;
using platform::InflateRaw;
using Bytes = std::vector<uint8_t>;

constexpr int kRawDeflate = -MAX_WBITS;
constexpr int kMemoryLevel = 8;
constexpr size_t kWindow = 32768;
constexpr size_t kUnlimited = SIZE_MAX;

// zlib's raw deflate of `plain`, after `dictionary`, ended with `flush`.
Bytes Deflate(const Bytes& plain, int level, int strategy, const Bytes& dictionary = {}, int flush = Z_FINISH) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, kRawDeflate, kMemoryLevel, strategy), Z_OK);
    if (!dictionary.empty()) deflateSetDictionary(&stream, dictionary.data(), static_cast<uInt>(dictionary.size()));
    Bytes packed(deflateBound(&stream, plain.size()) + 16);
    stream.next_in = const_cast<Bytef*>(plain.data());
    stream.avail_in = static_cast<uInt>(plain.size());
    stream.next_out = packed.data();
    stream.avail_out = static_cast<uInt>(packed.size());
    EXPECT_NE(deflate(&stream, flush), Z_STREAM_ERROR);
    packed.resize(packed.size() - stream.avail_out);
    deflateEnd(&stream);
    return packed;
}

// Text with matches near and 30 KiB away, runs of one byte and of three, and random bytes.
Bytes Mixed(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    const std::string line = "Mesh Pentagon { 5; 0.000000; 1.000000; -0.951057;, ";
    Bytes plain;
    while (plain.size() < size) {
        switch (random() % 5) {
            case 0: plain.insert(plain.end(), line.begin(), line.end()); break;
            case 1: plain.insert(plain.end(), 300, static_cast<uint8_t>(random())); break;
            case 2: for (int i = 0; i < 200; ++i) plain.push_back("abc"[i % 3]); break;
            case 3: for (int i = 0; i < 400; ++i) plain.push_back(static_cast<uint8_t>(random())); break;
            default:
                if (plain.size() > kWindow) plain.insert(plain.end(), plain.end() - 30000, plain.end() - 29000);
        }
    }
    plain.resize(size);
    return plain;
}

// Header fields and extra bits go least significant bit first, Huffman codes most
// significant bit first (RFC 1951, 3.1.1).
class BitWriter {
public:
    BitWriter& Bits(uint32_t value, unsigned count) {
        for (unsigned i = 0; i < count; ++i) Bit(value >> i & 1);
        return *this;
    }
    BitWriter& Code(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;) Bit(code >> i & 1);
        return *this;
    }
    Bytes bytes;

private:
    void Bit(uint32_t bit) {
        if (used_ % 8 == 0) bytes.push_back(0);
        bytes.back() |= static_cast<uint8_t>(bit << (used_++ % 8));
    }
    unsigned used_ = 0;
};

// Fixed-code symbols (RFC 1951, 3.2.6): 'a' is 0x30 + 0x61 in 8 bits, length 3 is 257 in
// 7 bits, end of block 256 in 7 bits, and symbol 286 is 0xC0 + 6 in 8 bits.
BitWriter FixedBlock() { return std::move(BitWriter().Bits(1, 1).Bits(1, 2)); }
constexpr uint32_t kFixedA = 0x91;
constexpr uint32_t kFixedLength3 = 1;
constexpr uint32_t kFixedEnd = 0;
constexpr uint32_t kFixed286 = 0xC6;

// The order in which a dynamic block gives the code length code's lengths (RFC 1951, 3.2.7).
constexpr uint8_t kCodeLengthOrder[] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A final dynamic block's header up to its literal/length and distance code lengths, each
// sent with a code length code giving 0, 1, 2 and 3 two-bit codes 00, 01, 10, 11.
BitWriter DynamicBlock(const Bytes& literalLengths, const Bytes& distanceLengths) {
    BitWriter w;
    w.Bits(1, 1).Bits(2, 2).Bits(static_cast<uint32_t>(literalLengths.size() - 257), 5);
    w.Bits(static_cast<uint32_t>(distanceLengths.size() - 1), 5).Bits(19 - 4, 4);
    for (uint8_t symbol : kCodeLengthOrder) w.Bits(symbol <= 3 ? 2 : 0, 3);
    for (uint8_t length : literalLengths) w.Code(length, 2);
    for (uint8_t length : distanceLengths) w.Code(length, 2);
    return w;
}

// 258 literal/length code lengths: 'a' one bit (code 0), end of block and length 3 two bits
// (codes 10 and 11), unless given others.
Bytes LiteralLengths(std::initializer_list<std::pair<size_t, uint8_t>> lengths = {{'a', 1}, {256, 2}, {257, 2}}) {
    Bytes all(258, 0);
    for (auto [symbol, length] : lengths) all[symbol] = length;
    return all;
}

TEST(InflateRaw, GivesBackWhatZlibDeflatedAtEachLevelAndStrategy) {
    const Bytes plain = Mixed(300000, 1);
    for (int level : {0, 1, 9}) {
        for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED}) {
            SCOPED_TRACE("level " + std::to_string(level) + ", strategy " + std::to_string(strategy));
            const Bytes packed = Deflate(plain, level, strategy);
            Bytes out;
            std::string error;
            ASSERT_TRUE(InflateRaw(packed.data(), packed.size(), &out, kWindow, plain.size(), DeflateEnd::AfterFinalBlock,
                                   &error))
                << error;
            EXPECT_TRUE(out == plain);
            out.clear();
            EXPECT_FALSE(InflateRaw(packed.data(), packed.size(), &out, kWindow, plain.size() - 1,
                                    DeflateEnd::AfterFinalBlock, &error));
            EXPECT_NE(error.find("more than 299999 bytes"), std::string::npos) << error;
            // Cut anywhere, even only the last byte, the data is missing something.
            for (size_t cut : {size_t(1), packed.size() / 2}) {
                error.clear();
                EXPECT_FALSE(InflateRaw(packed.data(), packed.size() - cut, &out, kWindow, kUnlimited,
                                        DeflateEnd::AfterAnyBlock, &error));
                EXPECT_EQ(error, "the deflate data ends too soon");
            }
        }
    }
}

TEST(InflateRaw, BackReferencesReachIntoTheOutputBefore) {
    const Bytes dictionary = Mixed(kWindow, 2);
    Bytes plain(dictionary.begin() + 100, dictionary.begin() + 20000);
    const Bytes more = Mixed(5000, 3);
    plain.insert(plain.end(), more.begin(), more.end());
    const Bytes packed = Deflate(plain, 9, Z_DEFAULT_STRATEGY, dictionary);
    ASSERT_LT(packed.size(), plain.size() / 2) << "the dictionary was used";
    Bytes out(1000, 0xEE);
    out.insert(out.end(), dictionary.begin(), dictionary.end());
    std::string error;
    ASSERT_TRUE(InflateRaw(packed.data(), packed.size(), &out, kWindow, kUnlimited, DeflateEnd::AfterFinalBlock, &error))
        << error;
    Bytes expected(1000, 0xEE);
    expected.insert(expected.end(), dictionary.begin(), dictionary.end());
    expected.insert(expected.end(), plain.begin(), plain.end());
    EXPECT_TRUE(out == expected);
}

// An X file's blocks are one stream cut after each sync flush; each block's data ends after a
// non-final block and the next one refers back into it.
TEST(InflateRaw, FlushedPiecesEndBetweenBlocksOnlyWhenAllowed) {
    const Bytes first = Mixed(40000, 4);
    const Bytes second(first.begin() + 20000, first.end());
    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, kRawDeflate, kMemoryLevel, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes pieces[2];
    const Bytes* plains[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        pieces[i].resize(deflateBound(&stream, plains[i]->size()) + 16);
        stream.next_in = const_cast<Bytef*>(plains[i]->data());
        stream.avail_in = static_cast<uInt>(plains[i]->size());
        stream.next_out = pieces[i].data();
        stream.avail_out = static_cast<uInt>(pieces[i].size());
        deflate(&stream, i == 0 ? Z_SYNC_FLUSH : Z_FINISH);
        pieces[i].resize(pieces[i].size() - stream.avail_out);
    }
    deflateEnd(&stream);
    Bytes out;
    std::string error;
    EXPECT_FALSE(InflateRaw(pieces[0].data(), pieces[0].size(), &out, kWindow, kUnlimited, DeflateEnd::AfterFinalBlock,
                            &error));
    EXPECT_EQ(error, "the deflate data ends too soon");
    out.clear();
    ASSERT_TRUE(InflateRaw(pieces[0].data(), pieces[0].size(), &out, kWindow, kUnlimited, DeflateEnd::AfterAnyBlock,
                           &error));
    ASSERT_TRUE(InflateRaw(pieces[1].data(), pieces[1].size(), &out, kWindow, kUnlimited, DeflateEnd::AfterAnyBlock,
                           &error))
        << error;
    Bytes expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_TRUE(out == expected);
}

TEST(InflateRaw, DistancesReachBackExactlyTheWindow) {
    // Length 3 at distance 2 (distance code 1), then at distance 3 (code 2), with "wxyz"
    // before and a window of 2.
    const Bytes within = FixedBlock().Code(kFixedLength3, 7).Code(1, 5).Code(kFixedEnd, 7).bytes;
    const Bytes beyond = FixedBlock().Code(kFixedLength3, 7).Code(2, 5).Code(kFixedEnd, 7).bytes;
    Bytes out = {'w', 'x', 'y', 'z'};
    std::string error;
    ASSERT_TRUE(InflateRaw(within.data(), within.size(), &out, 2, kUnlimited, DeflateEnd::AfterFinalBlock, &error))
        << error;
    EXPECT_EQ(std::string(out.begin(), out.end()), "wxyzyzy");
    out.resize(4);
    EXPECT_FALSE(InflateRaw(beyond.data(), beyond.size(), &out, 2, kUnlimited, DeflateEnd::AfterFinalBlock, &error));
    EXPECT_EQ(error, "a distance of 3 reaches before the 2 bytes available");
    // A distance code with a single one-bit code is allowed; its other code is not.
    const Bytes lengths = LiteralLengths();
    const Bytes single = DynamicBlock(lengths, {1}).Code(0, 1).Code(3, 2).Code(0, 1).Code(2, 2).bytes;
    out.clear();
    ASSERT_TRUE(InflateRaw(single.data(), single.size(), &out, 0, kUnlimited, DeflateEnd::AfterFinalBlock, &error))
        << error;
    EXPECT_EQ(std::string(out.begin(), out.end()), "aaaa");
    const Bytes unused = DynamicBlock(lengths, {1}).Code(0, 1).Code(3, 2).Code(1, 1).Code(2, 2).bytes;
    EXPECT_FALSE(InflateRaw(unused.data(), unused.size(), &out, 0, kUnlimited, DeflateEnd::AfterFinalBlock, &error));
    EXPECT_EQ(error, "an unused distance code");
}

TEST(InflateRaw, MalformedStreamsFailWithTheirReason) {
    // A dynamic block's header whose code length code (all 19 lengths given) has the one-bit
    // codes 0 for symbol `low` and 1 for symbol `high`.
    auto lengthCode = [](size_t literalCount, size_t distanceCount, int low, int high) {
        BitWriter w;
        w.Bits(1, 1).Bits(2, 2).Bits(static_cast<uint32_t>(literalCount - 257), 5);
        w.Bits(static_cast<uint32_t>(distanceCount - 1), 5).Bits(19 - 4, 4);
        for (uint8_t symbol : kCodeLengthOrder) w.Bits(symbol == low || symbol == high ? 1 : 0, 3);
        return w;
    };
    BitWriter repeatsPastEnd = lengthCode(257, 1, 1, 18);
    repeatsPastEnd.Code(1, 1).Bits(127, 7).Code(1, 1).Bits(127, 7);
    BitWriter allOnes = BitWriter().Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(19 - 4, 4);
    for (int i = 0; i < 19; ++i) allOnes.Bits(1, 3);
    const struct {
        const char* name;
        Bytes data;
        const char* error;
    } cases[] = {
        {"nothing", {}, "ends too soon"},
        {"stored block cut short", {0x01, 0x05, 0x00, 0xFA, 0xFF, 'a', 'b'}, "ends too soon"},
        {"stored length not complemented", {0x01, 0x01, 0x00, 0xFF, 0xFF, 'a'}, "does not match its complement"},
        {"block type 3", {0x07, 0x00}, "reserved type 3"},
        {"fixed block without its end", FixedBlock().Code(kFixedA, 8).bytes, "ends too soon"},
        {"literal/length 286", FixedBlock().Code(kFixed286, 8).Code(kFixedEnd, 7).bytes, "code 286, which stands for nothing"},
        {"distance 30", FixedBlock().Code(kFixedA, 8).Code(kFixedLength3, 7).Code(30, 5).Code(kFixedEnd, 7).bytes,
         "distance code 30, which stands for nothing"},
        {"287 literal/length codes", BitWriter().Bits(1, 1).Bits(2, 2).Bits(30, 5).Bits(0, 5).Bits(0, 4).bytes,
         "more than 286 literal/length or 30 distance codes"},
        {"31 distance codes", BitWriter().Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(30, 5).Bits(0, 4).bytes,
         "more than 286 literal/length or 30 distance codes"},
        {"code length code over-subscribed", allOnes.bytes, "code length code is over-subscribed"},
        {"code length code incomplete", BitWriter().Bits(1, 1).Bits(2, 2).Bits(0, 10).Bits(0, 4).Bits(1, 3).Bits(0, 9).bytes,
         "code length code is incomplete"},
        {"repeat before the first length", lengthCode(257, 1, 1, 16).Code(1, 1).Bits(0, 2).bytes,
         "repeats before the first one"},
        {"zeros repeated past the end", repeatsPastEnd.bytes, "repeat past the end"},
        {"literal/length over-subscribed", DynamicBlock(LiteralLengths({{'a', 1}, {'b', 1}, {256, 1}}), {1}).bytes,
         "literal/length code is over-subscribed"},
        {"literal/length incomplete", DynamicBlock(LiteralLengths({{'a', 1}, {256, 2}}), {1}).bytes,
         "literal/length code is incomplete"},
        {"single literal/length code", DynamicBlock(LiteralLengths({{256, 1}}), {1}).bytes,
         "literal/length code is incomplete"},
        {"no end of block", DynamicBlock(LiteralLengths({{'a', 1}, {'b', 1}}), {1}).bytes, "no end-of-block code"},
        {"distance incomplete", DynamicBlock(LiteralLengths(), {1, 2}).bytes, "distance code is incomplete"},
        {"single two-bit distance code", DynamicBlock(LiteralLengths(), {2}).bytes, "distance code is incomplete"},
        {"distance with no codes", DynamicBlock(LiteralLengths(), {0}).Code(3, 2).Code(0, 8).bytes, "an unused distance code"},
    };
    for (const auto& test : cases) {
        Bytes out = {'x'};
        std::string error;
        EXPECT_FALSE(InflateRaw(test.data.data(), test.data.size(), &out, kWindow, kUnlimited,
                                DeflateEnd::AfterFinalBlock, &error))
            << test.name;
        EXPECT_NE(error.find(test.error), std::string::npos) << test.name << ": " << error;
    }
    // Five stored bytes where four may come out.
    const Bytes five = {0x01, 0x05, 0x00, 0xFA, 0xFF, 'a', 'b', 'c', 'd', 'e'};
    Bytes out;
    std::string error;
    EXPECT_FALSE(InflateRaw(five.data(), five.size(), &out, kWindow, 4, DeflateEnd::AfterFinalBlock, &error));
    EXPECT_EQ(error, "the data inflates to more than 4 bytes");
    ASSERT_TRUE(InflateRaw(five.data(), five.size(), &out, kWindow, 5, DeflateEnd::AfterFinalBlock, &error));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcde");
}

}  // namespace
