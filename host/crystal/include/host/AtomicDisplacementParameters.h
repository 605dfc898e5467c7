// AtomicDisplacementParameters: an atom's mean-square displacement, anisotropic (the six
// U components of CIF files) or isotropic (one U), as the tensor U of CIF in the basis of
// the reciprocal axes' directions.
#pragma once

#include "host/Array.h"
#include "host/CrystalSymmetryOperator.h"
#include "host/HostApi.h"
#include "host/UncertainValue.h"

class Cell;

class HOST_API AtomicDisplacementParameters {
  public:
    enum Type { Anisotropic = 0, Isotropic = 1 };

    /// From U11, U22, U33, U12, U13, U23 (square angstroms) with type Anisotropic. Throws
    /// std::invalid_argument when the type is not Anisotropic, a component is not a finite
    /// number, or the tensor is not positive definite (no real ellipsoid).
    AtomicDisplacementParameters(const Array<UncertainValue, 6>& u, Type type);
    /// From Uiso with type Isotropic: the sphere of that mean-square radius, expressed in
    /// the cell's axes. Throws std::invalid_argument when the type is not Isotropic or Uiso
    /// is negative or not a finite number; 0 (a point) is accepted.
    AtomicDisplacementParameters(const UncertainValue& u_iso, Type type, const Cell& cell);

    Type type() const { return type_; }
    /// The component Uij, i and j from 0 to 2 (U(0, 1) is U12); symmetric.
    double u(int i, int j) const { return u_[i][j]; }
    double u_uncertainty(int i, int j) const { return uncertainty_[i][j]; }
    /// Ueq, a third of the trace of the Cartesian tensor (Uiso itself when isotropic).
    double u_equivalent(const Cell& cell) const;
    /// The values as given, with their s.u.: of an isotropic set, Uiso first; of an
    /// anisotropic one, U11, U22, U33, U12, U13, U23 (of a rotated set, as computed).
    const Array<UncertainValue, 6>& stated() const { return stated_; }

    /// The displacement of the atom a symmetry operation with this rotation maps this one to.
    AtomicDisplacementParameters rotated(const CrystalSymmetryOperator::Rotation& rotation,
                                         const Cell& cell) const;

  private:
    using Tensor = Array<Array<double, 3>, 3>;
    AtomicDisplacementParameters(Type type, const Tensor& u, const Tensor& uncertainty);

    Type type_;
    Tensor u_{};
    Tensor uncertainty_{};
    Array<UncertainValue, 6> stated_{};
};
