// Whole-file reads and replacements that are safe against what a path may turn out to be:
// only regular files are opened (a FIFO or a device is never opened, so nothing blocks),
// reads stop at a size cap, and a replacement reaches the file all at once or not at all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

struct RegularFileContents {
    enum class Status { Read, Missing, NotRegular, TooLarge, Failed };
    Status status = Status::Failed;
    int error = 0;      // the errno behind Missing and Failed
    std::string bytes;  // when Read
};

// The bytes of the regular file at `path` (a path of this system, already resolved), when
// it holds at most `maxBytes`.
RegularFileContents ReadRegularFile(const std::string& path, size_t maxBytes);

// Replaces the contents of the file at `path` with `bytes`, or creates it: the bytes go to a
// new file beside it, which is flushed to disk and then renamed over it, so a failure at any
// step leaves the old file as it was. An existing file keeps its permissions; a symbolic link
// keeps pointing at the file it names, whose contents are replaced. Returns 0 or an errno
// value (EISDIR when `path` is a directory, EINVAL when it is another kind of non-file).
int ReplaceRegularFile(const std::string& path, std::string_view bytes);

}  // namespace platform
