// Reading MD2 files: the decoding of packed vertices, and the rejection of every file whose
// counts, offsets or command list do not hold together, without reading past what it holds.
#include "md2/md2_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "tests/md2/md2_test_files.h"

namespace {

using namespace md2_test;

// Reads the bytes as a file; the geometry is left as the reader leaves it.
bool Read(const std::vector<uint8_t>& bytes, Md2Geometry* geometry, float scale = 0.1f) {
    FILE* file = std::tmpfile();
    if (file == nullptr) return false;
    // An empty vector's data() may be null, which fwrite must not be given.
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    const bool read = ReadMd2Geometry(file, scale, geometry);
    std::fclose(file);
    return read;
}

bool Accepted(const std::vector<uint8_t>& bytes) {
    Md2Geometry geometry;
    return Read(bytes, &geometry);
}

TEST(Md2File, DecodesScaledPositionsWithTheThirdAxisUp) {
    Model model;
    Frame frame;
    frame.vertices = {{10, 20, 30, 161}};
    Frame moved;
    moved.scale[0] = 2, moved.scale[1] = 0.5f, moved.scale[2] = 4;
    moved.translate[0] = -1, moved.translate[1] = 3, moved.translate[2] = 10;
    moved.vertices = {{10, 20, 30, 0}};
    model.frames = {frame, moved};
    model.commandWords = Commands({});
    Md2Geometry geometry;
    ASSERT_TRUE(Read(Bytes(model), &geometry));
    ASSERT_EQ(geometry.frameVertices.size(), 2u);
    const Md2FrameVertex& v = geometry.frameVertices[0];
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_FLOAT_EQ(v.y, 3.0f);
    EXPECT_FLOAT_EQ(v.z, 2.0f);
    EXPECT_EQ(v.normalIndex, 161);
    // x = 10 * 2 - 1 = 19, up = 30 * 4 + 10 = 130, z = 20 * 0.5 + 3 = 13; then * 0.1.
    const Md2FrameVertex& w = geometry.frameVertices[1];
    EXPECT_FLOAT_EQ(w.x, 1.9f);
    EXPECT_FLOAT_EQ(w.y, 13.0f);
    EXPECT_FLOAT_EQ(w.z, 1.3f);
    EXPECT_EQ(geometry.frameCount, 2);
    EXPECT_EQ(geometry.vertexCount, 1);
    EXPECT_EQ(geometry.frameSize, 44);
    EXPECT_EQ(geometry.commands, std::vector<int32_t>{0});
}

TEST(Md2File, KeepsTheCommandListAsStoredAndHonoursPaddedFrames) {
    Model model = Triangle(3);
    model.extraFrameBytes = 12;  // some exporters pad frame records
    model.frames[2].vertices[1] = {200, 7, 9, 42};
    Md2Geometry geometry;
    ASSERT_TRUE(Read(Bytes(model), &geometry, 1.0f));
    EXPECT_EQ(geometry.frameSize, 64);
    EXPECT_EQ(geometry.commands, model.commandWords);
    const Md2FrameVertex& v = geometry.frameVertices[2 * 3 + 1];
    EXPECT_FLOAT_EQ(v.x, 200);
    EXPECT_FLOAT_EQ(v.y, 9);
    EXPECT_FLOAT_EQ(v.z, 7);
    EXPECT_EQ(v.normalIndex, 42);
}

TEST(Md2File, RejectsOtherVersionsAndMagic) {
    Model model = Triangle(1);
    EXPECT_TRUE(Accepted(Bytes(model)));
    model.version = 7;
    EXPECT_FALSE(Accepted(Bytes(model)));
    model.version = 8;
    std::vector<uint8_t> bytes = Bytes(model);
    bytes[3] = '3';  // "IDP3", a later format
    EXPECT_FALSE(Accepted(bytes));
}

TEST(Md2File, RejectsFilesCutShort) {
    const std::vector<uint8_t> bytes = Bytes(Triangle(2));
    for (size_t length : {size_t(0), size_t(40), size_t(67), size_t(68), size_t(150), bytes.size() - 1}) {
        EXPECT_FALSE(Accepted(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(length)))) << length;
    }
}

TEST(Md2File, RejectsBlocksOutsideTheFile) {
    const std::vector<uint8_t> good = Bytes(Triangle(2));
    struct Patch {
        size_t offset;
        int32_t value;
        const char* what;
    };
    const Patch patches[] = {
        {56, -4, "frames before the start"},
        {56, int32_t(good.size()), "frames past the end"},
        {60, int32_t(good.size()) - 3, "commands past the end"},
        {60, std::numeric_limits<int32_t>::max(), "commands far past the end"},
        {40, 1000000, "more frames than the file holds"},
        {40, std::numeric_limits<int32_t>::max(), "a frame count whose bytes overflow"},
        {36, 1 << 28, "more command words than the file holds"},
        {16, 40 + 4 * 3 - 1, "a frame smaller than its vertices"},
        {16, std::numeric_limits<int32_t>::min(), "a negative frame size"},
        {24, 1 << 29, "more vertices than a frame holds"},
        {24, 0, "no vertices"},
        {40, 0, "no frames"},
        {36, 0, "no command list"},
    };
    for (const Patch& patch : patches) {
        std::vector<uint8_t> bytes = good;
        PutInt(&bytes, patch.offset, patch.value);
        EXPECT_FALSE(Accepted(bytes)) << patch.what;
    }
}

// Counts that the file's length allows but no MD2 model has (a large file of zeros behind a
// small model holds the blocks): the reader would allocate for them.
TEST(Md2File, RejectsCountsBeyondWhatAModelHolds) {
    std::vector<uint8_t> good = Bytes(Triangle(2));
    constexpr size_t kRoomForEveryBlock = 1 << 20;
    good.resize(kRoomForEveryBlock);
    ASSERT_TRUE(Accepted(good));
    struct Patch {
        std::vector<std::pair<size_t, int32_t>> fields;
        const char* what;
    };
    const Patch patches[] = {
        {{{40, 513}}, "more frames than a model has"},
        {{{24, 2049}, {16, 40 + 4 * 2049}}, "more vertices than a model has"},
        {{{36, 16385}}, "more command words than a model has"},
        {{{16, 40 + 4 * 2048 + 4}}, "a frame record larger than the largest frame"},
    };
    for (const Patch& patch : patches) {
        std::vector<uint8_t> bytes = good;
        for (const auto& [offset, value] : patch.fields) PutInt(&bytes, offset, value);
        EXPECT_FALSE(Accepted(bytes)) << patch.what;
    }
}

TEST(Md2File, RejectsNormalIndicesOutsideTheTable) {
    Model model = Triangle(1);
    model.frames[0].vertices[2].normal = 161;
    EXPECT_TRUE(Accepted(Bytes(model)));
    model.frames[0].vertices[2].normal = 162;
    EXPECT_FALSE(Accepted(Bytes(model)));
}

TEST(Md2File, RejectsCommandListsThatWouldOverrunTheFrame) {
    Model model = Triangle(1);
    model.commandWords = Commands({{3, {{0, 0, 0}, {0, 0, 1}, {0, 0, 3}}}});
    EXPECT_FALSE(Accepted(Bytes(model))) << "vertex index 3 of 3";
    model.commandWords = Commands({{-3, {{0, 0, 0}, {0, 0, -1}, {0, 0, 2}}}});
    EXPECT_FALSE(Accepted(Bytes(model))) << "negative vertex index";
    model.commandWords = Commands({{4, {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}, {0, 0, 0}}}});
    EXPECT_FALSE(Accepted(Bytes(model))) << "four vertices in a command, three in the frame";
    model.commandWords = Commands({{3, {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}}}});
    model.commandWords.pop_back();
    EXPECT_FALSE(Accepted(Bytes(model))) << "no closing 0";
    model.commandWords = {3, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_FALSE(Accepted(Bytes(model))) << "a command longer than the words left";
    model.commandWords = {std::numeric_limits<int32_t>::min(), 0};
    EXPECT_FALSE(Accepted(Bytes(model))) << "the most negative count";
}

TEST(Md2File, CommandListEndsAtItsFirstZero) {
    const std::vector<int32_t> words = Commands({{-3, {{0, 0, 2}, {0, 0, 1}, {0, 0, 0}}}});
    EXPECT_TRUE(IsValidCommandList(words.data(), words.size(), 3));
    std::vector<int32_t> trailing = words;
    trailing.insert(trailing.end(), {99, -7});  // never read
    EXPECT_TRUE(IsValidCommandList(trailing.data(), trailing.size(), 3));
    EXPECT_FALSE(IsValidCommandList(words.data(), words.size() - 1, 3));
    EXPECT_FALSE(IsValidCommandList(words.data(), 0, 3));
}

}  // namespace
