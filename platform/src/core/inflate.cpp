// Raw DEFLATE (RFC 1951): stored, fixed-code and dynamic-code blocks, read through a 64-bit
// bit buffer and decoded with two-level Huffman tables (a first level indexed by the next
// few bits of the input, and second-level tables for the longer codes).
#include "core/inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace platform {
namespace {

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kEndOfBlock = 256;
constexpr unsigned kFirstLengthSymbol = 257;
// The fixed code gives lengths to 288 literal/length and 32 distance symbols, of which the
// last two of each stand for nothing.
constexpr size_t kLiteralLengthSymbols = 288;
constexpr size_t kUsableLiteralLengthSymbols = 286;
constexpr size_t kDistanceSymbols = 32;
constexpr size_t kUsableDistanceSymbols = 30;
constexpr size_t kCodeLengthSymbols = 19;
// The bits that index each first-level table.
constexpr unsigned kLiteralLengthRootBits = 10;
constexpr unsigned kDistanceRootBits = 8;
constexpr unsigned kCodeLengthRootBits = 7;
// A complete code of 288 symbols has at most 48 second-level tables of 32 entries below a
// 10-bit first level: each such table needs at least six codes.
constexpr size_t kMaxSecondLevelEntries = 48 * 32;
constexpr size_t kTableCapacity = (size_t(1) << kLiteralLengthRootBits) + kMaxSecondLevelEntries;

// Block header: the final flag, then the type.
constexpr unsigned kFinalFlagBits = 1;
constexpr unsigned kBlockTypeBits = 2;
constexpr unsigned kStoredBlock = 0;
constexpr unsigned kFixedBlock = 1;
constexpr unsigned kDynamicBlock = 2;
// A stored block's length and its ones' complement, 16 bits each.
constexpr unsigned kStoredLengthBits = 16;
constexpr uint32_t kStoredLengthMask = 0xFFFF;
// A dynamic block's header: how many codes of each kind, then the code length code.
constexpr unsigned kLiteralLengthCountBits = 5;
constexpr unsigned kDistanceCountBits = 5;
constexpr unsigned kCodeLengthCountBits = 4;
constexpr unsigned kCodeLengthLengthBits = 3;
constexpr size_t kFewestCodeLengthCodes = 4;
constexpr size_t kFewestDistanceCodes = 1;
constexpr std::array<uint8_t, kCodeLengthSymbols> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                      11, 4,  12, 3, 13, 2, 14, 1, 15};
// Code length symbols 16 (repeat the previous length 3 to 6 times), 17 (repeat zero 3 to 10
// times) and 18 (11 to 138 times), each followed by the extra bits of its count.
constexpr unsigned kRepeatPrevious = 16;
constexpr unsigned kRepeatZeroShort = 17;
constexpr size_t kRepeatPreviousFewest = 3;
constexpr unsigned kRepeatPreviousBits = 2;
constexpr size_t kRepeatZeroShortFewest = 3;
constexpr unsigned kRepeatZeroShortBits = 3;
constexpr size_t kRepeatZeroLongFewest = 11;
constexpr unsigned kRepeatZeroLongBits = 7;

constexpr std::array<uint16_t, kUsableLiteralLengthSymbols - kFirstLengthSymbol> kLengthBase = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23,  27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, kUsableLiteralLengthSymbols - kFirstLengthSymbol> kLengthExtra = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint16_t, kUsableDistanceSymbols> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, kUsableDistanceSymbols> kDistanceExtra = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The fixed literal/length code's lengths, by the first symbol of each run.
constexpr unsigned kFixedLiteralRunEnds[] = {144, 256, 280, 288};
constexpr uint8_t kFixedLiteralRunLengths[] = {8, 9, 7, 8};
constexpr uint8_t kFixedDistanceLength = 5;

constexpr unsigned kByteBits = 8;
constexpr uint64_t kByteMask = 0xFF;
constexpr const char* kEndsTooSoon = "the deflate data ends too soon";
// The bit buffer is refilled to at least this many bits.
constexpr unsigned kRefilledBits = 56;
constexpr unsigned kBufferBits = 64;

// Matches are copied eight bytes at a time when the output has this much room after them.
constexpr size_t kCopyChunk = 8;
// The output grows by at least this much at a time.
constexpr size_t kMinimumGrowth = size_t(64) << 10;

// A table entry packs the bits its code takes (low byte), its kind, the extra bits that
// follow the code, and its value: a literal, a base length or distance, a code length symbol,
// or, for a link, where its second-level table starts (and its index bits in the extra field).
enum Kind : uint32_t { kLiteral, kBase, kEndOfBlockKind, kLink, kNoSymbol, kUnused };
constexpr uint32_t kKindShift = 8;
constexpr uint32_t kExtraShift = 12;
constexpr uint32_t kValueShift = 16;
constexpr uint32_t kFieldMask = 0xF;
constexpr uint32_t Entry(Kind kind, uint32_t value, uint32_t extra = 0, uint32_t bits = 0) {
    return bits | (kind << kKindShift) | (extra << kExtraShift) | (value << kValueShift);
}
constexpr uint32_t EntryBits(uint32_t entry) { return entry & kFieldMask; }
constexpr Kind EntryKind(uint32_t entry) { return Kind((entry >> kKindShift) & kFieldMask); }
constexpr uint32_t EntryExtra(uint32_t entry) { return (entry >> kExtraShift) & kFieldMask; }
constexpr uint32_t EntryValue(uint32_t entry) { return entry >> kValueShift; }

struct HuffmanTable {
    unsigned rootBits = 0;
    std::array<uint32_t, kTableCapacity> entries;
};

// What each symbol of an alphabet decodes to, before its code length is known.
struct Alphabet {
    std::array<uint32_t, kLiteralLengthSymbols> symbols{};
    const char* name;
};

constexpr Alphabet LiteralLengthAlphabet() {
    Alphabet alphabet{{}, "literal/length"};
    for (unsigned s = 0; s < kLiteralLengthSymbols; ++s) {
        if (s < kEndOfBlock) alphabet.symbols[s] = Entry(kLiteral, s);
        else if (s == kEndOfBlock) alphabet.symbols[s] = Entry(kEndOfBlockKind, s);
        else if (s < kUsableLiteralLengthSymbols)
            alphabet.symbols[s] = Entry(kBase, kLengthBase[s - kFirstLengthSymbol], kLengthExtra[s - kFirstLengthSymbol]);
        else alphabet.symbols[s] = Entry(kNoSymbol, s);
    }
    return alphabet;
}

constexpr Alphabet DistanceAlphabet() {
    Alphabet alphabet{{}, "distance"};
    for (unsigned s = 0; s < kDistanceSymbols; ++s)
        alphabet.symbols[s] = s < kUsableDistanceSymbols ? Entry(kBase, kDistanceBase[s], kDistanceExtra[s])
                                                         : Entry(kNoSymbol, s);
    return alphabet;
}

constexpr Alphabet CodeLengthAlphabet() {
    Alphabet alphabet{{}, "code length"};
    for (unsigned s = 0; s < kCodeLengthSymbols; ++s) alphabet.symbols[s] = Entry(kLiteral, s);
    return alphabet;
}

constexpr Alphabet kLiteralLengths = LiteralLengthAlphabet();
constexpr Alphabet kDistances = DistanceAlphabet();
constexpr Alphabet kCodeLengths = CodeLengthAlphabet();

uint32_t Reversed(uint32_t code, unsigned bits) {
    uint32_t reversed = 0;
    for (unsigned i = 0; i < bits; ++i) reversed |= (code >> i & 1) << (bits - 1 - i);
    return reversed;
}

// Fills `table` with the canonical code that `lengths` gives (RFC 1951, 3.2.2), codes read
// least significant bit first. The code must be complete, except that a distance code may
// have no codes or a single one of one bit.
bool BuildTable(const uint8_t* lengths, size_t count, const Alphabet& alphabet, unsigned rootBits,
                bool singleCodeAllowed, HuffmanTable* table, std::string* error) {
    std::array<unsigned, kMaxCodeLength + 1> counts{};
    for (size_t s = 0; s < count; ++s) ++counts[lengths[s]];
    counts[0] = 0;
    int left = 1;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        left = left * 2 - static_cast<int>(counts[length]);
        if (left < 0) {
            *error = std::string("the ") + alphabet.name + " code is over-subscribed";
            return false;
        }
    }
    const size_t codes = count - std::count(lengths, lengths + count, 0);
    if (left > 0 && !(singleCodeAllowed && (codes == 0 || (codes == 1 && counts[1] == 1)))) {
        *error = std::string("the ") + alphabet.name + " code is incomplete";
        return false;
    }
    std::array<uint32_t, kMaxCodeLength + 1> next{};
    for (unsigned length = 1, code = 0; length <= kMaxCodeLength; ++length) {
        code = (code + counts[length - 1]) << 1;
        next[length] = code;
    }
    const uint32_t rootSize = uint32_t(1) << rootBits;
    const uint32_t rootMask = rootSize - 1;
    table->rootBits = rootBits;
    std::fill_n(table->entries.begin(), rootSize, Entry(kUnused, 0, 0, 1));
    std::array<uint16_t, kLiteralLengthSymbols> reversed{};
    std::array<uint8_t, size_t(1) << kLiteralLengthRootBits> longest{};
    for (size_t s = 0; s < count; ++s) {
        const unsigned length = lengths[s];
        if (length == 0) continue;
        reversed[s] = static_cast<uint16_t>(Reversed(next[length]++, length));
        if (length > rootBits) {
            uint8_t& most = longest[reversed[s] & rootMask];
            most = std::max<uint8_t>(most, static_cast<uint8_t>(length));
            continue;
        }
        for (uint32_t at = reversed[s]; at < rootSize; at += uint32_t(1) << length)
            table->entries[at] = alphabet.symbols[s] | length;
    }
    uint32_t used = rootSize;
    for (uint32_t prefix = 0; prefix < rootSize; ++prefix) {
        if (longest[prefix] == 0) continue;
        const uint32_t indexBits = longest[prefix] - rootBits;
        table->entries[prefix] = Entry(kLink, used, indexBits, rootBits);
        std::fill_n(table->entries.begin() + used, uint32_t(1) << indexBits, Entry(kUnused, 0, 0, 1));
        used += uint32_t(1) << indexBits;
    }
    for (size_t s = 0; s < count; ++s) {
        const unsigned length = lengths[s];
        if (length <= rootBits) continue;
        const uint32_t link = table->entries[reversed[s] & rootMask];
        const uint32_t end = EntryValue(link) + (uint32_t(1) << EntryExtra(link));
        const unsigned rest = length - rootBits;
        for (uint32_t at = EntryValue(link) + (reversed[s] >> rootBits); at < end; at += uint32_t(1) << rest)
            table->entries[at] = alphabet.symbols[s] | rest;
    }
    return true;
}

struct FixedTables {
    HuffmanTable literalLengths;
    HuffmanTable distances;
    FixedTables() {
        std::array<uint8_t, kLiteralLengthSymbols> lengths{};
        for (unsigned run = 0, s = 0; s < kLiteralLengthSymbols; ++s) {
            if (s == kFixedLiteralRunEnds[run]) ++run;
            lengths[s] = kFixedLiteralRunLengths[run];
        }
        std::string unused;
        BuildTable(lengths.data(), kLiteralLengthSymbols, kLiteralLengths, kLiteralLengthRootBits, false,
                   &literalLengths, &unused);
        lengths.fill(kFixedDistanceLength);
        BuildTable(lengths.data(), kDistanceSymbols, kDistances, kDistanceRootBits, false, &distances, &unused);
    }
};

const FixedTables& Fixed() {
    static const FixedTables tables;
    return tables;
}

uint64_t ByteSwapped(uint64_t word) {
    uint64_t swapped = 0;
    for (size_t i = 0; i < sizeof word; ++i, word >>= kByteBits) swapped = (swapped << kByteBits) | (word & kByteMask);
    return swapped;
}

// The input, least significant bit first. Past the end of the data it reads zero bytes, and
// counts them, so that a decoder that used any of them can tell it ran out.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

    // Fills the buffer to at least kRefilledBits. False once bits past the end have been used.
    bool Refill() {
        if (end_ - next_ >= static_cast<ptrdiff_t>(sizeof(uint64_t))) {
            uint64_t word;
            std::memcpy(&word, next_, sizeof word);
            if constexpr (std::endian::native == std::endian::big) word = ByteSwapped(word);
            // As many whole bytes as fit above the bits held, which leaves 56 to 63 bits; the
            // bits above the count are those same next bytes, so the next refill ORs them in
            // again unchanged.
            bits_ |= word << count_;
            next_ += (kBufferBits - 1 - count_) / kByteBits;
            count_ |= kRefilledBits;
            return true;
        }
        while (count_ <= kRefilledBits) {
            uint64_t byte = 0;
            if (next_ < end_) byte = *next_++;
            else ++padding_;
            bits_ |= byte << count_;
            count_ += kByteBits;
        }
        return !Overran();
    }
    bool Overran() const { return count_ < padding_ * kByteBits; }
    // No whole byte of the data is left, in the buffer or after it.
    bool AtEnd() const { return next_ == end_ && !Overran() && count_ < (padding_ + 1) * kByteBits; }

    uint64_t Peek() const { return bits_; }
    void Consume(unsigned bits) {
        bits_ >>= bits;
        count_ -= bits;
    }
    // The next `bits` bits (at most 32); those past the end read as zero.
    uint32_t Take(unsigned bits) {
        if (count_ < bits) Refill();
        const uint32_t value = static_cast<uint32_t>(bits_ & ((uint64_t(1) << bits) - 1));
        Consume(bits);
        return value;
    }
    void AlignToByte() { Consume(count_ % kByteBits); }

    // Copies `size` bytes at the byte boundary where the reader stands.
    bool TakeBytes(uint8_t* to, size_t size) {
        for (; size > 0 && count_ >= (padding_ + 1) * kByteBits; --size) *to++ = static_cast<uint8_t>(Take(kByteBits));
        if (size == 0) return true;
        if (static_cast<size_t>(end_ - next_) < size) return false;
        // The buffer is empty now; the bits above its count are bytes the copy skips.
        bits_ = 0;
        std::memcpy(to, next_, size);
        next_ += size;
        return true;
    }

private:
    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
    size_t padding_ = 0;
};

uint32_t Decode(const HuffmanTable& table, BitReader* reader) {
    uint32_t entry = table.entries[reader->Peek() & ((uint32_t(1) << table.rootBits) - 1)];
    if (EntryKind(entry) == kLink) {
        reader->Consume(table.rootBits);
        entry = table.entries[EntryValue(entry) + (reader->Peek() & ((uint32_t(1) << EntryExtra(entry)) - 1))];
    }
    reader->Consume(EntryBits(entry));
    return entry;
}

class Inflater {
public:
    Inflater(const uint8_t* data, size_t size, std::vector<uint8_t>* out, size_t window, size_t maxOut,
             std::string* error)
        : reader_(data, size), out_(out), error_(error), start_(out->size()),
          floor_(start_ - std::min(window, start_)), limit_(start_ + std::min(maxOut, SIZE_MAX - start_)),
          position_(start_) {}
    ~Inflater() { out_->resize(position_); }

    bool Run(DeflateEnd end) {
        for (bool final = false; !final;) {
            final = reader_.Take(kFinalFlagBits) != 0;
            const unsigned type = reader_.Take(kBlockTypeBits);
            bool read = false;
            if (type == kStoredBlock) read = Stored();
            else if (type == kFixedBlock) read = Codes(Fixed().literalLengths, Fixed().distances);
            else if (type == kDynamicBlock) read = Dynamic();
            else read = Fail("a block of the reserved type 3");
            if (!read) return false;
            if (end == DeflateEnd::AfterAnyBlock && reader_.AtEnd()) return true;
        }
        return true;
    }

private:
    bool Fail(const std::string& message) {
        *error_ = reader_.Overran() ? kEndsTooSoon : message;
        return false;
    }

    // Makes room for `size` more bytes (and, when the limit allows, the copy's slack).
    bool Reserve(size_t size) {
        if (size > limit_ - position_)
            return Fail("the data inflates to more than " + std::to_string(limit_ - start_) + " bytes");
        if (position_ + size + kCopyChunk > out_->size()) {
            const size_t wanted = std::max({position_ + size + kCopyChunk, out_->size() * 2, position_ + kMinimumGrowth});
            out_->resize(std::min(wanted, limit_));
        }
        return true;
    }

    bool Stored() {
        reader_.AlignToByte();
        const uint32_t length = reader_.Take(kStoredLengthBits);
        const uint32_t complement = reader_.Take(kStoredLengthBits);
        if (reader_.Overran()) return Fail(kEndsTooSoon);
        if ((length ^ kStoredLengthMask) != complement) return Fail("a stored block's length does not match its complement");
        if (!Reserve(length)) return false;
        if (!reader_.TakeBytes(out_->data() + position_, length)) {
            *error_ = kEndsTooSoon;
            return false;
        }
        position_ += length;
        return true;
    }

    bool Dynamic() {
        const size_t literalCount = kFirstLengthSymbol + reader_.Take(kLiteralLengthCountBits);
        const size_t distanceCount = kFewestDistanceCodes + reader_.Take(kDistanceCountBits);
        const size_t lengthCodes = kFewestCodeLengthCodes + reader_.Take(kCodeLengthCountBits);
        if (literalCount > kUsableLiteralLengthSymbols || distanceCount > kUsableDistanceSymbols)
            return Fail("more than " + std::to_string(kUsableLiteralLengthSymbols) + " literal/length or " +
                        std::to_string(kUsableDistanceSymbols) + " distance codes");
        std::array<uint8_t, kCodeLengthSymbols> codeLengths{};
        for (size_t i = 0; i < lengthCodes; ++i) codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(reader_.Take(kCodeLengthLengthBits));
        if (reader_.Overran()) return Fail(kEndsTooSoon);
        HuffmanTable lengthTable;
        if (!BuildTable(codeLengths.data(), kCodeLengthSymbols, kCodeLengths, kCodeLengthRootBits, false, &lengthTable,
                        error_))
            return false;
        std::array<uint8_t, kLiteralLengthSymbols + kDistanceSymbols> lengths{};
        const size_t total = literalCount + distanceCount;
        for (size_t i = 0; i < total;) {
            reader_.Refill();
            const uint32_t entry = Decode(lengthTable, &reader_);
            if (EntryKind(entry) != kLiteral) return Fail("an unused code length code");
            const unsigned symbol = EntryValue(entry);
            if (symbol < kRepeatPrevious) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t repeated = 0;
            size_t times = 0;
            if (symbol == kRepeatPrevious) {
                if (i == 0) return Fail("a code length repeats before the first one");
                repeated = lengths[i - 1];
                times = kRepeatPreviousFewest + reader_.Take(kRepeatPreviousBits);
            } else if (symbol == kRepeatZeroShort) {
                times = kRepeatZeroShortFewest + reader_.Take(kRepeatZeroShortBits);
            } else {
                times = kRepeatZeroLongFewest + reader_.Take(kRepeatZeroLongBits);
            }
            if (times > total - i) return Fail("code lengths repeat past the end");
            std::fill_n(lengths.begin() + i, times, repeated);
            i += times;
        }
        if (reader_.Overran()) return Fail(kEndsTooSoon);
        if (lengths[kEndOfBlock] == 0) return Fail("no end-of-block code");
        HuffmanTable literalTable, distanceTable;
        return BuildTable(lengths.data(), literalCount, kLiteralLengths, kLiteralLengthRootBits, false, &literalTable,
                          error_) &&
               BuildTable(lengths.data() + literalCount, distanceCount, kDistances, kDistanceRootBits, true,
                          &distanceTable, error_) &&
               Codes(literalTable, distanceTable);
    }

    // The literals and matches of a Huffman block, up to its end-of-block code. One refill
    // covers a symbol and its match: 15 + 5 bits of length, 15 + 13 of distance. The reader
    // and the output position live in locals here: a byte stored through a pointer could
    // alias the members, which would keep them out of registers.
    bool Codes(const HuffmanTable& literalLengths, const HuffmanTable& distances) {
        BitReader reader = reader_;
        size_t position = position_;
        uint8_t* out = out_->data();
        size_t room = out_->size();
        const auto leave = [&](bool result) {
            reader_ = reader;
            position_ = position;
            return result;
        };
        const auto fail = [&](const std::string& message) { return leave(false) || Fail(message); };
        const auto reserve = [&](size_t size) {
            reader_ = reader;
            position_ = position;
            if (!Reserve(size)) return false;
            out = out_->data();
            room = out_->size();
            return true;
        };
        for (;;) {
            if (!reader.Refill()) return fail(kEndsTooSoon);
            uint32_t entry = Decode(literalLengths, &reader);
            if (EntryKind(entry) == kLiteral) {
                if (position == room && !reserve(1)) return leave(false);
                out[position++] = static_cast<uint8_t>(EntryValue(entry));
                continue;
            }
            if (EntryKind(entry) == kEndOfBlockKind) return reader.Overran() ? fail(kEndsTooSoon) : leave(true);
            if (EntryKind(entry) != kBase) return fail(Invalid("literal/length", entry));
            const size_t length = EntryValue(entry) + reader.Take(EntryExtra(entry));
            entry = Decode(distances, &reader);
            if (EntryKind(entry) != kBase) return fail(Invalid("distance", entry));
            const size_t distance = EntryValue(entry) + reader.Take(EntryExtra(entry));
            if (distance > position - floor_)
                return fail("a distance of " + std::to_string(distance) + " reaches before the " +
                            std::to_string(position - floor_) + " bytes available");
            if (length + kCopyChunk > room - position && !reserve(length)) return leave(false);
            Copy(out + position, distance, length, room - position - length >= kCopyChunk);
            position += length;
        }
    }

    static std::string Invalid(const char* alphabet, uint32_t entry) {
        if (EntryKind(entry) == kNoSymbol)
            return std::string(alphabet) + " code " + std::to_string(EntryValue(entry)) + ", which stands for nothing";
        return std::string("an unused ") + alphabet + " code";
    }

    // The `length` bytes that start `distance` bytes before `to`, which may overlap them.
    // With `slack`, up to eight bytes after the copy may be overwritten.
    static void Copy(uint8_t* to, size_t distance, size_t length, bool slack) {
        const uint8_t* from = to - distance;
        if (distance >= kCopyChunk && slack) {
            for (size_t i = 0; i < length; i += kCopyChunk) std::memcpy(to + i, from + i, kCopyChunk);
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            for (size_t i = 0; i < length; ++i) to[i] = from[i];
        }
    }

    BitReader reader_;
    std::vector<uint8_t>* out_;
    std::string* error_;
    const size_t start_;
    const size_t floor_;
    const size_t limit_;
    size_t position_;
};

}  // namespace

bool InflateRaw(const uint8_t* data, size_t size, std::vector<uint8_t>* out, size_t window, size_t maxOut,
                DeflateEnd end, std::string* error) {
    return Inflater(data, size, out, window, maxOut, error).Run(end);
}

}  // namespace platform
