// Raw DEFLATE data (RFC 1951) inflated with the project's own reader, so that builds which may
// only use the project's code (the browser's) read compressed files too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Where the data may end. A compressed X file's blocks are flushed rather than final: each
// one's data stops after a complete deflate block whose final bit is clear.
enum class DeflateEnd {
    AfterFinalBlock,  // only after the block marked final
    AfterAnyBlock,    // also where the data runs out just after a complete block
};

// Inflates `size` bytes of raw deflate data and appends the result to *out. Back-references
// may reach into the last `window` bytes that *out held before the call, never further. At
// most `maxOut` bytes are appended. On failure *error says why and *out holds what was there
// before plus whatever had been inflated by then.
bool InflateRaw(const uint8_t* data, size_t size, std::vector<uint8_t>* out, size_t window, size_t maxOut,
                DeflateEnd end, std::string* error);

}  // namespace platform
