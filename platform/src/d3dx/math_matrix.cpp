// D3DXMATRIX and the general matrix functions: products, transpose, determinant, inverse.
#include <d3dx9math.h>

#include <cstring>

namespace {

// Product a * b computed into a temporary, so the output may be either input.
D3DXMATRIX Product(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX result;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            result.m[row][col] = a.m[row][0] * b.m[0][col] + a.m[row][1] * b.m[1][col] + a.m[row][2] * b.m[2][col] +
                                 a.m[row][3] * b.m[3][col];
        }
    }
    return result;
}

// The 2x2 minors of rows 0-1 (top) and rows 2-3 (bottom) from which both the determinant and
// the adjugate are built (Laplace expansion along the first two rows). Double precision keeps
// the cancellation error of nearly singular matrices small.
struct Minors {
    double a[4][4];
    double top[6];
    double bottom[6];
    double determinant;
};

Minors ComputeMinors(const D3DXMATRIX& matrix) {
    Minors n;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) n.a[row][col] = matrix.m[row][col];
    const auto& a = n.a;
    n.top[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    n.top[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    n.top[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    n.top[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    n.top[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    n.top[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    n.bottom[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    n.bottom[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    n.bottom[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    n.bottom[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    n.bottom[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    n.bottom[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const double* s = n.top;
    const double* c = n.bottom;
    n.determinant = s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
    return n;
}

}  // namespace

D3DXMATRIX::D3DXMATRIX(const float* f) {
    if (f == nullptr) return;
    std::memcpy(&_11, f, sizeof(float) * 16);
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44) {
    _11 = f11, _12 = f12, _13 = f13, _14 = f14;
    _21 = f21, _22 = f22, _23 = f23, _24 = f24;
    _31 = f31, _32 = f32, _33 = f33, _34 = f34;
    _41 = f41, _42 = f42, _43 = f43, _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) { return *this = Product(*this, other); }

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& other) {
    for (int i = 0; i < 16; ++i) (&_11)[i] += (&other._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& other) {
    for (int i = 0; i < 16; ++i) (&_11)[i] -= (&other._11)[i];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f) {
    for (int i = 0; i < 16; ++i) (&_11)[i] *= f;
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float f) { return *this *= 1.0f / f; }

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const { return Product(*this, other); }

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& other) const { return D3DXMATRIX(*this) += other; }

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& other) const { return D3DXMATRIX(*this) -= other; }

D3DXMATRIX D3DXMATRIX::operator*(float f) const { return D3DXMATRIX(*this) *= f; }

D3DXMATRIX D3DXMATRIX::operator/(float f) const { return D3DXMATRIX(*this) /= f; }

D3DXMATRIX operator*(float f, const D3DXMATRIX& matrix) { return matrix * f; }

// D3DX compares the bytes, so 0.0 and -0.0 differ and a NaN equals itself.
bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const { return std::memcmp(&_11, &other._11, sizeof(m)) == 0; }

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

BOOL WINAPI D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    if (m == nullptr) return FALSE;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            if (m->m[row][col] != (row == col ? 1.0f : 0.0f)) return FALSE;
    return TRUE;
}

D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    *out = Product(*a, *b);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    D3DXMATRIX result;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) result.m[row][col] = m->m[col][row];
    *out = result;
    return out;
}

float WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* m) { return static_cast<float>(ComputeMinors(*m).determinant); }

// Fails (NULL, nothing written) only when the determinant is exactly zero, as D3DX does.
D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    Minors n = ComputeMinors(*m);
    if (static_cast<float>(n.determinant) == 0.0f) return nullptr;
    const auto& a = n.a;
    const double* s = n.top;
    const double* c = n.bottom;
    double adjugate[4][4] = {
        {a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3], -a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3],
         a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3], -a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]},
        {-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1], a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1],
         -a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1], a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]},
        {a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0], -a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0],
         a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0], -a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]},
        {-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0], a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0],
         -a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0], a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]},
    };
    double inverseDeterminant = 1.0 / n.determinant;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) out->m[row][col] = static_cast<float>(adjugate[row][col] * inverseDeterminant);
    if (determinant != nullptr) *determinant = static_cast<float>(n.determinant);
    return out;
}
