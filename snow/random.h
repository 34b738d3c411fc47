// Uniform random numbers for the particle systems (snow and rain), drawn from the C runtime's
// rand. Nothing seeds it, so every run of a program sees the same numbers.
#pragma once

#include <d3dx9.h>

// lo + (hi - lo) * r / 32767 for the next r = rand(), computed in double precision; both ends
// are reachable (r = 0 gives lo, r = 32767 gives hi).
float RandomFloat(double lo, double hi);

// One RandomFloat per component, drawn in the order x, y, z.
void RandomVector(D3DXVECTOR3* out, const D3DXVECTOR3& min, const D3DXVECTOR3& max);
