// CrystalSymmetryOperator: a symmetry operation of a crystal in fractional coordinates, a
// rotation part of whole numbers and a translation, read from and written as the triplets
// of CIF files ("-x+1/2,y+1/2,-z").
#pragma once

#include <array>
#include <string>

#include "host/HostApi.h"

class HOST_API CrystalSymmetryOperator {
  public:
    using Rotation = std::array<std::array<int, 3>, 3>;
    using Translation = std::array<double, 3>;

    /// The identity.
    CrystalSymmetryOperator();
    /// The translation is taken modulo 1 into [0, 1).
    CrystalSymmetryOperator(const Rotation& rotation, const Translation& translation);

    const Rotation& rotation() const { return rotation_; }
    const Translation& translation() const { return translation_; }

    /// The canonical triplet: lower-case variables in the order x, y, z, then the translation
    /// as a fraction of 24ths in lowest terms, or a decimal when it is none ("x-y,x,z+1/6").
    std::string to_string() const;
    /// The point the operator maps (fractional coordinates).
    std::array<double, 3> apply(const std::array<double, 3>& point) const;

    bool operator==(const CrystalSymmetryOperator& other) const;
    bool operator!=(const CrystalSymmetryOperator& other) const { return !(*this == other); }

  private:
    Rotation rotation_;
    Translation translation_;
};

/// An operator read from its text. Accepted: the three parts separated by commas, each a sum
/// of terms x, y or z in either letter case with an optional whole factor ("2x", "2*x"), and
/// numbers as fractions or decimals ("1/2", "+.5", "0.50000", "10/20"), in any order, with or
/// without blanks. Throws std::invalid_argument when the text has not three parts or holds
/// a character that is none of these, and std::runtime_error when a part is malformed (a
/// sign without a term, a zero denominator, a number that does not end).
class HOST_API CrystalSymmetryTransformation : public CrystalSymmetryOperator {
  public:
    explicit CrystalSymmetryTransformation(const std::string& text);
};
