// Builds the generated MD2 characters: each character's meshes posed frame by frame through
// its animations and stood on glasshall's floor, and its skin. WriteMd2Characters writes them
// as MD2Model/FOLDER/NAME.md2 with NAME.bmp beside each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/resgen/characters.h"
#include "tools/resgen/md2_writer.h"

namespace resgen {

// Where glasshall's models stand, in file units (the program scales by 0.1): on its floor, and
// far enough behind the origin that the camera, which starts there looking into the mirror,
// sees the character in the mirror rather than from inside it, whatever it swings forward.
constexpr float FloorHeight = -25;
constexpr float StandingBehind = -40;

struct CharacterMesh {
    std::string name;
    Md2Content content;
};

struct CharacterFiles {
    std::vector<CharacterMesh> meshes;
    std::vector<uint8_t> skin;  // SkinWidth × SkinHeight RGB, top row first
};

CharacterFiles BuildCharacter(const CharacterSpec& character);

// Writes every character below folder/MD2Model; false when a file could not be written.
bool WriteMd2Characters(const std::string& folder);

}  // namespace resgen
