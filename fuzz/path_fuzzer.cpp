// The path resolver on arbitrary names, with "..\Resource\" standing for a small tree of
// mixed-case names: it must never throw or crash, must turn every '\' into '/', and resolving
// what it returned must give the same path again.
#include "core/paths.h"

#include <host.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("path_fuzz_" + std::to_string(getpid()));
    fs::create_directories(root / "Resource/Models/Trees");
    fs::create_directories(root / "Resource/sky2");
    for (const char* name : {"Resource/Skin.BMP", "Resource/skin.bmp", "Resource/Models/Tree.X", "Resource/sky2/Up.jpg"})
        std::ofstream(root / name) << name;
    fs::create_symlink(root / "Resource/loop", root / "Resource/loop");
    host::SetResourceFolder((root / "Resource").string());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    if (name.find('\0') != std::string::npos) return 0;  // no C string carries one
    const std::string resolved = platform::ResolvePath(name);
    if (resolved.find('\\') != std::string::npos) std::abort();
    if (platform::ResolvePath(resolved) != resolved) std::abort();
    const std::wstring wide(name.begin(), name.end());
    platform::ResolvePath(wide);
    return 0;
}
