// What the fuzz targets share: a check that stops the run where an invariant breaks, and a
// scratch folder of the target's own in memory for the files it writes, removed at exit.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

inline void Require(bool condition, unsigned line = __builtin_LINE()) {
    if (condition) return;
    std::fprintf(stderr, "invariant broken at line %u\n", line);
    std::abort();
}

// /dev/shm/NAME_PID, made on first use. Looking a name up there (paths match without regard
// to case) stays cheap, as each run writes its file anew.
inline const std::string& ScratchFolder(const char* name) {
    // Never destroyed, so the handler that removes the folder at exit can still read it.
    static const std::string* folder = [name] {
        auto* path = new std::string("/dev/shm/" + std::string(name) + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(*path);
        std::atexit([] { std::filesystem::remove_all(*folder); });
        return path;
    }();
    return *folder;
}

}  // namespace fuzz
