// The machines and the beast: a boxy robot with a visor, a walking battle pod on bird legs,
// a tall one-eyed giant robot with shoulder pylons, and a small green dinosaur with a saddle.
#include "tools/resgen/characters.h"

#include "md2/animation_ranges.h"

namespace resgen {

CharacterSpec MakeDroid() {
    CharacterSpec c{"droid", {"droid"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {.thigh = 10, .shin = 10, .ankleHeight = 2.4f, .hipWidth = 4, .torso = 18, .shoulderWidth = 10,
                     .neck = 1.5f, .upperArm = 9, .forearm = 9};
    const Proportions& p = c.proportions;
    enum { Visor, Body, Hazard, Joints, Limbs, Lamp, Feet };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::Visor, {192, 192, 198}, {22, 26, 36}, {70, 225, 255}}},
        {Cells(2, 0), {Pattern::Plates, {204, 204, 210}, {92, 92, 98}}},
        {Cells(3, 0), {Pattern::Stripes, {232, 182, 32}, {32, 32, 32}}},
        {Cells(4, 0), {Pattern::Metal, {72, 72, 78}}},
        {Cells(5, 0), {Pattern::Plates, {152, 158, 164}, {62, 62, 68}}},
        {Cells(6, 0), {Pattern::Glow, {255, 64, 40}}},
        {Cells(7, 0), {Pattern::Metal, {62, 62, 68}}},
    };
    std::vector<PartSpec>& parts = c.parts;
    parts.push_back(Box(Head, {0.6f, 5, 0}, {5, 4.5f, 5.5f}, Body, Visor));
    parts.push_back(Tube(Head, {-1, 11.5f, 2.8f}, 0.3f, 2.2f, Joints));
    parts.push_back(Ball(Head, {-1, 14.2f, 2.8f}, {0.9f, 0.9f, 0.9f}, Lamp, 6, 4));
    parts.push_back(Tube(Spine, {0, p.torso + 1, 0}, 1.8f, 1.5f, Joints));
    parts.push_back(Box(Spine, {0, 10.5f, 0}, {5.5f, 7.5f, 8.2f}, Body, Hazard));
    parts.push_back(Box(Pelvis, {0, 0, 0}, {4, 3, 6}, Joints));
    for (int shoulder : {LeftShoulder, RightShoulder}) {
        parts.push_back(Ball(shoulder, {0, 0, 0}, {2.6f, 2.6f, 2.6f}, Joints));
        parts.push_back(Tube(shoulder, {0, -p.upperArm / 2, 0}, 1.5f, p.upperArm / 2, Limbs));
        parts.push_back(Ball(shoulder + 1, {0, 0, 0}, {1.9f, 1.9f, 1.9f}, Joints, 6, 4));
        parts.push_back(Tube(shoulder + 1, {0, -p.forearm / 2, 0}, 2.1f, p.forearm / 2, Limbs, 0.75f));
        parts.push_back(Box(shoulder + 2, {0.9f, -1.6f, 0}, {0.5f, 2.0f, 1.4f}, Joints));  // a two-fingered claw
        parts.push_back(Box(shoulder + 2, {-0.9f, -1.6f, 0}, {0.5f, 2.0f, 1.4f}, Joints));
    }
    for (int hip : {LeftHip, RightHip}) {
        parts.push_back(Tube(hip, {0, -p.thigh / 2, 0}, 2.2f, p.thigh / 2, Limbs));
        parts.push_back(Ball(hip + 1, {0, 0, 0}, {2.5f, 2.5f, 2.5f}, Joints, 6, 4));
        parts.push_back(Tube(hip + 1, {0, -p.shin / 2, 0}, 2.9f, p.shin / 2, Body, 0.8f));
        parts.push_back(Box(hip + 2, {1.5f, -1.2f, 0}, {4.2f, 1.4f, 2.7f}, Feet));
    }
    return c;
}

CharacterSpec MakeRegult() {
    CharacterSpec c{"regult", {"regult"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {.thigh = 13, .shin = 16, .ankleHeight = 2.5f, .hipWidth = 6.5f, .torso = 8};
    c.style = {.restHip = -35, .restKnee = 70, .forwardKnees = true};
    const Proportions& p = c.proportions;
    enum { Pod, Hull, Guns, Legs, Joints, Feet };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::MonoEye, {152, 142, 168}, {80, 75, 92}, {255, 64, 40}}},
        {Cells(2, 0), {Pattern::Plates, {152, 142, 168}, {80, 75, 92}}},
        {Cells(3, 0), {Pattern::Metal, {72, 72, 78}}},
        {Cells(4, 0), {Pattern::Plates, {122, 116, 138}, {60, 55, 70}}},
        {Cells(5, 0), {Pattern::Metal, {62, 62, 68}}},
        {Cells(6, 0), {Pattern::Metal, {94, 88, 104}}},
    };
    std::vector<PartSpec>& parts = c.parts;
    // The egg-shaped pod with its one eye, two guns below it and two cannons on top.
    parts.push_back(Ball(Spine, {2, 7, 0}, {11, 9, 10.5f}, Pod, 14, 8));
    parts.push_back(Box(Spine, {-7, 6, 0}, {3, 4, 6}, Hull));
    for (float side : {1.0f, -1.0f}) {
        parts.push_back(Tilted(Tube(Spine, {11, 1, 5.5f * side}, 1.0f, 5, Guns), {0, 0, -90}));
        parts.push_back(Tilted(Tube(Spine, {5, 15.5f, 3.2f * side}, 0.9f, 7, Guns), {0, 0, -90}));
    }
    for (int hip : {LeftHip, RightHip}) {
        parts.push_back(Ball(hip, {0, 0, 0}, {3.2f, 3.2f, 3.2f}, Joints));
        parts.push_back(Tube(hip, {0, -p.thigh / 2, 0}, 2.4f, p.thigh / 2, Legs, 1.2f));
        parts.push_back(Ball(hip + 1, {0, 0, 0}, {2.6f, 2.6f, 2.6f}, Joints, 6, 4));
        parts.push_back(Tube(hip + 1, {0, -p.shin / 2, 0}, 1.7f, p.shin / 2, Legs, 1.3f));
        parts.push_back(Box(hip + 2, {2.5f, -1.1f, 0}, {4.8f, 1.2f, 2.9f}, Feet));
        parts.push_back(Box(hip + 2, {-2.8f, -1.0f, 0}, {1.6f, 1.0f, 1.6f}, Feet));  // the heel spur
    }
    return c;
}

CharacterSpec MakeUnit00() {
    CharacterSpec c{"unit00", {"unit00"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {.thigh = 16, .shin = 16, .hipWidth = 4, .torso = 20, .shoulderWidth = 8, .neck = 3,
                     .upperArm = 12, .forearm = 11};
    enum { Face, Armour, White, Dark };
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::MonoEye, {236, 152, 42}, {112, 70, 20}, {255, 232, 150}}},
        {Cells(2, 0), {Pattern::Plates, {236, 152, 42}, {112, 70, 20}}},
        {Cells(3, 0), {Pattern::Plates, {236, 236, 230}, {140, 140, 150}}},
        {Cells(4, 0), {Pattern::Metal, {52, 52, 58}}},
    };
    const BodyBuild build{.head = {3.6f, 4.4f, 3.6f}, .chestDepth = 4.2f, .arm = 1.7f, .leg = 2.4f};
    AddHumanoidBody(&c, {Face, Dark, Armour, Dark, Armour, Armour, Dark, White, Dark, Armour, White, Armour}, build);
    // The shoulder pylons stand up over the shoulders, out from the body.
    for (int shoulder : {LeftShoulder, RightShoulder}) {
        const float side = shoulder == LeftShoulder ? 1.0f : -1.0f;
        c.parts.push_back(Box(shoulder, {0, 1.5f, 2.4f * side}, {3.2f, 4.5f, 1.4f}, Armour));
    }
    c.parts.push_back(Tilted(Tube(Head, {2.5f, 8.2f, 0}, 0.6f, 2.2f, White, 0.3f), {0, 0, -40}));
    return c;
}

CharacterSpec MakeYoshi() {
    CharacterSpec c{"yoshi", {"yoshi"}, FullAnimationFrames, {}, {}, {}, {}};
    c.proportions = {.thigh = 5.5f, .shin = 5.5f, .hipWidth = 3.5f, .torso = 11, .shoulderWidth = 5, .neck = 2,
                     .upperArm = 4.5f, .forearm = 4, .tail = 7};
    c.style = {.restHip = 10, .restKnee = 20, .lean = 12};
    const Proportions& p = c.proportions;
    enum { Face, Eyes, Body, Saddle, Boots, Spikes, Limbs };
    constexpr Rgb Green{92, 192, 62};
    c.regions = {
        {Cells(0, 0, 2, 2), {Pattern::DinoFace, Green, {244, 244, 232}}},
        {Cells(2, 0), {Pattern::Eyeball, {250, 250, 250}, {18, 18, 18}}},
        {Cells(3, 0), {Pattern::Belly, Green, {246, 246, 236}}},
        {Cells(4, 0), {Pattern::Plain, {212, 40, 40}}},
        {Cells(5, 0), {Pattern::Plain, {232, 112, 40}}},
        {Cells(6, 0), {Pattern::Plain, {222, 52, 40}}},
        {Cells(7, 0), {Pattern::Plain, Green}},
    };
    std::vector<PartSpec>& parts = c.parts;
    // A round head with a big snout, eyes on top and red spikes down the back of the head.
    parts.push_back(Ball(Head, {0, 5.8f, 0}, {5.8f, 5.8f, 5.4f}, Face, 12, 8));
    parts.push_back(Ball(Head, {6.4f, 4.4f, 0}, {5.2f, 4.2f, 4.6f}, Face, 12, 6));
    for (float side : {1.0f, -1.0f}) parts.push_back(Ball(Head, {2.6f, 10.8f, 2.3f * side}, {2.0f, 3.0f, 1.8f}, Eyes));
    const Vec3 spikes[] = {{-5.2f, 8.6f, 0}, {-6.0f, 5.2f, 0}, {-5.6f, 2.0f, 0}};
    for (const Vec3& spike : spikes) parts.push_back(Tilted(Tube(Head, spike, 1.0f, 1.2f, Spikes, 0.1f), {0, 0, 90}));
    parts.push_back(Tube(Spine, {0.5f, p.torso + 1, 0}, 2.2f, 2.5f, Limbs));
    parts.push_back(Ball(Spine, {0.5f, 5.5f, 0}, {6.5f, 8, 6.5f}, Body, 12, 8));
    parts.push_back(Ball(Spine, {-5.3f, 7, 0}, {2, 3.6f, 5.4f}, Saddle));
    for (int shoulder : {LeftShoulder, RightShoulder}) {
        parts.push_back(Tube(shoulder, {0, -p.upperArm / 2, 0}, 1.2f, p.upperArm / 2, Limbs));
        parts.push_back(Tube(shoulder + 1, {0, -p.forearm / 2, 0}, 1.1f, p.forearm / 2, Limbs));
        parts.push_back(Ball(shoulder + 2, {0.3f, -1.2f, 0}, {1.4f, 1.5f, 1.2f}, Body, 6, 4));
    }
    for (int hip : {LeftHip, RightHip}) {
        parts.push_back(Tube(hip, {0, -p.thigh / 2, 0}, 2.5f, p.thigh / 2 + 0.5f, Limbs, 1.2f));
        parts.push_back(Tube(hip + 1, {0, -p.shin / 2, 0}, 1.9f, p.shin / 2, Limbs, 1.2f));
        parts.push_back(Ball(hip + 2, {2.0f, -1.0f, 0}, {3.8f, 2.2f, 2.5f}, Boots));
    }
    // The tail points back and narrows to its tip.
    parts.push_back(Tilted(Tube(TailBase, {-p.tail / 2, 0, 0}, 2.6f, p.tail / 2 + 0.5f, Limbs, 0.6f), {0, 0, 90}));
    parts.push_back(Tilted(Tube(TailTip, {-p.tail / 2, 0, 0}, 1.6f, p.tail / 2 + 0.3f, Limbs, 0.25f), {0, 0, 90}));
    return c;
}

}  // namespace resgen
