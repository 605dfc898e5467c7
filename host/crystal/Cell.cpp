#include "host/Cell.h"

#include <cmath>
#include <stdexcept>

#include "host/crystal/Geometry.h"

namespace geometry = cif::detail::geometry;

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180.0;

UncertainValue in_radians(const UncertainValue& degrees) {
    return UncertainValue(degrees.value() * radians_per_degree, degrees.uncertainty());
}

// V = abc sqrt(1 - cos²α - cos²β - cos²γ + 2 cosα cosβ cosγ), angles in radians.
double volume_of(double a, double b, double c, double alpha, double beta, double gamma) {
    const double ca = std::cos(alpha), cb = std::cos(beta), cg = std::cos(gamma);
    const double root = 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg;
    return root > 0.0 ? a * b * c * std::sqrt(root) : 0.0;
}

}  // namespace

Cell::Cell()
    : Cell(UncertainValue(1.0), UncertainValue(1.0), UncertainValue(1.0), UncertainValue(90.0),
           UncertainValue(90.0), UncertainValue(90.0), Spacegroup()) {}

Cell::Cell(const UncertainValue& a, const UncertainValue& b, const UncertainValue& c,
           const UncertainValue& alpha, const UncertainValue& beta, const UncertainValue& gamma,
           const Spacegroup& spacegroup)
    : a_(a),
      b_(b),
      c_(c),
      alpha_(in_radians(alpha)),
      beta_(in_radians(beta)),
      gamma_(in_radians(gamma)),
      spacegroup_(spacegroup.with_cell_angles(alpha.value(), gamma.value())) {
    if (!(a.value() > 0.0 && b.value() > 0.0 && c.value() > 0.0)) {
        throw std::invalid_argument("Cell lengths must be positive");
    }
    for (const UncertainValue* angle : {&alpha, &beta, &gamma}) {
        if (!(angle->value() > 0.0 && angle->value() < 180.0)) {
            throw std::invalid_argument("Cell angles must lie between 0 and 180 degrees");
        }
    }
    volume_ =
        volume_of(a.value(), b.value(), c.value(), alpha_.value(), beta_.value(), gamma_.value());
    if (!(volume_ > 0.0)) {
        throw std::invalid_argument("Cell angles " + std::to_string(alpha.value()) + ", " +
                                    std::to_string(beta.value()) + ", " +
                                    std::to_string(gamma.value()) + " make no cell");
    }
    const double ca = std::cos(alpha_.value()), cb = std::cos(beta_.value());
    const double cg = std::cos(gamma_.value()), sg = std::sin(gamma_.value());
    const double cy = c.value() * (ca - cb * cg) / sg;
    orthogonalisation_ = {{{a.value(), b.value() * cg, c.value() * cb},
                           {0.0, b.value() * sg, cy},
                           {0.0, 0.0, volume_ / (a.value() * b.value() * sg)}}};
    fractionalisation_ = geometry::inverse(orthogonalisation_);
}

std::array<double, 3> Cell::cartesian(const std::array<double, 3>& fractional) const {
    return geometry::multiply(orthogonalisation_, fractional);
}

// First-order propagation: the volume's derivative by each parameter, numerically.
UncertainValue Cell::volume_with_uncertainty() const {
    const UncertainValue* parameters[] = {&a_, &b_, &c_, &alpha_, &beta_, &gamma_};
    double values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = parameters[i]->value();
    double variance = 0.0;
    bool any = false;
    for (int i = 0; i < 6; ++i) {
        if (!parameters[i]->uncertainty().given()) continue;
        any = true;
        const double u = parameters[i]->uncertainty().value() * (i >= 3 ? radians_per_degree : 1.0);
        double shifted[6];
        std::copy(values, values + 6, shifted);
        const double step = i >= 3 ? 1e-6 : 1e-6 * values[i];
        shifted[i] += step;
        const double derivative =
            (volume_of(shifted[0], shifted[1], shifted[2], shifted[3], shifted[4], shifted[5]) -
             volume_) /
            step;
        variance += derivative * derivative * u * u;
    }
    return any ? UncertainValue(volume_, Uncertainty(std::sqrt(variance)))
               : UncertainValue(volume_);
}
