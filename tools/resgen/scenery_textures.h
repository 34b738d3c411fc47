// Textures of landscaper's scenery objects: r, g, b per pixel, top row first, `size` square.
#pragma once

#include <cstdint>
#include <vector>

namespace resgen {

// Whitewashed plaster under a timber frame with two shuttered windows; the front has a door.
std::vector<uint8_t> MakeHouseWall(int size, bool front);
std::vector<uint8_t> MakeRoofTiles(int size);
std::vector<uint8_t> MakeStoneWall(int size);
std::vector<uint8_t> MakePlanks(int size);
std::vector<uint8_t> MakeRock(int size);
// A wooden wheel seen from the side: rim, spokes and hub.
std::vector<uint8_t> MakeWheel(int size);
std::vector<uint8_t> MakeHay(int size);
std::vector<uint8_t> MakeBarrelStaves(int size);

}  // namespace resgen
