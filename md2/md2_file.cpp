#include "md2/md2_file.h"

#include <cstring>
#include <new>

#include "md2/md2_format.h"
#include "md2/md2_normals.h"

namespace {

int32_t ReadInt(const unsigned char* bytes) {
    return static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                uint32_t(bytes[3]) << 24);
}

float ReadFloat(const unsigned char* bytes) {
    const int32_t bits = ReadInt(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The header fields the loader uses, and the file's length to check them against.
struct Header {
    int32_t frameSize, vertexCount, commandWords, frameCount, frameOffset, commandOffset;
};

// Seeks to the end to learn the length; -1 when the file cannot be measured.
long long FileLength(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

bool ReadHeader(FILE* file, Header* header) {
    unsigned char bytes[md2::HeaderSize];
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return false;
    if (ReadInt(bytes + md2::MagicField) != md2::FileMagic) return false;
    if (ReadInt(bytes + md2::VersionField) != md2::FileVersion) return false;
    header->frameSize = ReadInt(bytes + md2::FrameSizeField);
    header->vertexCount = ReadInt(bytes + md2::VertexCountField);
    header->commandWords = ReadInt(bytes + md2::CommandWordsField);
    header->frameCount = ReadInt(bytes + md2::FrameCountField);
    header->frameOffset = ReadInt(bytes + md2::FrameOffsetField);
    header->commandOffset = ReadInt(bytes + md2::CommandOffsetField);
    return true;
}

// Every block the header points at must lie inside the file, and each frame record must hold
// its vertices; so nothing allocated below can exceed a few times the file's own length.
bool FitsInFile(const Header& header, long long fileLength) {
    if (header.vertexCount <= 0 || header.frameCount <= 0 || header.commandWords <= 0) return false;
    if (header.vertexCount > md2::MaxVertices || header.frameCount > md2::MaxFrames ||
        header.commandWords > md2::MaxCommandWords) {
        return false;
    }
    const long long vertexBytes = static_cast<long long>(header.vertexCount) * md2::PackedVertexSize;
    // A frame record holds its header and vertices, with padding up to the largest record.
    if (header.frameSize < md2::FrameHeaderSize + vertexBytes ||
        header.frameSize > md2::FrameHeaderSize + md2::MaxVertices * md2::PackedVertexSize) {
        return false;
    }
    const long long frameBytes = static_cast<long long>(header.frameSize) * header.frameCount;
    const long long commandBytes = static_cast<long long>(header.commandWords) * md2::CommandWordSize;
    return header.frameOffset >= 0 && header.frameOffset + frameBytes <= fileLength && header.commandOffset >= 0 &&
           header.commandOffset + commandBytes <= fileLength;
}

bool ReadBlock(FILE* file, long offset, void* destination, size_t bytes) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(destination, 1, bytes, file) == bytes;
}

// Decodes every frame's packed vertices; false at a normal index outside the table.
bool DecodeFrames(const std::vector<unsigned char>& records, const Header& header, float scale,
                  std::vector<Md2FrameVertex>* vertices) {
    vertices->resize(static_cast<size_t>(header.frameCount) * header.vertexCount);
    Md2FrameVertex* out = vertices->data();
    for (int frame = 0; frame < header.frameCount; ++frame) {
        const unsigned char* record = records.data() + static_cast<size_t>(frame) * header.frameSize;
        float s[3], t[3];
        for (int axis = 0; axis < 3; ++axis) {
            s[axis] = ReadFloat(record + md2::FrameScaleOffset + 4 * axis);
            t[axis] = ReadFloat(record + md2::FrameTranslationOffset + 4 * axis);
        }
        const unsigned char* packed = record + md2::FrameHeaderSize;
        for (int i = 0; i < header.vertexCount; ++i, packed += md2::PackedVertexSize, ++out) {
            if (packed[3] >= md2::NormalCount) return false;
            // Each coordinate is first a float in the file's units, then scaled.
            const float fileX = packed[0] * s[0] + t[0];
            const float fileY = packed[1] * s[1] + t[1];
            const float fileZ = packed[2] * s[2] + t[2];
            out->x = fileX * scale;
            out->y = fileZ * scale;
            out->z = fileY * scale;
            out->normalIndex = packed[3];
        }
    }
    return true;
}

bool ReadValidGeometry(FILE* file, float scale, Md2Geometry* geometry) {
    const long long fileLength = FileLength(file);
    Header header;
    if (fileLength < 0 || !ReadHeader(file, &header) || !FitsInFile(header, fileLength)) return false;

    std::vector<unsigned char> records(static_cast<size_t>(header.frameSize) * header.frameCount);
    if (!ReadBlock(file, header.frameOffset, records.data(), records.size())) return false;
    Md2Geometry read;
    if (!DecodeFrames(records, header, scale, &read.frameVertices)) return false;

    read.commands.resize(static_cast<size_t>(header.commandWords));
    if (!ReadBlock(file, header.commandOffset, read.commands.data(), read.commands.size() * md2::CommandWordSize))
        return false;
    for (int32_t& word : read.commands) word = ReadInt(reinterpret_cast<const unsigned char*>(&word));
    if (!IsValidCommandList(read.commands.data(), read.commands.size(), header.vertexCount)) return false;

    read.frameCount = header.frameCount;
    read.vertexCount = header.vertexCount;
    read.frameSize = header.frameSize;
    *geometry = std::move(read);
    return true;
}

}  // namespace

bool ReadMd2Geometry(FILE* file, float scale, Md2Geometry* geometry) {
    if (file == nullptr || geometry == nullptr) return false;
    try {
        return ReadValidGeometry(file, scale, geometry);
    } catch (const std::bad_alloc&) {
        return false;  // a file that fits in memory on disk but not once decoded
    }
}

bool IsValidCommandList(const int32_t* words, size_t wordCount, int vertexCount) {
    size_t word = 0;
    while (word < wordCount) {
        const long long count = words[word++];
        if (count == 0) return true;
        const long long vertices = count < 0 ? -count : count;
        if (vertices > vertexCount) return false;
        if (static_cast<unsigned long long>(vertices) * md2::WordsPerCommandVertex > wordCount - word) return false;
        for (long long k = 0; k < vertices; ++k, word += md2::WordsPerCommandVertex) {
            const int32_t index = words[word + 2];
            if (index < 0 || index >= vertexCount) return false;
        }
    }
    return false;  // no terminating 0
}
