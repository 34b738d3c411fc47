#include "tests/md2/md2_test_files.h"

#include <cstring>
#include <fstream>

namespace md2_test {

namespace {

void PutFloat(std::vector<uint8_t>* bytes, float value) {
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutInt(bytes, bytes->size(), bits);
}

}  // namespace

void PutInt(std::vector<uint8_t>* bytes, size_t offset, int32_t value) {
    if (bytes->size() < offset + 4) bytes->resize(offset + 4);
    for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<uint8_t>(uint32_t(value) >> (8 * i));
}

std::vector<int32_t> Commands(std::initializer_list<Command> commands) {
    std::vector<int32_t> words;
    for (const Command& command : commands) {
        words.push_back(command.count);
        for (const CommandVertex& v : command.vertices) {
            int32_t s, t;
            std::memcpy(&s, &v.s, 4);
            std::memcpy(&t, &v.t, 4);
            words.insert(words.end(), {s, t, v.index});
        }
    }
    words.push_back(0);
    return words;
}

std::vector<uint8_t> Bytes(const Model& model) {
    const int32_t vertexCount = model.frames.empty() ? 0 : int32_t(model.frames[0].vertices.size());
    const int32_t frameSize = 40 + 4 * vertexCount + model.extraFrameBytes;
    const int32_t frameCount = int32_t(model.frames.size());
    const int32_t skinOffset = 68, frameOffset = skinOffset + 64;
    const int32_t commandOffset = frameOffset + frameSize * frameCount;
    const int32_t commandWords = int32_t(model.commandWords.size());
    const int32_t end = commandOffset + 4 * commandWords;
    std::vector<uint8_t> bytes;
    const int32_t header[17] = {0x32504449, model.version, 64, 64, frameSize, 1, vertexCount, 0, 0, commandWords,
                                frameCount, skinOffset, frameOffset, frameOffset, frameOffset, commandOffset, end};
    for (int32_t value : header) PutInt(&bytes, bytes.size(), value);
    bytes.resize(bytes.size() + 64, 0);  // the skin name
    for (const Frame& frame : model.frames) {
        for (float value : frame.scale) PutFloat(&bytes, value);
        for (float value : frame.translate) PutFloat(&bytes, value);
        bytes.resize(bytes.size() + 16, 0);  // the frame name
        for (const PackedVertex& v : frame.vertices) bytes.insert(bytes.end(), {v.x, v.y, v.z, v.normal});
        bytes.resize(bytes.size() + size_t(model.extraFrameBytes), 0);
    }
    for (int32_t word : model.commandWords) PutInt(&bytes, bytes.size(), word);
    return bytes;
}

Model Triangle(int frames) {
    Model model;
    for (int f = 0; f < frames; ++f) {
        Frame frame;
        for (int i = 0; i < 3; ++i) frame.vertices.push_back({uint8_t(i), uint8_t(f), 0, 5});
        model.frames.push_back(frame);
    }
    model.commandWords = Commands({{3, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}}}});
    return model;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace md2_test
