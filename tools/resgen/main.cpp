// resgen OUTDIR: writes every data file the demo programs read into OUTDIR (the build writes
// build/Resource). The output is the same, byte for byte, on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/landscapes.h"

namespace {

bool WriteTerrainFiles(const std::string& folder) {
    constexpr int MapSize = 256;      // the largest grid whose indices fit 16 bits
    constexpr int TextureSize = 256;
    // relief and flurry: the heightmap, one height per pixel.
    const bool heightmap =
        resgen::WriteGreyBitmap(folder + "/2ter256.bmp", MapSize, MapSize, resgen::MakeHeightmap(MapSize));
    // relief: the ground texture, repeated every ten terrain samples.
    const bool skin = resgen::WriteColourBitmap(folder + "/skin.bmp", TextureSize, TextureSize,
                                                resgen::MakeGroundTexture(TextureSize));
    return heightmap && skin;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen OUTDIR\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "resgen: cannot create %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }
    if (!WriteTerrainFiles(folder)) {
        std::fprintf(stderr, "resgen: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
