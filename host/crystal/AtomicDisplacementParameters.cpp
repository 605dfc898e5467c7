#include "host/AtomicDisplacementParameters.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "host/Cell.h"
#include "host/crystal/Geometry.h"

namespace geometry = cif::detail::geometry;

// U of CIF relates to the fractional displacements' covariance U* by U*ij = Uij a*i a*j, and
// the Cartesian tensor is A U* At with A the orthogonalisation: a rotation of the crystal
// (R in fractional coordinates) turns U* into R U* Rt.

namespace {

using geometry::Matrix;

// The lengths of the reciprocal axes.
Array<double, 3> reciprocal_lengths(const Cell& cell) {
    Array<double, 3> lengths{};
    for (int i = 0; i < 3; ++i)
        lengths[i] = geometry::length(cell.fractionalisation()[i]);
    return lengths;
}

// U*, or back to U when `to_star` is false.
Matrix rescaled(const Matrix& u, const Array<double, 3>& reciprocal, bool to_star) {
    Matrix out{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double factor = reciprocal[i] * reciprocal[j];
            out[i][j] = to_star ? u[i][j] * factor : u[i][j] / factor;
        }
    return out;
}

bool positive_definite(const Matrix& u) {
    const double minor2 = u[0][0] * u[1][1] - u[0][1] * u[1][0];
    return u[0][0] > 0.0 && minor2 > 0.0 && geometry::determinant(u) > 0.0;
}

std::string listed(const Array<UncertainValue, 6>& u) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    const char* names[] = {"U11", "U22", "U33", "U12", "U13", "U23"};
    for (int i = 0; i < 6; ++i)
        out << (i ? ", " : "") << names[i] << ' ' << u[i].value();
    return out.str();
}

// Component k of the six into the symmetric tensor.
constexpr int row_of[] = {0, 1, 2, 0, 0, 1};
constexpr int column_of[] = {0, 1, 2, 1, 2, 2};

}  // namespace

AtomicDisplacementParameters::AtomicDisplacementParameters(Type type, const Tensor& u,
                                                           const Tensor& uncertainty)
    : type_(type), u_(u), uncertainty_(uncertainty) {
    for (int k = 0; k < 6; ++k) {
        const int i = row_of[k], j = column_of[k];
        stated_[k] = UncertainValue(u_[i][j], Uncertainty(uncertainty_[i][j]));
    }
}

AtomicDisplacementParameters::AtomicDisplacementParameters(const Array<UncertainValue, 6>& u,
                                                           Type type)
    : type_(type), stated_(u) {
    if (type != Anisotropic) {
        throw std::invalid_argument("Six U components make anisotropic displacement parameters");
    }
    for (int k = 0; k < 6; ++k) {
        if (!std::isfinite(u[k].value())) {
            throw std::invalid_argument("Anisotropic U is not a number: " + listed(u));
        }
        const int i = row_of[k], j = column_of[k];
        u_[i][j] = u_[j][i] = u[k].value();
        uncertainty_[i][j] = uncertainty_[j][i] = u[k].uncertainty().value();
    }
    if (!positive_definite(u_)) {
        throw std::invalid_argument("Anisotropic U is not positive definite: " + listed(u));
    }
}

AtomicDisplacementParameters::AtomicDisplacementParameters(const UncertainValue& u_iso, Type type,
                                                           const Cell& cell)
    : type_(type) {
    stated_[0] = u_iso;
    if (type != Isotropic) {
        throw std::invalid_argument("One U value makes isotropic displacement parameters");
    }
    const double value = u_iso.value();
    if (!(std::isfinite(value) && value >= 0.0)) {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << "Isotropic U must not be negative: " << value;
        throw std::invalid_argument(text.str());
    }
    // The sphere in fractional terms is Uiso G*, G* the reciprocal metric (A-1 A-t).
    const Matrix& inverse = cell.fractionalisation();
    const Matrix metric = geometry::multiply(inverse, geometry::transpose(inverse));
    const Matrix unit = rescaled(metric, reciprocal_lengths(cell), false);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            u_[i][j] = value * unit[i][j];
            uncertainty_[i][j] = std::fabs(unit[i][j]) * u_iso.uncertainty().value();
        }
}

double AtomicDisplacementParameters::u_equivalent(const Cell& cell) const {
    const Matrix& a = cell.orthogonalisation();
    const Matrix cartesian =
        geometry::multiply(geometry::multiply(a, rescaled(u_, reciprocal_lengths(cell), true)),
                           geometry::transpose(a));
    return (cartesian[0][0] + cartesian[1][1] + cartesian[2][2]) / 3.0;
}

AtomicDisplacementParameters AtomicDisplacementParameters::rotated(
    const CrystalSymmetryOperator::Rotation& rotation, const Cell& cell) const {
    Matrix r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = rotation[i][j];
    const Array<double, 3> reciprocal = reciprocal_lengths(cell);
    const Matrix u_star = rescaled(u_, reciprocal, true);
    const Matrix turned =
        rescaled(geometry::multiply(geometry::multiply(r, u_star), geometry::transpose(r)),
                 reciprocal, false);
    // The uncertainties follow the components they came from, without correlation.
    Matrix uncertainty{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) {
                    const double part =
                        r[i][k] * r[j][l] * uncertainty_[k][l] * reciprocal[k] * reciprocal[l];
                    sum += part * part;
                }
            uncertainty[i][j] = std::sqrt(sum) / (reciprocal[i] * reciprocal[j]);
        }
    AtomicDisplacementParameters image(type_, turned, uncertainty);
    if (type_ == Isotropic) image.stated_ = stated_;  // a sphere turns into itself
    return image;
}
