// Snowfall: flakes are born on the top face of the box with a random drift towards -x and a
// random fall speed, and are reborn on the top face whenever they leave the box.
#pragma once

#include "snow/particle_system.h"

class SnowSystem : public ParticleSystem {
public:
    void ResetParticle(Particle& particle) override;
    void Update(float seconds) override;
};
