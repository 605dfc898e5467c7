#include "host/Site.h"

#include <cmath>

#include "host/Cell.h"
#include "host/crystal/Geometry.h"

Site::Site(const Point& fractional, const Point& cartesian, const UncertainValue& occupancy,
           THandle<Array<Uncertainty, 3>> uncertainty,
           THandle<AtomicDisplacementParameters> displacement)
    : fractional_(fractional),
      cartesian_(cartesian),
      occupancy_(occupancy),
      uncertainty_(std::move(uncertainty)),
      displacement_(std::move(displacement)) {}

THandle<Site> Site::image(const CrystalSymmetryOperator& operation, const Array<int, 3>& shift,
                          const Cell& cell) const {
    Point fractional = operation.apply(fractional_);
    for (int i = 0; i < 3; ++i)
        fractional[i] += shift[i];
    const auto& rotation = operation.rotation();
    THandle<Array<Uncertainty, 3>> uncertainty;
    if (uncertainty_) {
        // Independent errors: each new coordinate's variance sums its sources' variances.
        uncertainty = make_handle<Array<Uncertainty, 3>>();
        for (int i = 0; i < 3; ++i) {
            double variance = 0.0;
            for (int j = 0; j < 3; ++j) {
                const double part = rotation[i][j] * (*uncertainty_)[j].value();
                variance += part * part;
            }
            const Uncertainty& source = (*uncertainty_)[i];
            (*uncertainty)[i] =
                source.given() ? Uncertainty(std::sqrt(variance), source.decimals()) : source;
        }
    }
    THandle<AtomicDisplacementParameters> displacement;
    if (displacement_) {
        displacement =
            make_handle<AtomicDisplacementParameters>(displacement_->rotated(rotation, cell));
    }
    return make_handle<Site>(fractional, cell.cartesian(fractional), occupancy_, uncertainty,
                             displacement);
}
