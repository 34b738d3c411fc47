// D3DX transformation matrices: translation, scaling, rotations, projections, view,
// reflection and planar shadow (row vectors, left-handed, translation in row 3).
#include <d3dx9math.h>

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->_41 = x, out->_42 = y, out->_43 = z;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

// Angles turn clockwise when looking along the axis toward the origin: X turns +Y toward +Z,
// Y turns +Z toward +X, Z turns +X toward +Y.
D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    float c = cosf(angle), s = sinf(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    float c = cosf(angle), s = sinf(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    float c = cosf(angle), s = sinf(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

// The axis need not be unit length; it is normalised first.
D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    float c = cosf(angle), s = sinf(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * v.x * v.x + c, t * v.x * v.y + s * v.z, t * v.x * v.z - s * v.y, 0,
                      t * v.x * v.y - s * v.z, t * v.y * v.y + c, t * v.y * v.z + s * v.x, 0,
                      t * v.x * v.z + s * v.y, t * v.y * v.z - s * v.x, t * v.z * v.z + c, 0,
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    float yScale = 1.0f / tanf(fovy / 2.0f);
    float xScale = yScale / aspect;
    float depthScale = zf / (zf - zn);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depthScale, 1, 0, 0, -zn * depthScale, 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf) {
    *out = D3DXMATRIX(2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, 1.0f / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                              float zf) {
    *out = D3DXMATRIX(2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, 1.0f / (zf - zn), 0,
                      (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
    D3DXVECTOR3 zaxis = *at - *eye, xaxis, yaxis;
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVec3Cross(&xaxis, up, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *out = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z, zaxis.z, 0,
                      -D3DXVec3Dot(&xaxis, eye), -D3DXVec3Dot(&yaxis, eye), -D3DXVec3Dot(&zaxis, eye), 1);
    return out;
}

// Mirrors space in the plane, which is normalised first. Mirroring flips triangle winding.
D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    *out = D3DXMATRIX(1 - 2 * p.a * p.a, -2 * p.a * p.b, -2 * p.a * p.c, 0,
                      -2 * p.a * p.b, 1 - 2 * p.b * p.b, -2 * p.b * p.c, 0,
                      -2 * p.a * p.c, -2 * p.b * p.c, 1 - 2 * p.c * p.c, 0,
                      -2 * p.a * p.d, -2 * p.b * p.d, -2 * p.c * p.d, 1);
    return out;
}

// Flattens geometry onto the plane as seen from the light (w = 0: a direction pointing toward
// the light). M = (P.L) I - P^T L with P the normalised plane; this is the sign Windows
// produces (the printed documentation shows the negated matrix, whose w would clip everything).
D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float planeCoefficients[4] = {p.a, p.b, p.c, p.d};
    const float lightCoefficients[4] = {light->x, light->y, light->z, light->w};
    float dot = p.a * light->x + p.b * light->y + p.c * light->z + p.d * light->w;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out->m[row][col] = (row == col ? dot : 0.0f) - planeCoefficients[row] * lightCoefficients[col];
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXMATRIX rollMatrix, pitchMatrix, yawMatrix;
    D3DXMatrixRotationZ(&rollMatrix, roll);
    D3DXMatrixRotationX(&pitchMatrix, pitch);
    D3DXMatrixRotationY(&yawMatrix, yaw);
    *out = rollMatrix * pitchMatrix * yawMatrix;
    return out;
}
