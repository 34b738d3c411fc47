// Reads arbitrary bytes as the terrain's heightmap file. Message boxes go to a listener that
// ignores them; a grid that is accepted must match its declared size and hold finite normals.
#include "terrain/heightmap.h"

#include <host.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string& TempPath() {
    static const std::string path = "/tmp/heightmap_fuzz_" + std::to_string(getpid()) + ".bmp";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
    GridScale = 8;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* out = std::fopen(TempPath().c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
    std::wstring path(TempPath().begin(), TempPath().end());
    if (ReadHeightmap(path.c_str())) {
        if (GridWidth <= 0 || GridHeight <= 0 || GridWidth * GridHeight > MaxGridSamples) std::abort();
        if (TerrainVertices.size() != static_cast<size_t>(GridWidth) * GridHeight) std::abort();
        if (SplitFlags.size() != TerrainVertices.size()) std::abort();
        for (const TerrainVertex& v : TerrainVertices) {
            if (!std::isfinite(v.normal.x) || !std::isfinite(v.normal.y) || !std::isfinite(v.normal.z)) std::abort();
        }
    } else if (GridWidth != 0 || GridHeight != 0 || !TerrainVertices.empty()) {
        std::abort();
    }
    return 0;
}
