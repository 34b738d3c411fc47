// D3DX vector, plane and colour functions.
#include <d3dx9math.h>

D3DXVECTOR3* WINAPI D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s) {
    *out = *v * s;
    return out;
}

// A zero vector normalises to zero rather than to NaNs.
D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    float length = D3DXVec3Length(v);
    *out = length == 0.0f ? D3DXVECTOR3(0, 0, 0) : *v / length;
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

// (x, y, z, 1) * m: the full transform of a point, as a 4D result.
D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 point(*v, 1.0f);
    return D3DXVec4Transform(out, &point, m);
}

// Transforms the point and projects it back to w = 1.
D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 result;
    D3DXVec3Transform(&result, v, m);
    *out = D3DXVECTOR3(result.x / result.w, result.y / result.w, result.z / result.w);
    return out;
}

// (x, y, z, 0) * m: only the upper 3x3 applies, and the result is not renormalised.
D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    *out = D3DXVECTOR3(v->x * m->_11 + v->y * m->_21 + v->z * m->_31, v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                       v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
    return out;
}

// Zero stays zero, as for three components.
D3DXVECTOR4* WINAPI D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    float length = D3DXVec4Length(v);
    *out = length == 0.0f ? D3DXVECTOR4(0, 0, 0, 0) : *v * (1.0f / length);
    return out;
}

D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    float in[4] = {v->x, v->y, v->z, v->w};
    float result[4];
    for (int col = 0; col < 4; ++col)
        result[col] = in[0] * m->m[0][col] + in[1] * m->m[1][col] + in[2] * m->m[2][col] + in[3] * m->m[3][col];
    *out = D3DXVECTOR4(result[0], result[1], result[2], result[3]);
    return out;
}

// Divides all four coefficients by the length of the normal; a zero normal gives (0, 0, 0, 0).
D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    float length = sqrtf(p->a * p->a + p->b * p->b + p->c * p->c);
    if (length == 0.0f) {
        *out = D3DXPLANE(0, 0, 0, 0);
    } else {
        float inverse = 1.0f / length;
        *out = D3DXPLANE(p->a * inverse, p->b * inverse, p->c * inverse, p->d * inverse);
    }
    return out;
}

D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

// The plane through three points with the unit normal (b - a) x (c - a).
D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b,
                                      const D3DXVECTOR3* c) {
    D3DXVECTOR3 edge1 = *b - *a, edge2 = *c - *a, normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(out, a, &normal);
}

// Where the infinite line through a and b meets the plane; NULL when it runs parallel.
D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* a,
                                           const D3DXVECTOR3* b) {
    D3DXVECTOR3 direction = *b - *a;
    float along = D3DXPlaneDotNormal(p, &direction);
    if (along == 0.0f) return nullptr;
    float t = -D3DXPlaneDotCoord(p, a) / along;
    *out = *a + direction * t;
    return out;
}

D3DXCOLOR::D3DXCOLOR(D3DCOLOR argb)
    : r(static_cast<float>((argb >> 16) & 0xFF) / 255.0f),
      g(static_cast<float>((argb >> 8) & 0xFF) / 255.0f),
      b(static_cast<float>(argb & 0xFF) / 255.0f),
      a(static_cast<float>(argb >> 24) / 255.0f) {}

namespace {
// Clamps to 0..1 and rounds to the nearest of the 256 levels.
DWORD ColorByte(float channel) {
    if (channel >= 1.0f) return 0xFF;
    if (!(channel > 0.0f)) return 0x00;  // NaN included
    return static_cast<DWORD>(channel * 255.0f + 0.5f);
}
}  // namespace

D3DXCOLOR::operator D3DCOLOR() const {
    return (ColorByte(a) << 24) | (ColorByte(r) << 16) | (ColorByte(g) << 8) | ColorByte(b);
}
