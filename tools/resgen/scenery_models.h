// landscaper's scenery: the X files of the objects that stand in the village (a house, a
// well, two rocks, a fence, a cart, a haystack, a barrel) with their textures, in a folder
// of their own below the resource folder.
#pragma once

#include <string>
#include <vector>

namespace resgen {

// The folder below the resource folder, as the scene file names it, and on disk.
constexpr const char* kSceneryFolder = "Scenery";

struct SceneryPlacement {
    const char* file;  // in the scenery folder
    float size;
    float x, z;  // where it stands on the ground
};

// The objects of the generated scene, in the order the scene file lists them.
const std::vector<SceneryPlacement>& SceneryPlacements();

// Writes every object's .x file and texture into folder/Scenery.
bool WriteSceneryModels(const std::string& folder);

}  // namespace resgen
