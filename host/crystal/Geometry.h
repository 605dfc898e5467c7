// Internal: small fixed-size vector and matrix arithmetic for the crystal model's sources:
// points are fractional or Cartesian triples, matrices act on columns.
#pragma once

#include <array>
#include <cmath>

namespace cif::detail::geometry {

using Vector = std::array<double, 3>;
using Matrix = std::array<std::array<double, 3>, 3>;

inline Vector multiply(const Matrix& m, const Vector& v) {
    Vector out{};
    for (int i = 0; i < 3; ++i)
        out[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return out;
}

inline Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return out;
}

inline Matrix transpose(const Matrix& m) {
    Matrix out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = m[j][i];
    return out;
}

inline double determinant(const Matrix& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The caller guarantees a regular matrix (a cell's orthogonalisation always is).
inline Matrix inverse(const Matrix& m) {
    const double d = determinant(m);
    Matrix out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int r0 = (j + 1) % 3, r1 = (j + 2) % 3, c0 = (i + 1) % 3, c1 = (i + 2) % 3;
            out[i][j] = (m[r0][c0] * m[r1][c1] - m[r0][c1] * m[r1][c0]) / d;
        }
    return out;
}

inline Vector subtract(const Vector& a, const Vector& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

inline double length(const Vector& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// The shortest distance between two fractional points over whole-cell translations, for
// points so close that the nearest translation is the rounded difference.
inline double periodic_distance(const Vector& a, const Vector& b, const Matrix& to_cartesian) {
    Vector difference = subtract(a, b);
    for (double& d : difference)
        d -= std::round(d);
    return length(multiply(to_cartesian, difference));
}

}  // namespace cif::detail::geometry
