// resgen OUTDIR: writes every data file the demo programs read into OUTDIR (the build writes
// build/Resource). The output is the same, byte for byte, on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/bspc/bsp_files.h"
#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/dds_writer.h"
#include "tools/resgen/landscapes.h"
#include "tools/resgen/md2_characters.h"
#include "tools/resgen/mouse_model.h"
#include "tools/resgen/scenery_models.h"
#include "tools/resgen/sky_pictures.h"
#include "tools/resgen/tree_model.h"
#include "tools/resgen/village.h"
#include "tools/resgen/snow_textures.h"
#include "tools/resgen/water_texture.h"

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

bool WriteSnowFiles(const std::string& folder) {
    // flurry: the point-sprite texture of every flake.
    const bool flake = resgen::WriteArgbDds(folder + "/snowflake.dds", 64, 64, resgen::MakeSnowflake(64));
    // flurry: the terrain texture, snow repeated every ten terrain samples.
    const bool ground = resgen::WriteColourBitmap(folder + "/blank.bmp", 256, 256, resgen::MakeSnowGround(256));
    return flake && ground;
}

bool WriteWaterFiles(const std::string& folder) {
    // drizzle: the water surface's texture, stretched once over the whole grid.
    return resgen::WriteColourBitmap(folder + "/water.bmp", 256, 256, resgen::MakeWaterTexture(256));
}

bool WriteMouseFiles(const std::string& folder) {
    // halfspace: the mouse mesh with its textures, and its BSP tree in the pose the program
    // draws it, built by the same code as bspc.
    if (!resgen::WriteMouseFiles(folder)) return false;
    const MeshPose pose{resgen::kMouseScale, resgen::kMouseTurn};
    return BuildBspFile(folder + "/mouse.x", folder + "/mouse.bsp", pose).has_value();
}

bool WriteSceneFiles(const std::string& folder) {
    // landscaper: the objects, the tree, the sky, the scene files with the map and the
    // minimap's pictures, and last the BSP tree of the whole scene as the program loads it.
    return resgen::WriteSceneryModels(folder) && resgen::WriteTreeFiles(folder) &&
           resgen::WriteSkyPictures(folder) && resgen::WriteVillageFiles(folder) && resgen::WriteVillageTree(folder);
}

bool WriteCharacterFiles(const std::string& folder) {
    // glasshall: nine animated characters, MD2Model/FOLDER/NAME.md2 with NAME.bmp skins.
    return resgen::WriteMd2Characters(folder);
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
    if (!WriteTerrainFiles(folder) || !WriteSnowFiles(folder) || !WriteWaterFiles(folder) ||
        !WriteMouseFiles(folder) || !WriteCharacterFiles(folder) || !WriteSceneFiles(folder)) {
        std::fprintf(stderr, "resgen: %s is incomplete: the file above could not be made\n", folder.c_str());
        return 1;
    }
    return 0;
}
