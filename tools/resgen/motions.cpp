#include "tools/resgen/motions.h"

#include <cmath>
#include <initializer_list>

#include "md2/animation_ranges.h"

namespace resgen {

const char* const AnimationNames[AnimationCount] = {
    "stand", "run",  "attack", "pain",   "jump",    "flip",   "salute", "taunt",
    "wave",  "point", "crwalk", "crattak", "crpain", "death1", "death2", "death3",
};

namespace {

constexpr float TwoPi = 6.28318530718f;

enum Side { Left, Right };

float Smooth(float t) { return t * t * (3 - 2 * t); }

Pose Mix(const Pose& a, const Pose& b, float t) {
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    Pose out;
    for (int j = 0; j < JointCount; ++j) {
        out.joints[j].swing = mix(a.joints[j].swing, b.joints[j].swing);
        out.joints[j].spread = mix(a.joints[j].spread, b.joints[j].spread);
        out.joints[j].twist = mix(a.joints[j].twist, b.joints[j].twist);
    }
    out.lift = mix(a.lift, b.lift);
    out.shift = mix(a.shift, b.shift);
    out.side = mix(a.side, b.side);
    out.pitch = mix(a.pitch, b.pitch);
    out.roll = mix(a.roll, b.roll);
    out.turn = mix(a.turn, b.turn);
    return out;
}

struct Key {
    float phase;
    Pose pose;
};

// Eases from key to key; phases before the first or after the last key hold that key.
Pose Keyed(std::initializer_list<Key> keys, float phase) {
    const Key* previous = keys.begin();
    for (const Key* key = keys.begin(); key != keys.end(); ++key) {
        if (phase <= key->phase) {
            if (key == previous) return key->pose;
            const float t = (phase - previous->phase) / (key->phase - previous->phase);
            return Mix(previous->pose, key->pose, Smooth(t));
        }
        previous = key;
    }
    return previous->pose;
}

void Arm(Pose* p, Side side, float swing, float spread, float elbow) {
    const int shoulder = side == Left ? LeftShoulder : RightShoulder;
    p->joints[shoulder].swing = swing;
    p->joints[shoulder].spread = spread;
    p->joints[shoulder + 1].swing = elbow;
}

void Arms(Pose* p, float swing, float spread, float elbow) {
    Arm(p, Left, swing, spread, elbow);
    Arm(p, Right, swing, spread, elbow);
}

// hip swings the thigh forward, knee bends the shin back; the foot stays level unless
// ankle tips its toes down.
void Leg(Pose* p, Side side, float hip, float knee, float ankle = 0) {
    const int joint = side == Left ? LeftHip : RightHip;
    p->joints[joint].swing = hip;
    p->joints[joint + 1].swing = -knee;
    p->joints[joint + 2].swing = knee - hip - ankle;
}

void Legs(Pose* p, float hip, float knee, float ankle = 0) {
    Leg(p, Left, hip, knee, ankle);
    Leg(p, Right, hip, knee, ankle);
}

void Body(Pose* p, float lean, float headNod, float tail = 15) {
    p->joints[Spine].swing = lean;
    p->joints[Head].swing = headNod;
    p->joints[TailBase].swing = tail;
    p->joints[TailTip].swing = tail * 0.5f;
}

Pose Standing() {
    Pose p;
    Arms(&p, 4, 10, 12);
    Legs(&p, 2, 4);
    Body(&p, 2, -2);
    return p;
}

Pose Crouched() {
    Pose p;
    Arms(&p, 35, 15, 60);
    Legs(&p, 75, 110);
    Body(&p, 30, -25, 5);
    return p;
}

Pose Stand(float phase) {
    const float breath = std::sin(TwoPi * phase);
    Pose p = Standing();
    Arms(&p, 4 + 2 * breath, 10 + 3 * breath, 12 + 4 * breath);
    Body(&p, 2 + 2 * breath, -2 - 2 * breath, 15 + 6 * breath);
    p.joints[Head].twist = 12 * std::sin(TwoPi * phase);
    p.joints[TailTip].twist = 20 * std::sin(TwoPi * phase * 2);
    return p;
}

Pose Run(float phase) {
    const float a = TwoPi * phase, stride = std::sin(a);
    Pose p;
    // The knee folds most while the leg swings through under the body.
    auto knee = [](float angle) {
        return 15 + 75 * std::fmax(0.0f, std::cos(angle)) + 20 * std::fmax(0.0f, -std::sin(angle));
    };
    Leg(&p, Left, 40 * stride, knee(a), 10);
    Leg(&p, Right, -40 * stride, knee(a + TwoPi / 2), 10);
    Arm(&p, Left, -35 * stride, 12, 75);
    Arm(&p, Right, 35 * stride, 12, 75);
    Body(&p, 14, -8, 25);
    p.joints[Spine].twist = -10 * stride;
    p.joints[TailTip].twist = 25 * stride;
    p.lift = 1.5f * std::fabs(std::cos(a));
    return p;
}

Pose Attack(float phase) {
    Pose ready = Standing();
    Arm(&ready, Right, 35, 15, 55);
    Arm(&ready, Left, 25, 20, 60);
    Pose windUp = ready;
    Arm(&windUp, Right, 165, 20, 50);
    Body(&windUp, -10, -5);
    windUp.joints[Spine].twist = -20;
    Pose strike = ready;
    Arm(&strike, Right, 75, 5, 5);
    Arm(&strike, Left, -20, 25, 30);
    Body(&strike, 22, 5);
    strike.joints[Spine].twist = 20;
    Leg(&strike, Left, 35, 45);
    Leg(&strike, Right, -20, 15);
    Pose follow = strike;
    Arm(&follow, Right, 45, 10, 25);
    Body(&follow, 15, 0);
    return Keyed({{0, ready}, {0.35f, windUp}, {0.5f, strike}, {0.7f, follow}, {1, ready}}, phase);
}

Pose Pain(float phase) {
    Pose recoil = Standing();
    Arms(&recoil, -20, 40, 45);
    Body(&recoil, -18, -30, 35);
    Legs(&recoil, 10, 20);
    recoil.shift = -2;
    Pose hunch = Standing();
    Arms(&hunch, 30, 15, 80);
    Body(&hunch, 20, 15, 0);
    Legs(&hunch, 15, 25);
    return Keyed({{0, Standing()}, {0.3f, recoil}, {0.65f, hunch}, {1, Standing()}}, phase);
}

Pose Jump(float phase) {
    Pose gather = Crouched();
    Arms(&gather, -45, 15, 20);
    Pose air = Standing();
    Arms(&air, 160, 25, 10);
    Legs(&air, 40, 70);
    Body(&air, 5, -10, 30);
    air.lift = 14;
    Pose land = Crouched();
    Arms(&land, 40, 30, 30);
    return Keyed({{0, Standing()}, {0.2f, gather}, {0.5f, air}, {0.8f, land}, {1, Standing()}}, phase);
}

Pose Flip(float phase) {
    Pose gather = Crouched();
    Arms(&gather, -40, 15, 20);
    Pose launch = Standing();
    Arms(&launch, 170, 20, 5);
    Body(&launch, -10, -15);
    launch.lift = 12;
    Pose tuck = Standing();
    Arms(&tuck, 70, 20, 90);
    Legs(&tuck, 110, 130);
    Body(&tuck, 30, 20, 40);
    tuck.lift = 20;
    tuck.pitch = -180;
    Pose open = launch;
    open.lift = 10;
    open.pitch = -330;
    Pose land = Crouched();
    land.pitch = -360;
    Pose done = Standing();
    done.pitch = -360;
    return Keyed({{0, Standing()}, {0.14f, gather}, {0.3f, launch}, {0.5f, tuck}, {0.68f, open}, {0.82f, land},
                  {1, done}},
                 phase);
}

Pose Salute(float phase) {
    Pose attention = Standing();
    Arms(&attention, 0, 4, 5);
    Legs(&attention, 0, 0);
    Body(&attention, 0, -4);
    Pose salute = attention;
    Arm(&salute, Right, 85, 60, 140);
    salute.joints[RightShoulder].twist = 20;
    return Keyed({{0, Standing()}, {0.15f, attention}, {0.35f, salute}, {0.75f, salute}, {0.9f, attention},
                  {1, Standing()}},
                 phase);
}

Pose Taunt(float phase) {
    // Left fist on the hip, chin up, the right hand beckoning twice.
    Pose base = Standing();
    Arm(&base, Left, -25, 45, 100);
    Arm(&base, Right, 70, 10, 20);
    Body(&base, -8, -15, 40);
    base.joints[Head].spread = 10;
    Pose curl = base;
    Arm(&curl, Right, 75, 10, 115);
    if (phase < 0.15f || phase > 0.9f) {
        return Keyed({{0, Standing()}, {0.15f, base}, {0.9f, base}, {1, Standing()}}, phase);
    }
    const float beckon = 0.5f - 0.5f * std::cos(TwoPi * 2 * (phase - 0.15f) / 0.75f);  // twice over
    return Mix(base, curl, Smooth(beckon));
}

Pose Wave(float phase) {
    Pose raised = Standing();
    Arm(&raised, Right, 10, 150, 30);
    Body(&raised, 0, -5);
    raised.joints[Head].spread = -8;
    Pose pose = Keyed({{0, Standing()}, {0.15f, raised}, {0.85f, raised}, {1, Standing()}}, phase);
    if (phase > 0.15f && phase < 0.85f) {
        const float wag = std::sin(TwoPi * 3 * (phase - 0.15f) / 0.7f);
        pose.joints[RightShoulder].spread += 18 * wag;
        pose.joints[RightElbow].swing += 15 * wag;
        pose.joints[TailTip].twist = 25 * wag;
    }
    return pose;
}

Pose Point(float phase) {
    Pose point = Standing();
    Arm(&point, Right, 88, 6, 0);
    Arm(&point, Left, 0, 8, 10);
    Body(&point, 4, 4);
    point.joints[Spine].twist = -12;
    point.joints[Head].twist = -8;
    Leg(&point, Right, 15, 10);
    Pose stress = point;
    Arm(&stress, Right, 95, 4, 0);
    return Keyed({{0, Standing()}, {0.25f, point}, {0.5f, stress}, {0.8f, point}, {1, Standing()}}, phase);
}

Pose CrouchWalk(float phase) {
    const float a = TwoPi * phase, stride = std::sin(a);
    Pose p = Crouched();
    Leg(&p, Left, 75 + 22 * stride, 110 - 15 * stride);
    Leg(&p, Right, 75 - 22 * stride, 110 + 15 * stride);
    Arm(&p, Left, 35 - 15 * stride, 15, 60);
    Arm(&p, Right, 35 + 15 * stride, 15, 60);
    p.joints[Spine].twist = -6 * stride;
    p.joints[TailTip].twist = 20 * stride;
    return p;
}

Pose CrouchAttack(float phase) {
    Pose pull = Crouched();
    Arm(&pull, Right, -30, 20, 100);
    pull.joints[Spine].twist = -15;
    Pose thrust = Crouched();
    Arm(&thrust, Right, 95, 5, 0);
    Body(&thrust, 40, -30, 5);
    thrust.joints[Spine].twist = 20;
    return Keyed({{0, Crouched()}, {0.3f, pull}, {0.55f, thrust}, {0.8f, thrust}, {1, Crouched()}}, phase);
}

Pose CrouchPain(float phase) {
    Pose recoil = Crouched();
    Arms(&recoil, -15, 45, 50);
    Body(&recoil, 0, -35, 30);
    recoil.shift = -2;
    Pose curl = Crouched();
    Arms(&curl, 50, 10, 110);
    Body(&curl, 50, 20, 0);
    return Keyed({{0, Crouched()}, {0.35f, recoil}, {0.7f, curl}, {1, Crouched()}}, phase);
}

Pose DeathBack(float phase) {
    Pose hit = Standing();
    Arms(&hit, -30, 55, 30);
    Body(&hit, -20, -30, 30);
    Legs(&hit, 10, 30);
    hit.pitch = -15;
    Pose falling = hit;
    Arms(&falling, -10, 75, 20);
    Legs(&falling, 30, 45);
    falling.pitch = -60;
    Pose lying = Standing();
    Arms(&lying, 10, 80, 15);
    Legs(&lying, 12, 15);
    Body(&lying, 0, -10, 0);
    lying.pitch = -90;
    return Keyed({{0, Standing()}, {0.3f, hit}, {0.65f, falling}, {1, lying}}, phase);
}

Pose DeathForward(float phase) {
    Pose buckle = Standing();
    Arms(&buckle, 40, 20, 40);
    Legs(&buckle, 50, 80);
    Body(&buckle, 25, 10);
    Pose flat = Standing();
    Arms(&flat, 165, 25, 10);
    Legs(&flat, 0, 5);
    Body(&flat, 0, -20, 0);
    flat.pitch = 90;
    return Keyed({{0, Standing()}, {0.45f, buckle}, {1, flat}}, phase);
}

Pose DeathCollapse(float phase) {
    Pose spin = Standing();
    Arms(&spin, 20, 50, 40);
    Legs(&spin, 30, 45);
    Body(&spin, 20, 10);
    spin.joints[Spine].spread = 15;
    spin.turn = 70;
    Pose sag = spin;
    Legs(&sag, 60, 100);
    sag.turn = 120;
    sag.roll = 35;
    Pose side = Standing();
    Arms(&side, 30, 70, 30);
    Legs(&side, 45, 60);
    Body(&side, 15, 10, 0);
    side.turn = 150;
    side.roll = 90;
    return Keyed({{0, Standing()}, {0.3f, spin}, {0.6f, sag}, {1, side}}, phase);
}

}  // namespace

Pose AnimationPose(int animation, int step, int steps) {
    // Loops and gestures return to their start; a death ends on its last frame.
    const float cycle = float(step) / steps;
    const float once = steps > 1 ? float(step) / (steps - 1) : 1;
    switch (animation) {
        case 0: return Stand(cycle);
        case 1: return Run(cycle);
        case 2: return Attack(cycle);
        case 3: return Pain(cycle);
        case 4: return Jump(cycle);
        case 5: return Flip(cycle);
        case 6: return Salute(cycle);
        case 7: return Taunt(cycle);
        case 8: return Wave(cycle);
        case 9: return Point(cycle);
        case 10: return CrouchWalk(cycle);
        case 11: return CrouchAttack(cycle);
        case 12: return CrouchPain(cycle);
        case 13: return DeathBack(once);
        case 14: return DeathForward(once);
        default: return DeathCollapse(once);
    }
}

Pose Styled(const Pose& pose, const MotionStyle& style) {
    Pose out = pose;
    for (int hip : {LeftHip, RightHip}) {
        JointAngles& thigh = out.joints[hip];
        JointAngles& shin = out.joints[hip + 1];
        JointAngles& foot = out.joints[hip + 2];
        const float toes = -(thigh.swing + shin.swing + foot.swing);  // how far the toes point down
        const float knee = -shin.swing + style.restKnee;
        thigh.swing += style.restHip;
        shin.swing = style.forwardKnees ? knee : -knee;
        foot.swing = -(thigh.swing + shin.swing) - toes;
    }
    out.joints[Spine].swing += style.lean;
    out.joints[Head].swing -= style.lean;
    return out;
}

}  // namespace resgen
