#include "snow/snow_system.h"

#include "snow/random.h"

void SnowSystem::ResetParticle(Particle& particle) {
    particle.alive = true;
    // The random height is drawn only to keep the sequence of random numbers: every flake is
    // born on the top face, so the whole population starts as one falling sheet.
    RandomVector(&particle.position, boxMinimum, boxMaximum);
    particle.position.y = boxMaximum.y;
    particle.velocity.x = RandomFloat(0.2, 1.0) * -3.0f;
    particle.velocity.y = RandomFloat(0.2, 1.0) * -10.0f;
    particle.velocity.z = 0.0f;
    particle.colour = {1.0f, 1.0f, 1.0f};
}

void SnowSystem::Update(float seconds) {
    for (Particle& particle : particles) {
        particle.position += particle.velocity * seconds;
        if (OutsideBox(particle.position)) ResetParticle(particle);
    }
}
