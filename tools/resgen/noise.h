// Deterministic fractal noise for the generated landscapes and textures.
#pragma once

#include <cstdint>

namespace resgen {

// Smoothly interpolated lattice noise in [0, 1]. With a period, the lattice wraps so that the
// noise tiles seamlessly every `period` units in x and y.
class LatticeNoise {
public:
    explicit LatticeNoise(uint32_t seed, int period = 0) : seed_(seed), period_(period) {}
    float At(float x, float y) const;

private:
    float Lattice(int x, int y) const;
    uint32_t seed_;
    int period_;
};

// Sum of octaves, each twice the frequency and `gain` times the amplitude of the previous,
// normalised back to [0, 1]. A periodic base noise stays periodic at every octave.
float Fractal(const LatticeNoise& noise, float x, float y, int octaves, float gain = 0.5f);

// Ridged octaves: sharp crests where the base noise crosses its middle, like mountain ridges.
float Ridged(const LatticeNoise& noise, float x, float y, int octaves);

// A small integer hash, also used for per-pixel grain.
uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed);

}  // namespace resgen
