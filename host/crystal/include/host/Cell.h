// Cell: a unit cell, its six parameters with their uncertainties and its space group, with
// the orthogonalisation matrix and the volume.
#pragma once

#include <array>

#include "host/HostApi.h"
#include "host/Spacegroup.h"
#include "host/UncertainValue.h"

class HOST_API Cell {
  public:
    using Matrix = std::array<std::array<double, 3>, 3>;

    /// The unit cube: 1 angstrom edges, right angles, P 1 (what a structure given without a
    /// cell is placed in).
    Cell();
    /// Lengths in angstroms, angles in degrees. A space group found by name on rhombohedral
    /// axes is set on the axes the angles fit. Throws std::invalid_argument for a length
    /// that is not positive, an angle not strictly between 0 and 180 degrees, or angles that
    /// make no cell.
    Cell(const UncertainValue& a, const UncertainValue& b, const UncertainValue& c,
         const UncertainValue& alpha, const UncertainValue& beta, const UncertainValue& gamma,
         const Spacegroup& spacegroup);

    const UncertainValue& a() const { return a_; }
    const UncertainValue& b() const { return b_; }
    const UncertainValue& c() const { return c_; }
    /// Angles in radians; their uncertainties stay in degrees, as read.
    const UncertainValue& alpha() const { return alpha_; }
    const UncertainValue& beta() const { return beta_; }
    const UncertainValue& gamma() const { return gamma_; }
    const Spacegroup& spacegroup() const { return spacegroup_; }

    /// Fractional to Cartesian coordinates (a along x, b in the xy plane), in angstroms.
    const Matrix& orthogonalisation() const { return orthogonalisation_; }
    /// Its inverse, Cartesian to fractional; its rows are the reciprocal axes.
    const Matrix& fractionalisation() const { return fractionalisation_; }
    /// The Cartesian point (angstroms) of a fractional one, or of a fractional difference.
    std::array<double, 3> cartesian(const std::array<double, 3>& fractional) const;
    /// In cubic angstroms.
    double volume() const { return volume_; }
    /// The volume with the uncertainty that the parameters' uncertainties give it.
    UncertainValue volume_with_uncertainty() const;

  private:
    UncertainValue a_, b_, c_, alpha_, beta_, gamma_;
    Spacegroup spacegroup_;
    Matrix orthogonalisation_{};
    Matrix fractionalisation_{};
    double volume_ = 0.0;
};
