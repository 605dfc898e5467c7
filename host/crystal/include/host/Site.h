// Site: where an atom sits, in fractional and Cartesian coordinates, with its occupancy,
// the coordinates' uncertainties and its displacement parameters.
#pragma once

#include "host/Array.h"
#include "host/AtomicDisplacementParameters.h"
#include "host/CrystalSymmetryOperator.h"
#include "host/HostApi.h"
#include "host/THandle.h"
#include "host/UncertainValue.h"

class Cell;

class HOST_API Site {
  public:
    using Point = Array<double, 3>;

    /// The uncertainties and the displacement parameters may be empty handles (not known).
    Site(const Point& fractional, const Point& cartesian, const UncertainValue& occupancy,
         THandle<Array<Uncertainty, 3>> uncertainty,
         THandle<AtomicDisplacementParameters> displacement);

    const Point& fractional() const { return fractional_; }
    /// In angstroms.
    const Point& cartesian() const { return cartesian_; }
    const UncertainValue& occupancy() const { return occupancy_; }
    /// The uncertainties of the fractional x, y and z.
    THandle<Array<Uncertainty, 3>> uncertainty() const { return uncertainty_; }
    THandle<AtomicDisplacementParameters> displacement() const { return displacement_; }

    /// The site the operation maps this one to, moved by a whole-cell translation, with its
    /// uncertainties and displacement turned accordingly.
    THandle<Site> image(const CrystalSymmetryOperator& operation, const Array<int, 3>& shift,
                        const Cell& cell) const;

  private:
    Point fractional_;
    Point cartesian_;
    UncertainValue occupancy_;
    THandle<Array<Uncertainty, 3>> uncertainty_;
    THandle<AtomicDisplacementParameters> displacement_;
};
