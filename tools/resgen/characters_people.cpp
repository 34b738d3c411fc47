// The human characters: a cyborg girl, a knight, a horned dark lord with a double-bladed
// staff, a man in a flannel shirt and jeans, and a woman in armour with a blade gauntlet.
#include "tools/resgen/characters.h"

#include "md2/animation_ranges.h"

namespace resgen {

namespace {
constexpr Rgb LightSkin{238, 200, 175};
constexpr Rgb WarmSkin{224, 172, 140};
}  // namespace

CharacterSpec MakeAlita() {
    CharacterSpec c{"alita3", {"alita3"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {
        .thigh = 12, .shin = 12.5f, .hipWidth = 3.5f, .torso = 16, .shoulderWidth = 6.5f, .upperArm = 9, .forearm = 8.5f};
    enum { Face, Hair, Top, Heart, Cyborg, Shorts, Legs, Boots, Skin };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::Face, LightSkin, {110, 65, 35}, {58, 34, 24}}},
        {Cells(2, 0), {Pattern::Plain, {58, 34, 24}}},
        {Cells(3, 0), {Pattern::Cloth, {38, 44, 72}}},
        {Cells(4, 0), {Pattern::Emblem, {38, 44, 72}, {205, 40, 60}}},
        {Cells(5, 0), {Pattern::Plates, {200, 205, 218}, {90, 96, 112}}},
        {Cells(6, 0), {Pattern::Cloth, {30, 30, 40}}},
        {Cells(7, 0), {Pattern::Plates, {172, 178, 194}, {62, 62, 78}}},
        {Cells(2, 1), {Pattern::Metal, {80, 86, 102}}},
        {Cells(3, 1), {Pattern::Plain, LightSkin}},
    };
    const BodyBuild build{.head = {5.0f, 6.0f, 5.0f}, .chestDepth = 3.8f, .arm = 1.5f, .leg = 2.3f};
    AddHumanoidBody(&c, {Face, Skin, Heart, Top, Shorts, Cyborg, Cyborg, Cyborg, Cyborg, Legs, Boots, Boots}, build);
    // A bob of hair round the back of the head, leaving the face free.
    c.parts.push_back(Ball(Head, {-1.4f, 6.0f, 0}, {4.6f, 5.8f, 5.5f}, Hair, 10, 6));
    return c;
}

CharacterSpec MakeKnight() {
    CharacterSpec c{"ddz", {"ddz"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {.hipWidth = 4.5f, .torso = 18, .shoulderWidth = 9, .upperArm = 10, .forearm = 9};
    const Proportions& p = c.proportions;
    enum { Helmet, Plume, Armour, Tabard, Shield, Blade, Hilt, Mail };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::Helmet, {172, 176, 188}}},
        {Cells(2, 0), {Pattern::Plain, {200, 30, 30}}},
        {Cells(3, 0), {Pattern::Plates, {162, 166, 178}, {70, 72, 80}}},
        {Cells(4, 0), {Pattern::Emblem, {40, 60, 150}, {232, 190, 50}}},
        {Cells(5, 0), {Pattern::Emblem, {170, 30, 35}, {232, 190, 50}}},
        {Cells(6, 0), {Pattern::Metal, {222, 226, 236}}},
        {Cells(7, 0), {Pattern::Metal, {130, 90, 35}}},
        {Cells(2, 1), {Pattern::Scales, {140, 140, 150}, {70, 70, 80}}},
    };
    const BodyBuild build{.head = {5.0f, 5.8f, 5.0f}, .chestDepth = 5.0f, .arm = 2.0f, .leg = 2.8f};
    AddHumanoidBody(&c, {Helmet, Mail, Tabard, Tabard, Armour, Armour, Mail, Armour, Armour, Mail, Armour, Armour},
                    build);
    c.parts.push_back(Tilted(Tube(Head, {-1.5f, 11, 0}, 1.2f, 3, Plume, 0.4f), {0, 0, 35}));
    for (int shoulder : {LeftShoulder, RightShoulder})
        c.parts.push_back(Ball(shoulder, {0, 0.5f, 0}, {3.6f, 3, 3.6f}, Armour));
    // The sword lies along +x in the right hand; the shield is strapped to the left forearm.
    c.parts.push_back(Tilted(Tube(RightHand, {0.5f, -1.6f, 0}, 0.7f, 2, Hilt), {0, 0, 90}));
    c.parts.push_back(Box(RightHand, {2.8f, -1.6f, 0}, {0.5f, 0.6f, 3.2f}, Hilt));
    c.parts.push_back(Box(RightHand, {12.5f, -1.6f, 0}, {9.2f, 0.3f, 1.0f}, Blade));
    c.parts.push_back(Ball(RightHand, {-1.9f, -1.6f, 0}, {0.9f, 0.9f, 0.9f}, Hilt, 6, 4));
    c.parts.push_back(Box(LeftElbow, {0.5f, -p.forearm * 0.55f, 2.6f}, {6.0f, 7.0f, 0.6f}, Shield));
    return c;
}

CharacterSpec MakeSithLord() {
    CharacterSpec c{"lordmaul", {"lordmaul", "weapon"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {
        .thigh = 12.5f, .shin = 12.5f, .hipWidth = 4, .torso = 18, .shoulderWidth = 8, .upperArm = 10, .forearm = 9.5f};
    enum { Mask, Robe, Tunic, Horn, Hilt, Blade, Gloves };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::Mask, {192, 32, 30}, {22, 16, 16}, {245, 205, 40}}},
        {Cells(2, 0), {Pattern::Cloth, {26, 22, 26}}},
        {Cells(3, 0), {Pattern::Cloth, {48, 42, 46}}},
        {Cells(4, 0), {Pattern::Plain, {222, 204, 164}}},
        {Cells(5, 0), {Pattern::Plates, {88, 88, 94}, {28, 28, 30}}},
        {Cells(6, 0), {Pattern::Glow, {235, 32, 32}}},
        {Cells(7, 0), {Pattern::Plain, {32, 28, 32}}},
    };
    const BodyBuild build{.head = {4.6f, 5.6f, 4.6f}, .chestDepth = 4.6f, .arm = 1.9f, .leg = 2.6f};
    AddHumanoidBody(&c, {Mask, Robe, Tunic, Robe, Robe, Robe, Robe, Robe, Gloves, Robe, Robe, Gloves}, build);
    // A crown of short horns, and the robe's skirt flaring from the belt.
    const Vec3 horns[] = {{1.5f, 10.2f, 1.8f}, {1.5f, 10.2f, -1.8f}, {-0.8f, 10.8f, 0}, {0.2f, 9.6f, 3.6f},
                          {0.2f, 9.6f, -3.6f}, {-2.6f, 9.8f, 2.2f}, {-2.6f, 9.8f, -2.2f}};
    for (const Vec3& horn : horns) c.parts.push_back(Tube(Head, horn, 0.55f, 1.1f, Horn, 0.15f));
    PartSpec skirt = Tube(Pelvis, {-0.5f, -8, 0}, 6.0f, 8, Robe, 0.7f);
    skirt.size.z = 7.5f;
    skirt.segments = 12;
    c.parts.push_back(skirt);
    // The weapon is a mesh of its own: a long hilt with a glowing blade at each end.
    c.parts.push_back(OnMesh(Tilted(Tube(RightHand, {0.4f, -1.6f, 0}, 0.75f, 6, Hilt), {0, 0, 90}), 1));
    c.parts.push_back(OnMesh(Tilted(Tube(RightHand, {15.2f, -1.6f, 0}, 0.65f, 9, Blade, 0.5f), {0, 0, -90}), 1));
    c.parts.push_back(OnMesh(Tilted(Tube(RightHand, {-14.4f, -1.6f, 0}, 0.65f, 9, Blade, 0.5f), {0, 0, 90}), 1));
    return c;
}

// The one character with a frame fewer than the full set, as many real MD2 characters are:
// its last animation falls back to standing.
CharacterSpec MakeMan() {
    CharacterSpec c{"man", {"man"}, FullAnimationFrames - 1, {}, {}, {}, {}};
    enum { Face, Shirt, Jeans, Skin, Shoes, Belt };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::Face, WarmSkin, {70, 50, 30}, {62, 40, 24}}},
        {Cells(2, 0), {Pattern::Checks, {172, 42, 40}, {70, 30, 30}, {226, 196, 186}}},
        {Cells(3, 0), {Pattern::Cloth, {62, 82, 134}}},
        {Cells(4, 0), {Pattern::Plain, WarmSkin}},
        {Cells(5, 0), {Pattern::Plain, {92, 56, 30}}},
        {Cells(6, 0), {Pattern::Plain, {60, 40, 28}}},
    };
    AddHumanoidBody(&c, {Face, Skin, Shirt, Shirt, Jeans, Shirt, Shirt, Skin, Skin, Jeans, Jeans, Shoes}, BodyBuild{});
    // A belt round the top of the jeans.
    PartSpec belt = Tube(Pelvis, {0, 2.6f, 0}, 4.0f, 0.9f, Belt);
    belt.size.z = c.proportions.hipWidth + 2.4f;
    c.parts.push_back(belt);
    return c;
}

CharacterSpec MakeWitchblade() {
    CharacterSpec c{"witchblade", {"witchblade"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {
        .thigh = 13, .shin = 13, .hipWidth = 3.8f, .torso = 17, .shoulderWidth = 6.8f, .upperArm = 9.5f, .forearm = 9};
    const Proportions& p = c.proportions;
    enum { Face, Armour, Gold, Blade, Skin, Boots, Hair };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::LongHair, {235, 196, 172}, {40, 110, 70}, {22, 16, 18}}},
        {Cells(2, 0), {Pattern::Plates, {124, 22, 28}, {42, 10, 12}}},
        {Cells(3, 0), {Pattern::Metal, {206, 164, 64}}},
        {Cells(4, 0), {Pattern::Metal, {214, 218, 228}}},
        {Cells(5, 0), {Pattern::Plain, {235, 196, 172}}},
        {Cells(6, 0), {Pattern::Plates, {64, 22, 28}, {20, 8, 10}}},
        {Cells(7, 0), {Pattern::Plain, {22, 16, 18}}},
    };
    const BodyBuild build{.head = {4.4f, 5.4f, 4.4f}, .chestDepth = 3.9f, .arm = 1.5f, .leg = 2.3f};
    AddHumanoidBody(&c, {Face, Skin, Armour, Armour, Armour, Gold, Skin, Armour, Skin, Skin, Boots, Boots}, build);
    // Long hair down the back, the gauntlet and its blade along the right forearm.
    PartSpec hair = Tube(Head, {-2.6f, 1.0f, 0}, 2.6f, 8.5f, Hair, 1.35f);
    hair.size.z = 3.6f;
    c.parts.push_back(hair);
    c.parts.push_back(Tube(RightElbow, {0, -p.forearm / 2, 0}, 1.75f, p.forearm / 2 - 0.5f, Gold, 1.1f));
    c.parts.push_back(Box(RightElbow, {0.8f, -p.forearm - 5, -1.2f}, {0.35f, 9, 1.1f}, Blade));
    for (int shoulder : {LeftShoulder, RightShoulder})
        c.parts.push_back(Ball(shoulder, {0, 0.6f, 0}, {2.7f, 2.3f, 2.9f}, Gold));
    return c;
}

}  // namespace resgen
