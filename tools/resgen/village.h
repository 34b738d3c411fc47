// landscaper's scene around its objects: the two scene files (3DResource.ini, tree.ini), the
// ground's map picture MASK.BMP that matches where things stand, the minimap's frame and
// heading marker (V-1-1.dds, cur.dds), and ini.bsp, the BSP tree of the whole scene.
#pragma once

#include <string>

namespace resgen {

// The scene files, the map and the minimap pictures.
bool WriteVillageFiles(const std::string& folder);
// ini.bsp from the scene's triangles in the order the program gathers them; needs every
// other file of the scene in the folder.
bool WriteVillageTree(const std::string& folder);

}  // namespace resgen
