#include "snow/random.h"

#include <cstdlib>

float RandomFloat(double lo, double hi) {
    const int r = rand();
    return static_cast<float>(lo + (hi - lo) * r * (1.0 / 32767));
}

void RandomVector(D3DXVECTOR3* out, const D3DXVECTOR3& min, const D3DXVECTOR3& max) {
    out->x = RandomFloat(min.x, max.x);
    out->y = RandomFloat(min.y, max.y);
    out->z = RandomFloat(min.z, max.z);
}
